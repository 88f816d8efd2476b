#include "tools/AnchorTool.h"

#include <algorithm>

#include "chart/Canvas.h"
#include "chart/ChartMap.h"

void AnchorTool::noteResidue(const QRect& r)
{
    if (residueAt_ != chart_.restores()) {
        moved_.clear();
        residueAt_ = chart_.restores();
    }
    if (std::find(moved_.begin(), moved_.end(), r) == moved_.end())
        moved_.push_back(r);
}

void AnchorTool::moveMarker(Marker& m, const QColor& colour, int x, int y)
{
    chart_.setPenColor(colour);
    if (m.shown) {
        noteResidue(m.rect);
        chart_.copyFrom(store_, m.rect);
    }
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
    moved_.clear();
}

std::vector<QRect> AnchorTool::residue() const
{
    std::vector<QRect> out;
    if (residueAt_ == chart_.restores())
        out = moved_;
    for (const Marker& m : markers_)
        if (m.shown && std::find(out.begin(), out.end(), m.rect) == out.end())
            out.push_back(m.rect);
    return out;
}

AnchorTool::Layer AnchorTool::layer() const
{
    Layer l;
    l.markers = markers_;
    for (const Marker& m : markers_)
        if (m.shown)
            l.saved.push_back(chart_.patch(store_, m.rect));
    for (const QRect& r : residue())
        l.chart.push_back(chart_.patch(r));
    return l;
}

void AnchorTool::putLayer(const Layer& l)
{
    markers_ = l.markers;
    for (const Canvas::Patch& p : l.saved)
        chart_.putPatch(store_, p);
    moved_.clear();
    for (const Canvas::Patch& p : l.chart) {
        chart_.putPatch(p);
        moved_.push_back(p.rect);
    }
    residueAt_ = chart_.restores();
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
