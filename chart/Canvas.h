#pragma once
// The one drawing surface of the chart image. Every drawing operation passes
// through here, so it can be traced and so the painter's state is explicit.
//
// A one-bit picture is painted as one byte a pixel and packed into bits when
// it is asked for: Qt shares large fills between threads, and on a one-bit
// image two threads writing pixels of the same byte lose one another's
// writes. With a byte a pixel no two pixels share a byte.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "chart/DirtyTiles.h"

enum class PenStyle { Solid, Dot, Dash, DashDot };
enum class TextAlign { LeftBottom, RightBottom, CenterTop };

// The chart's two faces. They are the program's own font files, so every
// machine draws the same letters whatever fonts it has installed.
enum class ChartFace {
    Label,  // "Universe", bold, 8 points: DejaVu Sans Bold
    Header, // "Courier new", bold, 10 points: Liberation Mono Bold
};

struct TableFace;

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

    // The pixels changed since the last takeDirty(), within the image: the
    // rectangle around them, or the tiles that hold them.
    [[nodiscard]] QRect dirty() const { return dirty_.bounds(); }
    QRect takeDirty();
    QRegion takeDirtyRegion();

    // The picture as it is now; ends any painting in progress.
    [[nodiscard]] const QImage& image();
    [[nodiscard]] bool isNull() const { return work_.isNull(); }
    [[nodiscard]] int width() const { return work_.width(); }
    [[nodiscard]] int height() const { return work_.height(); }

    [[nodiscard]] QColor penColor() const { return penColor_; }
    void setPenColor(const QColor& c);
    void setPenWidth(int w);
    void setPenStyle(PenStyle s);
    [[nodiscard]] PenStyle penStyle() const { return penStyle_; }
    [[nodiscard]] int penWidth() const { return penWidth_; }
    void setBrushColor(const QColor& c)
    {
        // The painters fill an ellipse with their own brush.
        if (c != brushColor_)
            penDirty_ = finePenDirty_ = true;
        brushColor_ = c;
    }
    // Text is black unless told otherwise for the next texts.
    void setTextColor(const QColor& c) { textColor_ = c; }

    // Move-to/line-to: the end pixel is not painted.
    void line(int x1, int y1, int x2, int y2);
    // Filled with the brush, outlined with the pen; right and bottom exclusive.
    void rect(int l, int t, int r, int b);
    void ellipse(int l, int t, int r, int b);
    // Black letters on a cell filled with the brush.
    void textOut(int x, int y, TextAlign align, const QString& text, ChartFace face);
    // The cell textOut fills for the same text, without drawing it.
    [[nodiscard]] QRect textCell(int x, int y, TextAlign align, const QString& text,
                                 ChartFace face) const;
    // The cell textOut fills for a text.
    [[nodiscard]] static QSize textSize(const QString& text, ChartFace face);

    // Pixel copies between the chart and another bitmap of the same size;
    // the store is only ever given back to copyFrom.
    void copyTo(QImage& store, const QRect& r);
    void copyFrom(const QImage& store, const QRect& r);

    // Pixels of the picture, or of a store handed to copyTo, with their
    // screen picture: kept aside to be put back exactly.
    struct Patch {
        QRect rect;
        QImage pixels, fine;
    };
    [[nodiscard]] Patch patch(const QRect& r) const;
    [[nodiscard]] Patch patch(const QImage& store, const QRect& r) const;
    // The patches of a picture image() handed out, at each of the places, as
    // patch() took them while it was the chart's own; none for a picture of
    // another size or depth.
    [[nodiscard]] std::vector<Patch> patchesOf(const QImage& picture,
                                               std::span<const QRect> rects) const;
    // A patch of a picture of another size or depth is not put back.
    void putPatch(const Patch& p);
    void putPatch(QImage& store, const Patch& p);
    // Counts the times the whole picture was made or restored afresh.
    [[nodiscard]] quint64 restores() const { return restores_; }

    void setTrace(TraceSink sink);

    // Vector pictures. While recording, the drawing operations that made the
    // picture as it stands are kept (a restore goes back to those of the
    // picture restored), so that the same operations can be drawn again on
    // a vector device of the picture's size: an SVG or a PDF page.
    void setRecording(bool on);
    [[nodiscard]] bool recording() const { return recording_; }
    enum class Letters {
        Outlines, // filled outlines of the bundled faces' letters
        Glyphs,   // the faces' glyphs, for a device that embeds the font
    };
    void replay(QPainter& p, Letters letters) const;

    // For a screen of more than one device pixel a pixel: from the next
    // create() on, every drawing operation is repeated on a picture of its
    // own at that scale, so that lines stay one device pixel wide and the
    // letters are drawn at the screen's size rather than enlarged. The chart
    // itself, its trace and everything written from it stay as they are.
    void setDisplayRatio(qreal ratio) { wantedRatio_ = ratio > 1 && ratio <= 8 ? ratio : 1; }
    [[nodiscard]] qreal wantedDisplayRatio() const { return wantedRatio_; }
    // The scale of the screen picture; 1 when there is none.
    [[nodiscard]] qreal displayRatio() const { return fine_.isNull() ? 1.0 : fineRatio_; }
    // The screen picture in device pixels (its own ratio is left at 1, as
    // the painter would otherwise scale what is drawn on it); null at 1.
    [[nodiscard]] const QImage& displayImage();

private:
    QPainter& painter();
    // The value the pen or brush colour stores in the picture, when it can
    // be written straight into the bits (a colour of the one-bit table, or
    // an opaque colour); nothing otherwise.
    [[nodiscard]] std::optional<uint> storedValue(const QColor& c) const;
    // The colour a pen or brush paints with: on a one-bit picture the nearer
    // of black and white, as Qt maps colours onto such a picture.
    [[nodiscard]] QColor shown(const QColor& c) const;
    // Makes the work surface and the picture from a picture handed in.
    void adopt(const QImage& picture);
    // Writes the changed part of the work surface into the one-bit picture.
    void pack();
    // Black where the mask is black, the mask's (0, 0) at (left, top).
    QRect stamp(const QImage& mask, int left, int top);
    bool straightLine(int x1, int y1, int x2, int y2);
    // Rows [top, bottom), columns [left, right), cut to the picture.
    void fillSpans(int top, int bottom, int left, int right, uint value);
    void end();
    void applyPen();
    void tracePen();
    void touch(const QRect& r)
    {
        dirty_.mark(r);
        sinceRestore_.mark(r);
        unpacked_.mark(r);
    }
    void touchLine(long long x1, long long y1, long long x2, long long y2, int margin)
    {
        dirty_.markLine(x1, y1, x2, y2, margin);
        sinceRestore_.markLine(x1, y1, x2, y2, margin);
        unpacked_.markLine(x1, y1, x2, y2, margin);
    }
    // The changes kept for a picture of the work surface's size.
    void fitTiles();
    void resetPen();

    // The screen picture's side of each operation.
    [[nodiscard]] int fine(long long v) const;
    [[nodiscard]] QRect fineRect(const QRect& r) const;
    // A store for copyTo: the picture's size and depth.
    void fitStore(QImage& store) const;
    // The screen picture kept for a store, when it fits the screen picture
    // now. Stores are known by their pixels' key, which any write to them
    // changes: a store changed behind the canvas's back, or gone, has none.
    [[nodiscard]] const QImage* keptFine(const QImage& store) const;
    // The same, made or resized to hold the screen picture's pixels, for a
    // store that had the key was before the canvas wrote to it.
    QImage& fineStore(qint64 was, const QImage& store);
    QPainter& finePainter();
    void endFine();
    void fineLine(int x1, int y1, int x2, int y2);
    void fineFill(const QRect& device, const QColor& c);
    // A text of the built table's letters written in the text colour, each
    // letter's pen at origin plus its position; returns the pixels inked.
    QRect ink(const TableFace& face, const QString& text, const QList<QPointF>& positions,
              QPoint origin, const QRect& room);
    void fineText(const QRect& cell, int ascent, TextAlign align, const QString& text,
                  ChartFace face, const QRect& within);
    const QRawFont& fineFace(ChartFace face);
    // The screen picture of a picture handed to restore(): the one made
    // with it when it came from image(), or else it enlarged.
    [[nodiscard]] QImage fineOf(const QImage& picture) const;
    void rememberFine(const QImage& picture);

    struct Op {
        enum Kind { Line, Rect, Ellipse, Text, Pixels } kind;
        int a = 0, b = 0, c = 0, d = 0;
        QColor pen, brush, text;
        int penWidth = 1;
        PenStyle style = PenStyle::Solid;
        bool mono = false;
        TextAlign align = TextAlign::LeftBottom;
        ChartFace face = ChartFace::Label;
        QString letters;
        QImage pixels;
    };
    void record(Op::Kind kind, int a, int b, int c, int d);
    void recordPixels(const QImage& pixels, QPoint at);
    // The operations kept for a picture restored; without them, its pixels.
    void recordRestore(const QImage& picture);

    // The line is made only when someone traces: formatting every line of
    // every plot for nobody cost more than drawing it.
    template <class MakeLine> void sendTrace(MakeLine&& make)
    {
        if (trace_)
            trace_(make());
    }

    // Painted: RGB32, or one byte a pixel (0 black, 255 white) for a one-bit
    // picture.
    QImage work_;
    bool mono_ = false;
    // The one-bit picture handed out, and what of it is older than work_.
    QImage img_;
    DirtyTiles unpacked_;
    std::unique_ptr<QPainter> painter_;
    QColor penColor_{Qt::black};
    int penWidth_ = 1;
    PenStyle penStyle_ = PenStyle::Solid;
    QColor brushColor_{Qt::white};
    QColor textColor_{Qt::black};
    bool penDirty_ = true;
    TraceSink trace_;
    DirtyTiles dirty_;
    DirtyTiles sinceRestore_;
    qint64 restoredFrom_ = 0;
    quint64 restores_ = 0;

    qreal wantedRatio_ = 1;
    qreal fineRatio_ = 1;
    QImage fine_; // RGB32 at fineRatio_, or null
    std::unique_ptr<QPainter> finePainter_;
    bool finePenDirty_ = true;
    // The screen picture of each picture image() handed out that someone
    // still holds. The picture is held here too: its pixels cannot change
    // under its cache key, and a picture held only here can never be given
    // back, so its screen picture goes. A fixed number of the latest lost an
    // older picture still held (a base restored again and again) after a
    // few pictures were taken of a marker, and showed it enlarged.
    struct FineShot {
        QImage picture;
        QImage fine;
    };
    std::vector<FineShot> fineShots_;
    // The screen pictures of the pixels copyTo() kept, by their store's key.
    std::vector<std::pair<qint64, QImage>> fineStores_;
    std::array<QRawFont, 2> fineFaces_; // a face a slot, at the screen's size

    bool recording_ = false;
    std::vector<Op> ops_;
    // Each picture image() handed out while recording, by its cache key,
    // with the number of operations that made it.
    std::vector<std::pair<qint64, size_t>> opMarks_;
};
