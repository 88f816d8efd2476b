#include "chart/Canvas.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QThreadPool>
#include <algorithm>
#include <climits>
#include <cstring>

namespace {
const char* StyleName(PenStyle s)
{
    switch (s) {
    case PenStyle::Dot: return "dot";
    case PenStyle::Dash: return "dash";
    case PenStyle::DashDot: return "dashdot";
    case PenStyle::Solid: break;
    }
    return "solid";
}

Qt::PenStyle QtStyle(PenStyle s)
{
    switch (s) {
    case PenStyle::Dot: return Qt::DotLine;
    case PenStyle::Dash: return Qt::DashLine;
    case PenStyle::DashDot: return Qt::DashDotLine;
    case PenStyle::Solid: break;
    }
    return Qt::SolidLine;
}

const char* AlignName(TextAlign a)
{
    switch (a) {
    case TextAlign::RightBottom: return "right-bottom";
    case TextAlign::CenterTop: return "center-top";
    case TextAlign::LeftBottom: break;
    }
    return "left-bottom";
}

// 96 dots per inch, so point sizes give the same pixels everywhere.
constexpr int DotsPerMeter = 3780;
} // namespace

QFont ChartFont(const QString& family, int points, bool bold)
{
    QFont f(family, points);
    f.setBold(bold);
    // The chart bitmap is one bit deep; grey edges would turn into noise.
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

void KeepPaintingInOneThread()
{
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    if (QCoreApplication* app = QCoreApplication::instance())
        for (QThreadPool* pool : app->findChildren<QThreadPool*>())
            pool->setMaxThreadCount(1);
}

Canvas::~Canvas()
{
    end();
}

void Canvas::create(int width, int height, bool monochrome)
{
    end();
    if (monochrome) {
        img_ = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_Mono);
        img_.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        img_.fill(1);
    } else {
        img_ = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
        img_.fill(Qt::white);
    }
    img_.setDotsPerMeterX(DotsPerMeter);
    img_.setDotsPerMeterY(DotsPerMeter);
    penColor_ = Qt::black;
    penWidth_ = 1;
    penStyle_ = PenStyle::Solid;
    brushColor_ = Qt::white;
    penDirty_ = true;
    restoredFrom_ = 0;
    sinceRestore_ = dirty_ = img_.rect();
}

void Canvas::restore(const QImage& picture)
{
    end();
    img_ = picture.size() == img_.size() || img_.isNull() ? picture : picture.copy(img_.rect());
    img_.setDotsPerMeterX(DotsPerMeter);
    img_.setDotsPerMeterY(DotsPerMeter);
    restoredFrom_ = picture.cacheKey();
    dirty_ = img_.rect();
    sinceRestore_ = QRect();
    resetPen();
}

void Canvas::restoreChanged(const QImage& base)
{
    if (base.cacheKey() != restoredFrom_ || base.size() != img_.size() ||
        base.format() != img_.format()) {
        restore(base);
        return;
    }
    const QRect r = sinceRestore_;
    if (!r.isEmpty()) {
        // Whole rows copied as bytes: exact for any format, and far quicker
        // than painting a one-bit picture onto another.
        end();
        const size_t bytes = size_t(img_.bytesPerLine());
        for (int y = r.top(); y <= r.bottom(); ++y)
            std::memcpy(img_.scanLine(y), base.constScanLine(y), bytes);
        dirty_ |= r;
    }
    sinceRestore_ = QRect();
    resetPen();
}

void Canvas::resetPen()
{
    const bool changed =
        penColor_ != QColor(Qt::black) || penWidth_ != 1 || penStyle_ != PenStyle::Solid;
    penColor_ = Qt::black;
    penWidth_ = 1;
    penStyle_ = PenStyle::Solid;
    brushColor_ = Qt::white;
    penDirty_ = true;
    sendTrace([] { return QStringLiteral("restore"); });
    if (changed)
        tracePen();
}

const QImage& Canvas::image()
{
    end();
    return img_;
}

void Canvas::end()
{
    if (painter_) {
        painter_->end();
        painter_.reset();
    }
}

QPainter& Canvas::painter()
{
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&img_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
        penDirty_ = true;
    }
    if (penDirty_)
        applyPen();
    return *painter_;
}

void Canvas::applyPen()
{
    QPen pen(penColor_);
    pen.setWidth(penWidth_);
    pen.setStyle(QtStyle(penStyle_));
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    painter_->setPen(pen);
    painter_->setBrush(QBrush(brushColor_));
    penDirty_ = false;
}

void Canvas::tracePen()
{
    sendTrace([&] {
        return QStringLiteral("pen %1 %2 %3 %4 %5")
                  .arg(penColor_.red())
                  .arg(penColor_.green())
                  .arg(penColor_.blue())
                  .arg(penWidth_)
            .arg(QLatin1String(StyleName(penStyle_)));
    });
}

void Canvas::setPenColor(const QColor& c)
{
    if (c.rgb() == penColor_.rgb())
        return;
    penColor_ = c;
    penDirty_ = true;
    tracePen();
}

void Canvas::setPenWidth(int w)
{
    if (w == penWidth_)
        return;
    penWidth_ = w;
    penDirty_ = true;
    tracePen();
}

void Canvas::setPenStyle(PenStyle s)
{
    if (s == penStyle_)
        return;
    penStyle_ = s;
    penDirty_ = true;
    tracePen();
}

void Canvas::line(int x1, int y1, int x2, int y2)
{
    sendTrace([&] { return QStringLiteral("line %1 %2 %3 %4").arg(x1).arg(y1).arg(x2).arg(y2); });
    if (x1 == x2 && y1 == y2)
        return;
    // The area touched, widened by the pen, in a range whose width still fits
    // an int: a line may end anywhere an int can say.
    const long long m = penWidth_ + 1, far = INT_MAX / 2;
    const auto held = [far](long long v) { return int(std::clamp(v, -far, far)); };
    touch(QRect(QPoint(held(std::min(x1, x2) - m), held(std::min(y1, y2) - m)),
                QPoint(held(std::max(x1, x2) + m), held(std::max(y1, y2) + m))));
    if (!straightLine(x1, y1, x2, y2))
        painter().drawLine(x1, y1, x2, y2);
}

std::optional<uint> Canvas::storedValue(const QColor& c) const
{
    if (c.alpha() != 255)
        return std::nullopt;
    if (img_.format() == QImage::Format_RGB32)
        return c.rgb();
    if (img_.format() == QImage::Format_Mono) {
        const qsizetype i = img_.colorTable().indexOf(c.rgb());
        if (i == 0 || i == 1)
            return uint(i);
    }
    return std::nullopt;
}

void Canvas::fillSpans(int top, int bottom, int left, int right, uint value)
{
    left = std::max(left, 0);
    right = std::min(right, img_.width());
    top = std::max(top, 0);
    bottom = std::min(bottom, img_.height());
    if (top >= bottom || left >= right)
        return;
    uchar* bits = img_.bits(); // detaches once, not row by row
    const qsizetype stride = img_.bytesPerLine();
    if (img_.format() == QImage::Format_RGB32) {
        for (int y = top; y < bottom; ++y) {
            auto* row = reinterpret_cast<uint*>(bits + y * stride);
            std::fill(row + left, row + right, value);
        }
        return;
    }
    // One bit a pixel, the leftmost pixel in the high bit.
    const int first = left >> 3, last = (right - 1) >> 3;
    const uchar head = uchar(0xff >> (left & 7));
    const uchar tail = uchar(0xff << (7 - ((right - 1) & 7)));
    const auto put = [value](uchar& byte, uchar mask) {
        byte = uchar(value ? byte | mask : byte & ~mask);
    };
    for (int y = top; y < bottom; ++y) {
        uchar* row = bits + y * stride;
        if (first == last) {
            put(row[first], head & tail);
            continue;
        }
        put(row[first], head);
        std::memset(row + first + 1, value ? 0xff : 0, size_t(last - first - 1));
        put(row[last], tail);
    }
}

// Qt hands each long run of spans to its thread pool and waits for it, which
// made plotting a bar chart mostly thread hand-offs. A solid one-pixel line
// along a row or a column is written here instead, pixel for pixel as Qt
// draws it: from the smaller end up to, not including, the larger one.
bool Canvas::straightLine(int x1, int y1, int x2, int y2)
{
    if ((x1 != x2 && y1 != y2) || penStyle_ != PenStyle::Solid || penWidth_ > 1)
        return false;
    const auto value = storedValue(penColor_);
    if (!value)
        return false;
    end(); // Qt's writes first, and a shared picture detached before ours
    if (y1 == y2) {
        fillSpans(y1, y1 + 1, std::min(x1, x2), std::max(x1, x2), *value);
        return true;
    }
    fillSpans(std::min(y1, y2), std::max(y1, y2), x1, x1 + 1, *value);
    return true;
}

void Canvas::rect(int l, int t, int r, int b)
{
    sendTrace([&] { return QStringLiteral("rect %1 %2 %3 %4").arg(l).arg(t).arg(r).arg(b); });
    if (r <= l || b <= t)
        return;
    touch(QRect(l, t, r - l, b - t).adjusted(-1, -1, 1, 1));
    // Written directly only when wholly inside: Qt's outline of a rectangle
    // cut by an edge leaves out a corner, which is not worth copying.
    const bool inside = l >= 0 && t >= 0 && r <= img_.width() && b <= img_.height();
    if (const auto fill = storedValue(brushColor_); fill && inside && r - l > 1 && b - t > 1) {
        end();
        fillSpans(t, b, l, r, *fill);
        if (straightLine(l, t, r, t) && straightLine(l, b - 1, r, b - 1) &&
            straightLine(l, t, l, b) && straightLine(r - 1, t, r - 1, b))
            return;
    }
    QPainter& p = painter();
    p.fillRect(QRect(l, t, r - l, b - t), brushColor_);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(l, t, r - l - 1, b - t - 1));
    p.setBrush(QBrush(brushColor_));
}

void Canvas::ellipse(int l, int t, int r, int b)
{
    sendTrace([&] { return QStringLiteral("ellipse %1 %2 %3 %4").arg(l).arg(t).arg(r).arg(b); });
    if (r <= l || b <= t)
        return;
    touch(QRect(l, t, r - l, b - t).adjusted(-2, -2, 2, 2));
    painter().drawEllipse(QRect(l, t, r - l - 1, b - t - 1));
}

void Canvas::textOut(int x, int y, TextAlign align, const QString& text, const QFont& font)
{
    sendTrace([&] {
        QString quoted = text;
        quoted.replace(QLatin1Char('"'), QLatin1String("\\\""));
        return QStringLiteral("text %1 %2 %3 \"%4\"")
            .arg(x)
            .arg(y)
            .arg(QLatin1String(AlignName(align)), quoted);
    });
    QPainter& p = painter();
    p.setFont(font);
    const QFontMetrics fm(font, &img_);
    const int w = fm.horizontalAdvance(text);
    const int h = fm.height();
    QRect cell;
    switch (align) {
    case TextAlign::LeftBottom: cell = QRect(x, y - h, w, h); break;
    case TextAlign::RightBottom: cell = QRect(x - w, y - h, w, h); break;
    case TextAlign::CenterTop: cell = QRect(x - w / 2, y, w, h); break;
    }
    touch(cell.adjusted(-1, -1, 1, 1));
    p.fillRect(cell, brushColor_);
    p.save();
    p.setPen(QPen(Qt::black));
    p.drawText(cell.left(), cell.top() + fm.ascent(), text);
    p.restore();
}

void Canvas::copyTo(QImage& store, const QRect& r)
{
    end();
    if (store.size() != img_.size() || store.format() != img_.format()) {
        store = QImage(img_.size(), img_.format());
        if (img_.format() == QImage::Format_Mono)
            store.setColorTable(img_.colorTable());
        store.fill(Qt::white);
    }
    const QRect clip = r.intersected(img_.rect());
    if (clip.isEmpty())
        return;
    QPainter p(&store);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(clip.topLeft(), img_, clip);
}

void Canvas::copyFrom(const QImage& store, const QRect& r)
{
    const QRect clip = r.intersected(img_.rect()).intersected(store.rect());
    if (clip.isEmpty())
        return;
    touch(clip);
    QPainter& p = painter();
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(clip.topLeft(), store, clip);
    p.restore();
}

void Canvas::setTrace(TraceSink sink)
{
    trace_ = std::move(sink);
}
