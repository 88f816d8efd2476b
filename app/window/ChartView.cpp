#include "app/window/ChartView.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

#include "chart/Canvas.h"
#include "chart/Output.h"

namespace {
MouseButton ButtonOf(Qt::MouseButton b)
{
    if (b == Qt::RightButton)
        return MouseButton::Right;
    return b == Qt::MiddleButton ? MouseButton::Middle : MouseButton::Left;
}
} // namespace

ChartView::ChartView(Canvas& chart, QWidget* parent) : QWidget(parent), chart_(chart)
{
    setObjectName(QStringLiteral("Image1"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartView::chartChanged(const QRegion& r)
{
    if (r.isEmpty() || chart_.isNull())
        return;
    // Another range or scale gives the same pixel another price and date.
    followPointer(pointer_);
    if (chart_.displayRatio() != 1) {
        display_ = QImage(); // made afresh should the screen picture go
        stale_ = QRegion();
        // A pixel wider: at a ratio that is not whole, an edge falls within
        // a device pixel.
        QRegion wider;
        for (const QRect& part : r)
            wider |= part.adjusted(-1, -1, 1, 1);
        update(wider);
        return;
    }
    const QSize size(chart_.width(), chart_.height());
    if (display_.size() != size) {
        display_ = QImage(size, QImage::Format_RGB32);
        stale_ = display_.rect();
        update();
        return;
    }
    // Only the parts that changed: a figure's outline, not the rectangle
    // around it, is copied and shown again.
    const QRegion in = r.intersected(display_.rect());
    stale_ |= in;
    update(in);
}

void ChartView::setCrosshair(bool on)
{
    if (on == crosshair_)
        return;
    update(crosshairRegion());
    crosshair_ = on;
    followPointer(pointer_);
}

void ChartView::followPointer(std::optional<QPoint> at)
{
    const QRegion was = crosshairRegion();
    pointer_ = at;
    tags_ = crosshair_ && at && tagsAt ? tagsAt(at->x(), at->y()) : std::nullopt;
    const QRegion now = crosshairRegion();
    if (was != now)
        update(was | now);
}

QRect ChartView::priceTag() const
{
    const QFontMetrics fm(font());
    const int w = fm.horizontalAdvance(tags_->price) + 8, h = fm.height() + 2;
    return {tags_->plot.left() - w, pointer_->y() - h / 2, w, h};
}

QRect ChartView::dateTag() const
{
    const QFontMetrics fm(font());
    const int w = fm.horizontalAdvance(tags_->date) + 8, h = fm.height() + 2;
    return {pointer_->x() - w / 2, tags_->plot.bottom() + 2, w, h};
}

QRegion ChartView::crosshairRegion() const
{
    if (!tags_ || !pointer_)
        return {};
    const QRect& plot = tags_->plot;
    QRegion r(QRect(plot.left(), pointer_->y(), plot.width(), 1));
    r |= QRect(pointer_->x(), plot.top(), 1, plot.height());
    return r | priceTag() | dateTag();
}

void ChartView::paintCrosshair(QPainter& p) const
{
    if (!tags_ || !pointer_)
        return;
    const QRect& plot = tags_->plot;
    const int x = pointer_->x(), y = pointer_->y();
    QPen pen(QColor(110, 110, 110));
    pen.setStyle(Qt::DotLine);
    p.setPen(pen);
    p.drawLine(plot.left(), y, plot.right(), y);
    p.drawLine(x, plot.top(), x, plot.bottom());
    for (const auto& [box, text] :
         {std::pair(priceTag(), tags_->price), std::pair(dateTag(), tags_->date)}) {
        p.fillRect(box, QColor(60, 60, 60));
        p.setPen(Qt::white);
        p.drawText(box, Qt::AlignCenter, text);
    }
}

QRect ChartView::overlayBounds(const Overlay& o) const
{
    QRect r;
    for (const auto* lines : {&o.hover, &o.picked})
        for (const Segment& s : *lines)
            r |= QRect(QPoint(s.x1, s.y1), QPoint(s.x2, s.y2)).normalized();
    for (const QPoint& h : o.handles)
        r |= QRect(h, QSize(1, 1));
    r &= o.clip.adjusted(-HandleSize, -HandleSize, HandleSize, HandleSize);
    // The pen's width and the handles' squares reach past the points.
    return r.isNull() ? r : r.adjusted(-HandleSize, -HandleSize, HandleSize, HandleSize);
}

void ChartView::setOverlay(Overlay o)
{
    if (o == overlay_)
        return;
    const QRect was = overlayBounds(overlay_);
    overlay_ = std::move(o);
    update(was | overlayBounds(overlay_));
}

void ChartView::paintOverlay(QPainter& p) const
{
    if (overlay_ == Overlay{})
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setClipRect(overlay_.clip.adjusted(-HandleSize, -HandleSize, HandleSize, HandleSize));
    auto stroke = [&p](const std::vector<Segment>& lines, const QColor& c, qreal width) {
        p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        for (const Segment& s : lines)
            p.drawLine(QPointF(s.x1 + 0.5, s.y1 + 0.5), QPointF(s.x2 + 0.5, s.y2 + 0.5));
    };
    p.save();
    p.setClipRect(overlay_.clip);
    stroke(overlay_.hover, QColor(255, 150, 0, 150), 3);
    stroke(overlay_.picked, QColor(30, 110, 255, 170), 3);
    p.restore();
    p.setPen(QPen(QColor(30, 110, 255), 1));
    p.setBrush(Qt::white);
    for (const QPoint& h : overlay_.handles)
        p.drawRect(
            QRect(h.x() - HandleSize / 2, h.y() - HandleSize / 2, HandleSize - 1, HandleSize - 1));
    p.restore();
}

void ChartView::paintEvent(QPaintEvent* e)
{
    const QImage& fine = chart_.displayImage();
    if (fine.isNull() && !stale_.isEmpty() && !chart_.isNull()) {
        CopyForDisplay(chart_.image(), display_, stale_);
        stale_ = QRegion();
    }
    const QRect r = e->rect();
    const QRect onImage = r.intersected(
        fine.isNull() ? display_.rect() : QRect(0, 0, chart_.width(), chart_.height()));
    QPainter p(this);
    if (onImage != r)
        p.fillRect(r, palette().color(QPalette::Window));
    // Device pixel for device pixel: on a screen of the same ratio nothing
    // is scaled, and the picture is placed the same way for every part.
    const qreal k = chart_.displayRatio();
    const QRectF from(onImage.x() * k, onImage.y() * k, onImage.width() * k, onImage.height() * k);
    // Part by part, each clipped to itself alone: a copy through a clip of
    // many parts goes span by span and is shared out between threads, which
    // cost more than the copy for a tall thin part.
    for (const QRect& part : e->region())
        if (const QRect in = part.intersected(onImage); !in.isEmpty()) {
            p.setClipRect(in);
            if (fine.isNull())
                p.drawImage(in.topLeft(), display_, in);
            else
                p.drawImage(QRectF(onImage), fine, from);
        }
    p.setClipping(false);
    paintOverlay(p);
    paintCrosshair(p);
}

void ChartView::mousePressEvent(QMouseEvent* e)
{
    const QPoint pt = e->position().toPoint();
    pressModifiers_ = e->modifiers();
    if (onPress)
        onPress(ButtonOf(e->button()), pt.x(), pt.y());
}

void ChartView::mouseDoubleClickEvent(QMouseEvent* e)
{
    // The second press keeps its meaning; the double click comes after it.
    mousePressEvent(e);
    if (e->button() == Qt::LeftButton && onDoubleClick) {
        const QPoint pt = e->position().toPoint();
        onDoubleClick(pt.x(), pt.y());
    }
}

void ChartView::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pt = e->position().toPoint();
    if (onMove)
        onMove(pt.x(), pt.y());
    followPointer(pt);
}

void ChartView::mouseReleaseEvent(QMouseEvent*)
{
    if (onRelease)
        onRelease();
}

void ChartView::leaveEvent(QEvent* e)
{
    if (onLeave)
        onLeave();
    followPointer(std::nullopt);
    QWidget::leaveEvent(e);
}

void ChartView::wheelEvent(QWheelEvent* e)
{
    // Some systems turn a wheel with Shift held into a sideways one.
    const QPoint d = e->angleDelta();
    wheelRest_ += d.y() != 0 ? d.y() : d.x();
    const int notches = wheelRest_ / QWheelEvent::DefaultDeltasPerStep;
    wheelRest_ -= notches * QWheelEvent::DefaultDeltasPerStep;
    if (notches != 0 && onWheel)
        onWheel(notches, e->modifiers(), int(e->position().x()));
    e->accept();
}
