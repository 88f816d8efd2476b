#include "app/ChartView.h"

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

void ChartView::chartChanged(const QRect& r)
{
    if (r.isEmpty() || chart_.isNull())
        return;
    if (chart_.displayRatio() != 1) {
        display_ = QImage(); // made afresh should the screen picture go
        stale_ = QRect();
        // A pixel wider: at a ratio that is not whole, an edge falls within
        // a device pixel.
        update(r.adjusted(-1, -1, 1, 1));
        return;
    }
    const QSize size(chart_.width(), chart_.height());
    if (display_.size() != size) {
        display_ = QImage(size, QImage::Format_RGB32);
        stale_ = display_.rect();
        update();
        return;
    }
    const QRect in = r.intersected(display_.rect());
    stale_ |= in;
    update(in);
}

void ChartView::paintEvent(QPaintEvent* e)
{
    const QRect r = e->rect();
    if (const QImage& fine = chart_.displayImage(); !fine.isNull()) {
        // Device pixel for device pixel: on a screen of the same ratio
        // nothing is scaled.
        QPainter p(this);
        const QRect onImage = r.intersected(QRect(0, 0, chart_.width(), chart_.height()));
        if (onImage != r)
            p.fillRect(r, palette().color(QPalette::Window));
        const qreal k = chart_.displayRatio();
        if (!onImage.isEmpty())
            p.drawImage(QRectF(onImage), fine,
                        QRectF(onImage.x() * k, onImage.y() * k, onImage.width() * k,
                               onImage.height() * k));
        return;
    }
    if (!stale_.isEmpty() && !chart_.isNull()) {
        CopyForDisplay(chart_.image(), display_, stale_);
        stale_ = QRect();
    }
    QPainter p(this);
    const QRect onImage = r.intersected(display_.rect());
    if (onImage != r)
        p.fillRect(r, palette().color(QPalette::Window));
    if (!onImage.isEmpty())
        p.drawImage(onImage.topLeft(), display_, onImage);
}

void ChartView::mousePressEvent(QMouseEvent* e)
{
    const QPoint pt = e->position().toPoint();
    if (onPress)
        onPress(ButtonOf(e->button()), pt.x(), pt.y());
}

void ChartView::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pt = e->position().toPoint();
    if (onMove)
        onMove(pt.x(), pt.y());
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
        onWheel(notches, e->modifiers() & Qt::ShiftModifier);
    e->accept();
}
