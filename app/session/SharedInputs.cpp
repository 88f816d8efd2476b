#include "app/session/SharedInputs.h"

#include "app/session/GloVar.h"

ChartMap CurrentChartMap(const SharedState& g)
{
    ChartMap m;
    m.plotLeft = g.PlotLeft;
    m.plotTop = g.PlotTop;
    m.plotRight = g.PlotRight;
    m.plotBottom = g.PlotBottom;
    m.plotWidth = g.PlotWidth;
    m.plotHeight = g.PlotHeight;
    m.slotCount = g.SlotCount;
    m.totalSlots = g.TotalSlots;
    m.scaleBottom = g.ScaleBottom;
    m.scaleRange = g.ScaleRange;
    m.scaleTop = g.ScaleTop;
    m.logScale = g.ScaleIsLog;
    m.axisBottom = g.VolumeBottom;
    return m;
}

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

void KeepScale(SharedState& g, const ChartMap& scaled)
{
    g.PlotHeight = scaled.plotHeight;
    g.PlotWidth = scaled.plotWidth;
    g.SlotCount = scaled.slotCount;
    g.ScaleTop = scaled.scaleTop;
    g.ScaleBottom = scaled.scaleBottom;
    g.ScaleRange = scaled.scaleRange;
    g.ScaleIsLog = scaled.logScale;
}

BarChartInput CurrentBarChart(const SharedState& g)
{
    BarChartInput in;
    in.chartWidth = g.ChartWidth;
    in.chartHeight = g.ChartHeight;
    in.map = CurrentChartMap(g);
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
    KeepScale(g, scaled);
    BarChartInput in = CurrentBarChart(g);
    look.colour = !g.Monochrome;
    in.look = look;
    DrawPriceChart(c, in);
}

FigureInput CurrentFigureInput(const SharedState& g)
{
    FigureInput in;
    in.p1x = g.P1X;
    in.p1h = g.P1Y;
    in.p2x = g.P2X;
    in.p2h = g.P2Y;
    in.p3x = g.P3X;
    in.p3y = g.P3Y;
    in.dir = g.Dir;
    in.ratio = g.Ratio;
    in.phi = g.Phi;
    in.pi = g.Pi;
    in.fanAngles[0] = g.FanAngle1;
    in.fanAngles[1] = g.FanAngle2;
    in.fanAngles[2] = g.FanAngle3;
    in.chartWidth = g.ChartWidth;
    in.chartHeight = g.ChartHeight;
    in.map = CurrentChartMap(g);
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

EllipseMemory CurrentEllipseMemory(const SharedState& g)
{
    EllipseMemory last;
    last.p1x = g.LastEllipseP1X;
    last.p1y = g.LastEllipseP1Y;
    last.p2x = g.LastEllipseP2X;
    last.p2y = g.LastEllipseP2Y;
    last.p3x = g.LastEllipseP3X;
    last.p3y = g.LastEllipseP3Y;
    last.ratio = g.LastEllipseRatio;
    last.radius = g.EllipseRadius;
    last.angle = g.EllipseAngle;
    return last;
}

void KeepEllipseMemory(SharedState& g, const EllipseMemory& m)
{
    g.LastEllipseP1X = m.p1x;
    g.LastEllipseP1Y = m.p1y;
    g.LastEllipseP2X = m.p2x;
    g.LastEllipseP2Y = m.p2y;
    g.LastEllipseP3X = m.p3x;
    g.LastEllipseP3Y = m.p3y;
    g.LastEllipseRatio = m.ratio;
    g.EllipseRadius = m.radius;
    g.EllipseAngle = m.angle;
    g.EllipseEndX = m.endX;
    g.EllipseEndY = m.endH;
}
