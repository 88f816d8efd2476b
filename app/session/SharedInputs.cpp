#include "app/session/SharedInputs.h"

#include "app/session/GloVar.h"

#include <algorithm>

ScaleInput CurrentScaleInput(const SharedState& g)
{
    ScaleInput in;
    in.plotLeft = g.PlotLeft;
    in.plotTop = g.PlotTop;
    in.plotRight = g.PlotRight;
    in.plotBottom = g.PlotBottom;
    in.totalSlots = g.TotalSlots;
    in.loadedCount = g.LoadedCount;
    in.blankDaysRight = g.BlankDaysRight;
    in.high = g.ChartHigh;
    in.low = g.ChartLow;
    in.logScale = g.LogScale;
    in.axisBottom = g.VolumeBottom;
    return in;
}

BarChartInput CurrentBarChart(const SharedState& g)
{
    BarChartInput in;
    in.chartWidth = g.ChartWidth;
    in.chartHeight = g.ChartHeight;
    in.map = g.map;
    in.prices = g.Prices;
    in.loadedCount = g.LoadedCount;
    in.fileName = g.DataFileName;
    in.figureName = g.ChartTypeName;
    in.volumePane = g.VolumeBottom > g.PlotBottom;
    in.cutAtPlot = g.ManualScale;
    return in;
}

void PlotPriceChart(SharedState& g, Canvas& c, BarLook look)
{
    ChartMap scaled = ComputeScale(CurrentScaleInput(g));
    if (g.ManualScale && g.ManualTop > g.ManualBottom && (!scaled.logScale || g.ManualBottom > 0)) {
        scaled.scaleTop = g.ManualTop;
        scaled.scaleBottom = g.ManualBottom;
        scaled.scaleRange = g.ManualTop - g.ManualBottom;
    }
    g.map = scaled;
    BarChartInput in = CurrentBarChart(g);
    look.colour = !g.Monochrome;
    in.look = look;
    DrawPriceChart(c, in);
}

AnchorPixels CurrentAnchorPixels(const SharedState& g, Timeframe tf)
{
    AnchorPixels a;
    if (const auto p = AnchorPixel(g.map, g.Prices, g.P1Anchor, tf)) {
        a.P1X = Sat16(p->x());
        a.P1Y = Sat16(g.map.yToHeight(p->y()));
    }
    if (const auto p = AnchorPixel(g.map, g.Prices, g.P2Anchor, tf)) {
        a.P2X = Sat16(p->x());
        a.P2Y = Sat16(g.map.yToHeight(p->y()));
    }
    if (const auto p = AnchorPixel(g.map, g.Prices, g.P3Anchor, tf)) {
        a.P3X = Sat16(p->x());
        a.P3Y = Sat16(p->y());
    }
    return a;
}

FigureInput CurrentFigureInput(const SharedState& g, Timeframe tf)
{
    FigureInput in;
    const AnchorPixels a = CurrentAnchorPixels(g, tf);
    in.p1x = a.P1X;
    in.p1h = a.P1Y;
    in.p2x = a.P2X;
    in.p2h = a.P2Y;
    in.p3x = a.P3X;
    in.p3y = a.P3Y;
    in.dir = g.Dir;
    in.ratio = g.Ratio;
    in.phi = g.Phi;
    in.pi = g.Pi;
    std::copy(g.settings.fanAngles.begin(), g.settings.fanAngles.end(), in.fanAngles);
    in.chartWidth = g.ChartWidth;
    in.chartHeight = g.ChartHeight;
    in.map = g.map;
    in.spiralStep = g.SpiralStep;
    in.ellipseStep = g.EllipseStep;
    in.arcFactor = g.ArcFactor;
    in.priceLineFactor = g.PriceLineFactor;
    in.barSpacing = g.BarSpacing;
    in.ellipseAspect = g.EllipseAspect;
    in.ellipseEndX = g.EllipseEndX;
    in.ellipseEndH = g.EllipseEndY;
    return in;
}

const ChartMap& CurrentChartMap(const SharedState& g)
{
    return g.map;
}
