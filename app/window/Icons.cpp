#include "app/window/Icons.h"

#include <array>
#include <map>

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QProxyStyle>
#include <QStyleOption>
#include <QWidget>
#include <cmath>

namespace {
constexpr int S = 24;

// A golden spiral around the icon's centre.
QPainterPath SpiralPath()
{
    QPainterPath path;
    path.moveTo(S / 2.0, S / 2.0);
    for (int i = 1; i < 60; ++i) {
        const double t = i * 0.2, r = 0.6 * std::exp(0.306 * t);
        path.lineTo(S / 2.0 + r * std::cos(t), S / 2.0 - r * std::sin(t));
    }
    return path;
}

void Bars(QPainter& p)
{
    const int xs[] = {5, 10, 15, 20};
    const int hi[] = {8, 5, 10, 4}, lo[] = {18, 14, 20, 12};
    for (int i = 0; i < 4; ++i) {
        p.drawLine(xs[i], hi[i], xs[i], lo[i]);
        p.drawLine(xs[i] - 2, hi[i] + 3, xs[i], hi[i] + 3);
        p.drawLine(xs[i], lo[i] - 3, xs[i] + 2, lo[i] - 3);
    }
}

void Arrow(QPainter& p, double angleDeg)
{
    p.save();
    p.translate(S / 2.0, S / 2.0);
    p.rotate(angleDeg);
    QPainterPath path;
    path.moveTo(-8, 0);
    path.lineTo(4, 0);
    p.drawPath(path);
    QPolygonF head;
    head << QPointF(9, 0) << QPointF(2, -5) << QPointF(2, 5);
    p.setBrush(p.pen().color());
    p.drawPolygon(head);
    p.restore();
}

void Draw(QPainter& p, int index)
{
    const QColor navy(0, 0, 128), maroon(128, 0, 0), green(0, 128, 0);
    p.setPen(QPen(navy, 2));
    switch (index) {
    case 0: // file
        p.setBrush(QColor(255, 255, 224));
        p.drawPolygon(QPolygon({{5, 3}, {15, 3}, {19, 7}, {19, 21}, {5, 21}}));
        p.drawLine(8, 11, 16, 11);
        p.drawLine(8, 15, 16, 15);
        break;
    case 1: // dates
        p.setBrush(Qt::white);
        p.drawRect(4, 5, 16, 15);
        p.fillRect(4, 5, 16, 4, maroon);
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 3; ++c)
                p.drawPoint(8 + c * 4, 13 + r * 4);
        break;
    case 2: // plot
        Bars(p);
        break;
    case 3: // exit
        p.setPen(QPen(maroon, 2));
        p.drawRect(6, 3, 10, 18);
        Arrow(p, 0);
        break;
    case 4: // clear
        p.setPen(QPen(maroon, 3));
        p.drawLine(6, 6, 18, 18);
        p.drawLine(18, 6, 6, 18);
        break;
    case 5: // reset
        p.drawArc(5, 5, 14, 14, 60 * 16, 280 * 16);
        Arrow(p, -60);
        break;
    case 6: // point
        p.setPen(QPen(maroon, 2));
        p.drawLine(12, 3, 12, 21);
        p.drawLine(3, 12, 21, 12);
        p.drawEllipse(QPoint(12, 12), 4, 4);
        break;
    case 7: // draw
        p.drawPath(SpiralPath());
        break;
    case 8: // save
        p.setBrush(QColor(192, 192, 192));
        p.drawRect(4, 4, 16, 16);
        p.fillRect(8, 4, 8, 6, Qt::white);
        break;
    case 10: // print
        p.setBrush(Qt::white);
        p.drawRect(7, 3, 10, 7);
        p.setBrush(QColor(192, 192, 192));
        p.drawRect(3, 10, 18, 8);
        p.fillRect(7, 16, 10, 5, Qt::white);
        break;
    case 12: // DIR +
    case 13: // DIR -
    case 14:
        p.setPen(QPen(index == 13 ? maroon : green, 3));
        p.drawLine(5, 12, 19, 12);
        if (index != 13)
            p.drawLine(12, 5, 12, 19);
        break;
    case 15: // clip
        p.drawRect(5, 7, 14, 14);
        p.setBrush(QColor(192, 192, 192));
        p.drawRect(9, 3, 6, 5);
        break;
    case 17: // ratio
        p.setPen(QPen(navy, 2));
        p.drawLine(4, 19, 20, 19);
        p.drawLine(4, 13, 20, 13);
        p.drawLine(4, 5, 20, 5);
        break;
    case 18: Arrow(p, -90); break; // up: beginning
    case 19: Arrow(p, 90); break;  // down: lengthen
    case 20: Arrow(p, 180); break; // previous
    case 21: Arrow(p, 0); break;   // next
    case 22:                       // shorten
        Arrow(p, 180);
        p.drawLine(20, 5, 20, 19);
        break;
    case 23: // whole
        p.drawLine(3, 5, 3, 19);
        p.drawLine(21, 5, 21, 19);
        p.drawLine(5, 12, 19, 12);
        break;
    default: p.drawEllipse(6, 6, 12, 12); break;
    }
}
} // namespace

namespace {
// A button's icon as a picture, drawn once; the window asks again whenever a
// button changes its image.
const QIcon& DrawnToolIcon(int index)
{
    static std::map<int, QIcon> drawn;
    if (auto it = drawn.find(index); it != drawn.end())
        return it->second;
    QPixmap pm(S, S);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    Draw(p, index);
    p.end();
    return drawn.emplace(index, QIcon(pm)).first->second;
}

// Draws the icon the first time it is shown, not when it is set: a script's
// window is never shown.
class LazyToolIcon : public QIconEngine {
public:
    explicit LazyToolIcon(int index) : index_(index) {}
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        DrawnToolIcon(index_).paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return DrawnToolIcon(index_).pixmap(size, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        // As a single S x S picture: never enlarged, shrunk to fit.
        QSize s(S, S);
        if (s.width() > size.width() || s.height() > size.height())
            s.scale(size, Qt::KeepAspectRatio);
        return s;
    }
    QIconEngine* clone() const override { return new LazyToolIcon(index_); }

private:
    int index_;
};
} // namespace

QIcon ToolIcon(int index)
{
    if (index < 0)
        return QIcon();
    return QIcon(new LazyToolIcon(index));
}

QPixmap ProgramPixmap(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0, 128, 128));
    p.setPen(Qt::NoPen);
    p.drawEllipse(pm.rect().adjusted(1, 1, -1, -1));
    p.setPen(QPen(QColor(255, 215, 0), size / 12.0));
    QPainterPath spiral;
    const QPointF c(size / 2.0, size / 2.0);
    spiral.moveTo(c);
    for (double t = 0; t < 12; t += 0.1) {
        const double r = size * 0.02 * std::exp(0.3063 * t);
        spiral.lineTo(c + QPointF(std::cos(t) * r, -std::sin(t) * r));
        if (r > size * 0.42)
            break;
    }
    p.setBrush(Qt::NoBrush);
    p.drawPath(spiral);
    return pm;
}

namespace {
// The program's mark, drawn when it is first painted.
class ProgramMarkWidget : public QWidget {
public:
    ProgramMarkWidget(int size, QWidget* parent) : QWidget(parent), size_(size)
    {
        setFixedSize(size, size);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (mark_.isNull())
            mark_ = ProgramPixmap(size_);
        QPainter(this).drawPixmap(0, 0, mark_);
    }

private:
    int size_;
    QPixmap mark_;
};
} // namespace

QWidget* ProgramMark(int size, QWidget* parent)
{
    return new ProgramMarkWidget(size, parent);
}

QIcon ProgramIcon()
{
    return QIcon(ProgramPixmap(32));
}

namespace {
// Two chevrons pointing right (or down), in the text colour of the palette.
QIcon ChevronIcon(bool down, const QColor& color)
{
    QIcon icon;
    for (int size : {8, 16, 32}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(color, std::max(1.0, size / 12.0)));
        const double u = size / 8.0;
        for (double at : {1.5 * u, 4.0 * u}) {
            QPointF a(at, 2 * u), b(at + 2 * u, 4 * u), c(at, 6 * u);
            if (down)
                a = a.transposed(), b = b.transposed(), c = c.transposed();
            p.drawPolyline(QVector<QPointF>{a, b, c});
        }
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

class Style : public QProxyStyle {
public:
    void drawPrimitive(PrimitiveElement pe, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override
    {
        // The status bar's panels carry their own frames.
        if (pe == PE_FrameStatusBarItem)
            return;
        QProxyStyle::drawPrimitive(pe, option, painter, widget);
    }
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                       const QWidget* widget) const override
    {
        if (which == SP_ToolBarHorizontalExtensionButton ||
            which == SP_ToolBarVerticalExtensionButton) {
            const QColor color =
                option ? option->palette.color(QPalette::ButtonText) : QColor(Qt::black);
            // The menu bar and the toolbar each ask for one: drawn once.
            const bool down = which == SP_ToolBarVerticalExtensionButton;
            Chevron& kept = chevrons_[down ? 1 : 0];
            if (kept.icon.isNull() || kept.color != color)
                kept = {color, ChevronIcon(down, color)};
            return kept.icon;
        }
        return QProxyStyle::standardIcon(which, option, widget);
    }

private:
    struct Chevron {
        QColor color;
        QIcon icon;
    };
    mutable std::array<Chevron, 2> chevrons_;
};
} // namespace

QStyle* ProgramStyle()
{
    return new Style;
}
