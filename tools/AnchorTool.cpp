#include "tools/AnchorTool.h"

#include "app/GloVar.h"
#include "chart/Canvas.h"
#include "chart/ChartMap.h"
#include "tools/FigureGeometry.h"
#include "tools/Figures.h"

void AnchorTool::moveMarker(QRect& rect, bool& shown, const QColor& colour, int x, int y)
{
    chart_.setPenColor(colour);
    if (shown)
        chart_.copyFrom(store_, rect);
    rect = QRect(ClampPx(x - 5LL), ClampPx(y - 5LL), 10, 10);
    chart_.copyTo(store_, rect);
    shown = true;
}

void AnchorTool::drawAnchorMarker(QRect& rect, bool& shown, int x, int y)
{
    const QColor before = chart_.penColor();
    moveMarker(rect, shown, QColor(255, 0, 0), x, y);
    chart_.setPenWidth(2);
    chart_.line(ClampPx(x - 4LL), y, ClampPx(x + 4LL), y);
    chart_.line(x, ClampPx(y - 4LL), x, ClampPx(y + 4LL));
    chart_.setPenWidth(1);
    chart_.setPenColor(before);
}

void AnchorTool::drawP1Marker(int x, int y)
{
    auto& g = GloVar;
    drawAnchorMarker(g.P1MarkerRect, g.P1MarkerShown, x, y);
    g.P1X = Sat16(x);
    g.P1Y = Sat16((long long)g.PlotBottom - y);
    g.P1Armed = false;
}

void AnchorTool::drawP2Marker(int x, int y)
{
    auto& g = GloVar;
    drawAnchorMarker(g.P2MarkerRect, g.P2MarkerShown, x, y);
    g.P2X = Sat16(x);
    g.P2Y = Sat16((long long)g.PlotBottom - y);
    g.EllipseEndX = g.P2X;
    g.EllipseEndY = g.P2Y;
    g.P2Armed = false;
}

void AnchorTool::drawP3Marker(int x, int y)
{
    auto& g = GloVar;
    const QColor before = chart_.penColor();
    moveMarker(g.P3MarkerRect, g.P3MarkerShown, QColor(0, 0, 0), x, y);
    g.P3X = Sat16(x);
    g.P3Y = Sat16(y);
    chart_.line(ClampPx(x - 5LL), y, ClampPx(x + 5LL), y);
    chart_.line(x, ClampPx(y - 5LL), x, ClampPx(y + 5LL));
    chart_.ellipse(ClampPx(x - 2LL), ClampPx(y - 2LL), ClampPx(x + 2LL), ClampPx(y + 2LL));
    chart_.setPenColor(before);
}

void AnchorTool::forgetMarkers()
{
    auto& g = GloVar;
    g.P1MarkerShown = g.P2MarkerShown = g.P3MarkerShown = false;
}

void AnchorTool::armP1()
{
    GloVar.P1Armed = true;
    GloVar.P2Armed = false;
}

void AnchorTool::armP2()
{
    GloVar.P1Armed = false;
    GloVar.P2Armed = true;
}

AnchorTool::Result AnchorTool::press(MouseButton b, int x, int y)
{
    auto& g = GloVar;
    Result r;
    if (b == MouseButton::Right) {
        g.MouseDragging = true;
        r.effect = Effect::DragStarted;
        return r;
    }
    g.MouseDragging = false;
    if (g.P1Armed) {
        drawP1Marker(x, y);
        g.P1Date = SlotDateAt(x);
        g.P1Price = YToPrice(y);
        r.effect = Effect::P1Set;
    } else if (g.P2Armed) {
        drawP2Marker(x, y);
        g.P3X = Sat16(x);
        g.P3Y = Sat16(y);
        g.P2Date = SlotDateAt(x);
        g.P2Price = YToPrice(y);
        r.effect = Effect::P2Set;
    } else {
        drawP3Marker(x, y);
        r.effect = Effect::P3Set;
    }
    r.changed = chart_.dirty();
    return r;
}

AnchorTool::Result AnchorTool::move(int, int)
{
    Result r;
    if (GloVar.MouseDragging)
        r.effect = Effect::DragMoved;
    return r;
}

AnchorTool::Result AnchorTool::release()
{
    GloVar.MouseDragging = false;
    return Result{Effect::DragEnded, QRect()};
}
