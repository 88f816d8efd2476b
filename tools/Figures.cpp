#include "tools/Figures.h"

#include "app/GloVar.h"
#include "tools/FigureGeometry.h"

FigureInput CurrentFigureInput()
{
    const auto& g = GloVar;
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
    in.map = ChartMap::Current();
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

void DrawSpiral(Canvas& c)
{
    StrokeFigure(c, BuildSpiral(CurrentFigureInput()));
}

void DrawEllipse(Canvas& c)
{
    auto& g = GloVar;
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
    const EllipseFigure e = BuildEllipse(CurrentFigureInput(), last);
    const EllipseMemory& m = e.memory;
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
    StrokeFigure(c, e.figure);
}

void DrawFanLines(Canvas& c)
{
    StrokeFigure(c, BuildFanLines(CurrentFigureInput()));
}

void DrawExtensions(Canvas& c)
{
    StrokeFigure(c, BuildExtensions(CurrentFigureInput()));
}

bool DrawCorrections(Canvas& c)
{
    const Figure f = BuildCorrections(CurrentFigureInput());
    StrokeFigure(c, f);
    return !f.refused;
}

void DrawTimeGoals(Canvas& c)
{
    StrokeFigure(c, BuildTimeGoals(CurrentFigureInput()));
}

void DrawPriceRatioLine(Canvas& c, bool fromHigh)
{
    StrokeFigure(c, BuildPriceRatioLine(CurrentFigureInput(), fromHigh, GloVar.RatioLineMode));
}

void DrawTimeRatioLine(Canvas& c, bool toLeft)
{
    StrokeFigure(c, BuildTimeRatioLine(CurrentFigureInput(), toLeft));
}

bool DrawChannel(Canvas& c)
{
    const Figure f = BuildChannel(CurrentFigureInput());
    StrokeFigure(c, f);
    return !f.refused;
}

void DrawArcs(Canvas& c)
{
    StrokeFigure(c, BuildArcs(CurrentFigureInput()));
}

bool DrawChosenFigure(Canvas& c)
{
    auto& g = GloVar;
    bool built = true;
    switch (g.ChartType) {
    case Spiral: DrawSpiral(c); break;
    case Ellipse: DrawEllipse(c); break;
    case FanLines: DrawFanLines(c); break;
    case Extensions: DrawExtensions(c); break;
    case Corrections: built = DrawCorrections(c); break;
    case TimeGoals: DrawTimeGoals(c); break;
    case Channel: built = DrawChannel(c); break;
    case Arcs: DrawArcs(c); break;
    default: break;
    }
    g.RatioLineMode = (g.ChartType == Extensions || g.ChartType == TimeGoals) ? 2
                      : g.ChartType == Corrections                            ? 3
                                                                              : 0;
    if (g.ChartType == Extensions) {
        DrawPriceRatioLine(c, g.P1Y <= g.P2Y);
    } else if (g.ChartType == Corrections) {
        DrawPriceRatioLine(c, true);
        DrawPriceRatioLine(c, false);
    } else if (g.ChartType == TimeGoals) {
        DrawTimeRatioLine(c, g.P1X > g.P2X);
    }
    return built;
}
