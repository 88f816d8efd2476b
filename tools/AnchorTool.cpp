#include "tools/AnchorTool.h"

#include "chart/Canvas.h"
#include "chart/ChartMap.h"

void AnchorTool::moveMarker(Marker& m, const QColor& colour, int x, int y)
{
    chart_.setPenColor(colour);
    if (m.shown)
        chart_.copyFrom(store_, m.rect);
    m.rect = QRect(ClampPx(x - 5LL), ClampPx(y - 5LL), 10, 10);
    chart_.copyTo(store_, m.rect);
    m.shown = true;
}

void AnchorTool::drawAnchorMarker(Marker& m, int x, int y)
{
    const QColor before = chart_.penColor();
    moveMarker(m, QColor(255, 0, 0), x, y);
    chart_.setPenWidth(2);
    chart_.line(ClampPx(x - 4LL), y, ClampPx(x + 4LL), y);
    chart_.line(x, ClampPx(y - 4LL), x, ClampPx(y + 4LL));
    chart_.setPenWidth(1);
    chart_.setPenColor(before);
}

void AnchorTool::drawP1Marker(int x, int y)
{
    drawAnchorMarker(markers_[0], x, y);
    if (armed_ == Armed::P1)
        armed_ = Armed::None;
}

void AnchorTool::drawP2Marker(int x, int y)
{
    drawAnchorMarker(markers_[1], x, y);
    if (armed_ == Armed::P2)
        armed_ = Armed::None;
}

void AnchorTool::drawP3Marker(int x, int y)
{
    const QColor before = chart_.penColor();
    moveMarker(markers_[2], QColor(0, 0, 0), x, y);
    chart_.line(ClampPx(x - 5LL), y, ClampPx(x + 5LL), y);
    chart_.line(x, ClampPx(y - 5LL), x, ClampPx(y + 5LL));
    chart_.ellipse(ClampPx(x - 2LL), ClampPx(y - 2LL), ClampPx(x + 2LL), ClampPx(y + 2LL));
    chart_.setPenColor(before);
}

void AnchorTool::forgetMarkers()
{
    for (Marker& m : markers_)
        m.shown = false;
}

void AnchorTool::reset()
{
    armed_ = Armed::None;
    dragging_ = false;
    forgetMarkers();
}

AnchorTool::Result AnchorTool::press(MouseButton b, int x, int y)
{
    Result r;
    if (b == MouseButton::Right) {
        dragging_ = true;
        r.effect = Effect::DragStarted;
        return r;
    }
    dragging_ = false;
    if (armed_ == Armed::P1) {
        drawP1Marker(x, y);
        r.effect = Effect::P1Set;
    } else if (armed_ == Armed::P2) {
        drawP2Marker(x, y);
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
    if (dragging_)
        r.effect = Effect::DragMoved;
    return r;
}

AnchorTool::Result AnchorTool::release()
{
    dragging_ = false;
    return Result{Effect::DragEnded, QRect()};
}
