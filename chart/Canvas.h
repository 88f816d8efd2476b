#pragma once
// The one drawing surface of the chart image. Every drawing operation passes
// through here, so it can be traced and so the painter's state is explicit.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

enum class PenStyle { Solid, Dot, Dash, DashDot };
enum class TextAlign { LeftBottom, RightBottom, CenterTop };

class Canvas {
public:
    using TraceSink = std::function<void(const QString&)>;

    Canvas() = default;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas();

    // Makes a fresh bitmap: monochrome (one bit per pixel) or colour.
    void create(int width, int height, bool monochrome);
    // Replaces the picture; the surface starts afresh (black solid pen
    // width 1, solid white brush).
    void restore(const QImage& picture);
    // The same as restore(base) when the picture was last restored from
    // base, but copies back only what was drawn since.
    void restoreChanged(const QImage& base);

    // The pixels changed since the last takeDirty(), within the image.
    [[nodiscard]] QRect dirty() const { return dirty_; }
    QRect takeDirty() { return std::exchange(dirty_, QRect()); }

    // The picture as it is now; ends any painting in progress.
    [[nodiscard]] const QImage& image();
    [[nodiscard]] bool isNull() const { return img_.isNull(); }
    [[nodiscard]] int width() const { return img_.width(); }
    [[nodiscard]] int height() const { return img_.height(); }

    [[nodiscard]] QColor penColor() const { return penColor_; }
    void setPenColor(const QColor& c);
    void setPenWidth(int w);
    void setPenStyle(PenStyle s);
    [[nodiscard]] PenStyle penStyle() const { return penStyle_; }
    [[nodiscard]] int penWidth() const { return penWidth_; }
    void setBrushColor(const QColor& c) { brushColor_ = c; }

    // Move-to/line-to: the end pixel is not painted.
    void line(int x1, int y1, int x2, int y2);
    // Filled with the brush, outlined with the pen; right and bottom exclusive.
    void rect(int l, int t, int r, int b);
    void ellipse(int l, int t, int r, int b);
    void textOut(int x, int y, TextAlign align, const QString& text, const QFont& font);

    // Pixel copies between the chart and another bitmap of the same size.
    void copyTo(QImage& store, const QRect& r);
    void copyFrom(const QImage& store, const QRect& r);

    void setTrace(TraceSink sink);
    [[nodiscard]] bool tracing() const { return static_cast<bool>(trace_); }

private:
    QPainter& painter();
    // The value the pen or brush colour stores in the picture, when it can
    // be written straight into the bits (a colour of the one-bit table, or
    // an opaque colour); nothing otherwise.
    [[nodiscard]] std::optional<uint> storedValue(const QColor& c) const;
    bool straightLine(int x1, int y1, int x2, int y2);
    // Rows [top, bottom), columns [left, right), cut to the picture.
    void fillSpans(int top, int bottom, int left, int right, uint value);
    void end();
    void applyPen();
    void tracePen();
    void touch(const QRect& r)
    {
        const QRect in = r.intersected(img_.rect());
        dirty_ |= in;
        sinceRestore_ |= in;
    }
    void resetPen();
    // The line is made only when someone traces: formatting every line of
    // every plot for nobody cost more than drawing it.
    template <class MakeLine> void sendTrace(MakeLine&& make)
    {
        if (trace_)
            trace_(make());
    }

    QImage img_;
    std::unique_ptr<QPainter> painter_;
    QColor penColor_{Qt::black};
    int penWidth_ = 1;
    PenStyle penStyle_ = PenStyle::Solid;
    QColor brushColor_{Qt::white};
    bool penDirty_ = true;
    TraceSink trace_;
    QRect dirty_;
    QRect sinceRestore_;
    qint64 restoredFrom_ = 0;
};

[[nodiscard]] QFont ChartFont(const QString& family, int points, bool bold);

// Qt spreads large fills and conversions over a pool of threads; on a
// picture of one bit a pixel, threads writing neighbouring pixels of one byte
// can lose one another's writes. Keeps that pool to one thread. Call once,
// after the application object exists.
void KeepPaintingInOneThread();
