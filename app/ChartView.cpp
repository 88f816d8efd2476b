#include "app/ChartView.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "chart/Canvas.h"

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
    const QImage& img = chart_.image();
    if (display_.size() != img.size()) {
        display_ = img.convertToFormat(QImage::Format_RGB32);
        update();
        return;
    }
    const QRect in = r.intersected(img.rect());
    QPainter p(&display_);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(in.topLeft(), img, in);
    p.end();
    update(in);
}

void ChartView::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    const QRect r = e->rect();
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
