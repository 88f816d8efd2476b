#include "chart/Canvas.h"
#include "chart/Clip.h"
#include "chart/LetterInk.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QMutex>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QResource>
#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <optional>
#include <unordered_map>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

QRect CellAt(int x, int y, TextAlign align, int w, int h)
{
    switch (align) {
    case TextAlign::LeftBottom: return QRect(x, y - h, w, h);
    case TextAlign::RightBottom: return QRect(x - w, y - h, w, h);
    case TextAlign::CenterTop: break;
    }
    return QRect(x - w / 2, y, w, h);
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

constexpr QRgb Black = 0xff000000, White = 0xffffffff;

bool NearerWhite(QRgb c)
{
    const int r = qRed(c), g = qGreen(c), b = qBlue(c);
    return (255 - r) * (255 - r) + (255 - g) * (255 - g) + (255 - b) * (255 - b) <
           r * r + g * g + b * b;
}

bool IsOneBit(const QImage& img)
{
    return img.format() == QImage::Format_Mono || img.format() == QImage::Format_MonoLSB;
}

const FaceFile (&Faces)[std::size(FaceFiles)] = FaceFiles;

QString FaceResource(ChartFace face)
{
    return QStringLiteral(":/fonts/") + QString::fromLatin1(Faces[size_t(face)].file);
}

int FacePixels(ChartFace face)
{
    return ::FacePixels(Faces[size_t(face)].points);
}

// The built table's face for a text all of whose letters it holds.
const TableFace* TableFaceFor(ChartFace face, const QString& text)
{
    if (text.isEmpty() || size_t(face) >= std::size(Faces))
        return nullptr;
    const TableFace& t = TableFaces[size_t(face)];
    for (const QChar c : text)
        if (c.unicode() < FirstTableLetter || c.unicode() > LastTableLetter ||
            t.letters[c.unicode() - FirstTableLetter].count < 0)
            return nullptr;
    return &t;
}

const TableLetter& LetterOf(const TableFace& t, QChar c)
{
    return t.letters[c.unicode() - FirstTableLetter];
}

// Loaded from the program's own bytes, never looked up by name, so no
// installed font can stand in for it. The font engine must go before the
// application object, so the faces are let go with it and not at exit.
struct LoadedFace {
    QRawFont font;
    int ascent = 0, descent = 0;
    // Each letter's hinted advance, asked of the font engine once: the same
    // digits are measured and drawn over and over on a chart.
    std::unordered_map<quint32, QPointF> advances;
};

QMutex facesLock;
std::optional<LoadedFace>* loadedFaces = nullptr; // one slot a face

LoadedFace& Loaded(ChartFace face)
{
    const auto i = size_t(face);
    const QMutexLocker lock(&facesLock);
    if (!loadedFaces) {
        loadedFaces = new std::optional<LoadedFace>[std::size(Faces)];
        qAddPostRoutine([] {
            const QMutexLocker l(&facesLock);
            delete[] std::exchange(loadedFaces, nullptr);
        });
    }
    std::optional<LoadedFace>& slot = loadedFaces[i];
    if (!slot) {
        const QResource res(FaceResource(face));
        LoadedFace f;
        const int pixels = FacePixels(face);
        f.font = QRawFont(res.uncompressedData(), pixels, QFont::PreferFullHinting);
        f.ascent = qRound(f.font.ascent());
        f.descent = qRound(f.font.descent());
        slot = std::move(f);
    }
    return *slot;
}

// The advances of a face's glyphs, one a glyph (no kerning between them).
QList<QPointF> AdvancesOf(ChartFace face, const QList<quint32>& glyphs)
{
    LoadedFace& f = Loaded(face);
    const QMutexLocker lock(&facesLock);
    QList<QPointF> out;
    out.reserve(glyphs.size());
    for (const quint32 g : glyphs) {
        auto it = f.advances.find(g);
        if (it == f.advances.end()) {
            const QList<QPointF> one = f.font.advancesForGlyphIndexes(QList<quint32>{g});
            it = f.advances.emplace(g, one.isEmpty() ? QPointF() : one.front()).first;
        }
        out.append(it->second);
    }
    return out;
}

// The same face through the font database, for a device that embeds fonts:
// one drawn from a font's bare bytes has no file to embed and is drawn as
// outlines instead. Null when the database cannot take it.
QRawFont EmbeddableFace(ChartFace face)
{
    static QMutex lock;
    static std::array<std::optional<QRawFont>, std::size(Faces)> made;
    const QMutexLocker l(&lock);
    std::optional<QRawFont>& slot = made[size_t(face)];
    if (!slot) {
        const QResource res(FaceResource(face));
        const int id = QFontDatabase::addApplicationFontFromData(res.uncompressedData());
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        slot = QRawFont();
        if (!families.isEmpty()) {
            QFont f(families.first());
            f.setPixelSize(FacePixels(face));
            f.setBold(true);
            f.setHintingPreference(QFont::PreferFullHinting);
            f.setStyleStrategy(QFont::NoFontMerging);
            slot = QRawFont::fromFont(f);
        }
    }
    return *slot;
}

// A letter's outline at the face's size. Each is worked out once: the
// hinting that shapes it costs more than drawing it.
QPainterPath GlyphOutline(ChartFace face, quint32 glyph)
{
    static QMutex lock;
    static std::map<std::pair<int, quint32>, QPainterPath> made;
    const QMutexLocker l(&lock);
    const auto key = std::make_pair(int(face), glyph);
    auto it = made.find(key);
    if (it == made.end())
        it = made.emplace(key, Loaded(face).font.pathForGlyph(glyph)).first;
    return it->second;
}

// Eight pixels of a byte a pixel from one byte of bits, the leftmost pixel
// in the high bit; `set` is the byte a set bit stands for.
struct Unpacker {
    quint64 table[256];
    Unpacker(uchar clear, uchar set)
    {
        for (int v = 0; v < 256; ++v) {
            uchar bytes[8];
            for (int b = 0; b < 8; ++b)
                bytes[b] = (v >> (7 - b)) & 1 ? set : clear;
            std::memcpy(&table[v], bytes, 8);
        }
    }
};

// Bytes [first, last] of one row of bits to pixels of a byte each.
void Unpack(const uchar* bits, uchar* out, int first, int last, int width, const Unpacker& u)
{
    const int whole = std::min(last, (width >> 3) - 1);
    for (int i = first; i <= whole; ++i)
        std::memcpy(out + 8 * i, &u.table[bits[i]], 8);
    if (last > whole && (width & 7)) {
        uchar bytes[8];
        std::memcpy(bytes, &u.table[bits[last]], 8);
        std::memcpy(out + 8 * last, bytes, size_t(width & 7));
    }
}

// The bits of a byte in the opposite order.
struct Reverser {
    uchar table[256];
    Reverser()
    {
        for (int v = 0; v < 256; ++v) {
            int r = 0;
            for (int b = 0; b < 8; ++b)
                r |= ((v >> b) & 1) << (7 - b);
            table[v] = uchar(r);
        }
    }
};

// Bytes [first, last] of one row of bits from its bytes: a pixel of 128 or
// more is white, a set bit. Bits past the width stay set, as a fill leaves
// them.
void Pack(const uchar* in, uchar* bits, int first, int last, int width)
{
    int i = first;
#if defined(__SSE2__)
    static const Reverser reverse;
    // Sixteen pixels at a time: their high bits, leftmost first.
    for (; i + 1 <= last && 8 * (i + 2) <= width; i += 2) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 8 * i));
        const int m = _mm_movemask_epi8(v);
        bits[i] = reverse.table[m & 0xff];
        bits[i + 1] = reverse.table[(m >> 8) & 0xff];
    }
#endif
    for (; i <= last; ++i) {
        const int x0 = 8 * i;
        uchar v = 0;
        for (int b = 0; b < 8; ++b) {
            const int x = x0 + b;
            if (x >= width || in[x] >= 128)
                v |= uchar(0x80 >> b);
        }
        bits[i] = v;
    }
}

const Unpacker& BlackWhite()
{
    static const Unpacker u(0, 255);
    return u;
}
} // namespace

Canvas::~Canvas()
{
    end();
    endFine();
}

void Canvas::create(int width, int height, bool monochrome)
{
    end();
    const int w = std::max(width, 1), h = std::max(height, 1);
    mono_ = monochrome;
    if (monochrome) {
        work_ = QImage(w, h, QImage::Format_Grayscale8);
        work_.fill(255);
        img_ = QImage(w, h, QImage::Format_Mono);
        img_.setColorTable({Black, White});
        img_.fill(1);
        img_.setDotsPerMeterX(DotsPerMeter);
        img_.setDotsPerMeterY(DotsPerMeter);
    } else {
        work_ = QImage(w, h, QImage::Format_RGB32);
        work_.fill(Qt::white);
        img_ = QImage();
    }
    work_.setDotsPerMeterX(DotsPerMeter);
    work_.setDotsPerMeterY(DotsPerMeter);
    fitTiles();
    unpacked_.clear();
    penColor_ = Qt::black;
    penWidth_ = 1;
    penStyle_ = PenStyle::Solid;
    brushColor_ = Qt::white;
    penDirty_ = finePenDirty_ = true;
    restoredFrom_ = 0;
    ++restores_;
    sinceRestore_.markAll();
    dirty_.markAll();
    ops_.clear();
    opMarks_.clear();

    endFine();
    fineShots_.clear();
    fineStores_.clear();
    fineRatio_ = wantedRatio_;
    if (fineRatio_ > 1 && fineRatio_ <= 8) {
        fine_ = QImage(fine(w), fine(h), QImage::Format_RGB32);
        fine_.fill(Qt::white);
    } else {
        fine_ = QImage();
    }
}

void Canvas::adopt(const QImage& given)
{
    const QImage picture =
        given.size() == work_.size() || work_.isNull() ? given : given.copy(work_.rect());
    mono_ = IsOneBit(picture);
    if (!mono_) {
        work_ = picture.format() == QImage::Format_RGB32
                    ? picture
                    : picture.convertToFormat(QImage::Format_RGB32);
        img_ = QImage();
        work_.setDotsPerMeterX(DotsPerMeter);
        work_.setDotsPerMeterY(DotsPerMeter);
        fitTiles();
        unpacked_.clear();
        return;
    }
    const QImage bits = picture.format() == QImage::Format_Mono
                            ? picture
                            : picture.convertToFormat(QImage::Format_Mono);
    const QList<QRgb> table = bits.colorTable();
    const auto shade = [&table](int i) {
        return uchar(i < table.size() && NearerWhite(table[i]) ? 255 : 0);
    };
    const Unpacker u(shade(0), shade(1));
    work_ = QImage(bits.size(), QImage::Format_Grayscale8);
    const int lastByte = (bits.width() - 1) >> 3;
    for (int y = 0; y < bits.height(); ++y)
        Unpack(bits.constScanLine(y), work_.scanLine(y), 0, lastByte, bits.width(), u);
    work_.setDotsPerMeterX(DotsPerMeter);
    work_.setDotsPerMeterY(DotsPerMeter);
    fitTiles();
    unpacked_.clear();
    if (table == QList<QRgb>{Black, White}) {
        img_ = bits;
    } else {
        img_ = QImage(bits.size(), QImage::Format_Mono);
        img_.setColorTable({Black, White});
        img_.fill(1);
        unpacked_.markAll();
    }
    img_.setDotsPerMeterX(DotsPerMeter);
    img_.setDotsPerMeterY(DotsPerMeter);
}

void Canvas::restore(const QImage& picture)
{
    end();
    adopt(picture);
    if (!fine_.isNull()) {
        endFine();
        fine_ = fineOf(picture);
    }
    recordRestore(picture);
    restoredFrom_ = picture.cacheKey();
    ++restores_;
    dirty_.markAll();
    sinceRestore_.clear();
    resetPen();
}

void Canvas::restoreChanged(const QImage& base)
{
    const bool sameFormat =
        mono_ ? base.format() == QImage::Format_Mono : base.format() == work_.format();
    if (base.cacheKey() != restoredFrom_ || base.size() != work_.size() || !sameFormat) {
        restore(base);
        return;
    }
    recordRestore(base);
    if (!sinceRestore_.isEmpty()) {
        // Rows of the tiles drawn on copied as bytes: exact, and far quicker
        // than painting one picture onto another.
        end();
        if (mono_) {
            const bool shared = img_.cacheKey() == base.cacheKey();
            // Written to once, not row by row.
            uchar* work = work_.bits();
            uchar* bits = shared ? nullptr : img_.bits();
            const qsizetype workStride = work_.bytesPerLine(), stride = img_.bytesPerLine();
            const int width = work_.width();
            sinceRestore_.forEachRect([&](const QRect& r) {
                const int first = r.left() >> 3, last = r.right() >> 3;
                for (int y = r.top(); y <= r.bottom(); ++y) {
                    const uchar* from = base.constScanLine(y);
                    Unpack(from, work + y * workStride, first, last, width, BlackWhite());
                    if (bits)
                        std::memcpy(bits + y * stride + first, from + first,
                                    size_t(last - first + 1));
                }
            });
            // What was drawn since the base is the base again, in both: the
            // tiles are whole bytes.
            unpacked_.remove(sinceRestore_);
        } else {
            uchar* work = work_.bits();
            const qsizetype stride = work_.bytesPerLine();
            sinceRestore_.forEachRect([&](const QRect& r) {
                for (int y = r.top(); y <= r.bottom(); ++y)
                    std::memcpy(work + y * stride + r.left() * 4,
                                base.constScanLine(y) + r.left() * 4, size_t(r.width()) * 4);
            });
        }
        dirty_.add(sinceRestore_);
        if (!fine_.isNull()) {
            endFine();
            const QImage from = fineOf(base);
            uchar* bits = fine_.bits();
            const qsizetype stride = fine_.bytesPerLine();
            sinceRestore_.forEachRect([&](const QRect& r) {
                const QRect d = fineRect(r).intersected(fine_.rect());
                const auto bytes = size_t(d.width()) * 4;
                for (int y = d.top(); y <= d.bottom(); ++y)
                    std::memcpy(bits + y * stride + d.left() * 4,
                                from.constScanLine(y) + d.left() * 4, bytes);
            });
        }
    }
    sinceRestore_.clear();
    ++restores_;
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
    penDirty_ = finePenDirty_ = true;
    sendTrace([] { return QStringLiteral("restore"); });
    if (changed)
        tracePen();
}

const QImage& Canvas::image()
{
    end();
    const QImage& out = mono_ ? (pack(), img_) : work_;
    rememberFine(out);
    if (recording_ && (opMarks_.empty() || opMarks_.back().first != out.cacheKey())) {
        // A few of the latest are enough to go back to; an older picture
        // restored is kept as its pixels.
        if (opMarks_.size() >= 32)
            opMarks_.erase(opMarks_.begin());
        opMarks_.emplace_back(out.cacheKey(), ops_.size());
    }
    return out;
}

void Canvas::pack()
{
    if (unpacked_.isEmpty())
        return;
    const uchar* work = work_.constBits();
    uchar* bits = img_.bits(); // detaches once, not row by row
    const qsizetype workStride = work_.bytesPerLine(), stride = img_.bytesPerLine();
    const int width = work_.width();
    unpacked_.forEachRect([&](const QRect& r) {
        const int first = r.left() >> 3, last = r.right() >> 3;
        for (int y = r.top(); y <= r.bottom(); ++y)
            Pack(work + y * workStride, bits + y * stride, first, last, width);
    });
    unpacked_.clear();
}

void Canvas::fitTiles()
{
    const QSize size = work_.size();
    dirty_.setSize(size);
    sinceRestore_.setSize(size);
    unpacked_.setSize(size);
}

QRect Canvas::takeDirty()
{
    const QRect r = dirty_.bounds();
    dirty_.clear();
    return r;
}

QRegion Canvas::takeDirtyRegion()
{
    QRegion r = dirty_.region();
    dirty_.clear();
    return r;
}

void Canvas::endFine()
{
    if (finePainter_) {
        finePainter_->end();
        finePainter_.reset();
    }
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
        painter_ = std::make_unique<QPainter>(&work_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
        penDirty_ = true;
    }
    if (penDirty_)
        applyPen();
    return *painter_;
}

void Canvas::applyPen()
{
    QPen pen(shown(penColor_));
    pen.setWidth(penWidth_);
    pen.setStyle(QtStyle(penStyle_));
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    painter_->setPen(pen);
    painter_->setBrush(QBrush(shown(brushColor_)));
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
    penDirty_ = finePenDirty_ = true;
    tracePen();
}

void Canvas::setPenWidth(int w)
{
    if (w == penWidth_)
        return;
    penWidth_ = w;
    penDirty_ = finePenDirty_ = true;
    tracePen();
}

void Canvas::setPenStyle(PenStyle s)
{
    if (s == penStyle_)
        return;
    penStyle_ = s;
    penDirty_ = finePenDirty_ = true;
    tracePen();
}

void Canvas::line(int x1, int y1, int x2, int y2)
{
    sendTrace([&] { return QStringLiteral("line %1 %2 %3 %4").arg(x1).arg(y1).arg(x2).arg(y2); });
    if (x1 == x2 && y1 == y2)
        return;
    record(Op::Line, x1, y1, x2, y2);
    // The tiles along the line, widened by the pen.
    touchLine(x1, y1, x2, y2, std::max(penWidth_, 1) + 1);
    if (!straightLine(x1, y1, x2, y2))
        painter().drawLine(x1, y1, x2, y2);
    if (!fine_.isNull())
        fineLine(x1, y1, x2, y2);
}

std::optional<uint> Canvas::storedValue(const QColor& c) const
{
    if (c.alpha() != 255)
        return std::nullopt;
    if (mono_)
        return NearerWhite(c.rgb()) ? 255u : 0u;
    return c.rgb();
}

QColor Canvas::shown(const QColor& c) const
{
    if (!mono_)
        return c;
    QColor s = QColor::fromRgb(NearerWhite(c.rgb()) ? White : Black);
    s.setAlpha(c.alpha());
    return s;
}

void Canvas::fillSpans(int top, int bottom, int left, int right, uint value)
{
    left = std::max(left, 0);
    right = std::min(right, work_.width());
    top = std::max(top, 0);
    bottom = std::min(bottom, work_.height());
    if (top >= bottom || left >= right)
        return;
    uchar* bits = work_.bits(); // detaches once, not row by row
    const qsizetype stride = work_.bytesPerLine();
    if (mono_) {
        // A bar's upright is a column one pixel wide: a byte a row, without
        // a call for each.
        if (right - left == 1) {
            for (uchar* at = bits + top * stride + left; top < bottom; ++top, at += stride)
                *at = uchar(value);
            return;
        }
        for (int y = top; y < bottom; ++y)
            std::memset(bits + y * stride + left, int(value), size_t(right - left));
        return;
    }
    for (int y = top; y < bottom; ++y) {
        auto* row = reinterpret_cast<uint*>(bits + y * stride);
        std::fill(row + left, row + right, value);
    }
}

// Qt hands each long run of spans to its thread pool and waits for it, which
// made plotting a bar chart mostly thread hand-offs (and, on a busy machine,
// mostly waiting for those threads to get a core). A solid line along a row
// or a column is written here instead, pixel for pixel as Qt draws it: from
// the smaller end up to, not including, the larger one, and across it
// pen-width pixels starting half of them (rounded down) before the line. Qt
// clips a wide line that leaves the picture before it strokes it, and then
// draws less across it near an edge: such a line is left to Qt.
bool Canvas::straightLine(int x1, int y1, int x2, int y2)
{
    if ((x1 != x2 && y1 != y2) || penStyle_ != PenStyle::Solid)
        return false;
    const long long width = std::max(penWidth_, 1), before = width / 2;
    const long long left = x1 == x2 ? x1 - before : std::min(x1, x2);
    const long long right = x1 == x2 ? x1 - before + width : std::max(x1, x2);
    const long long top = y1 == y2 ? y1 - before : std::min(y1, y2);
    const long long bottom = y1 == y2 ? y1 - before + width : std::max(y1, y2);
    if (width > 1 && (left < 0 || top < 0 || right > work_.width() || bottom > work_.height()))
        return false;
    const auto value = storedValue(penColor_);
    if (!value)
        return false;
    end(); // Qt's writes first, and a shared picture detached before ours
    const auto held = [](long long v) { return int(std::clamp<long long>(v, INT_MIN, INT_MAX)); };
    fillSpans(held(top), held(bottom), held(left), held(right), *value);
    return true;
}

void Canvas::rect(int l, int t, int r, int b)
{
    sendTrace([&] { return QStringLiteral("rect %1 %2 %3 %4").arg(l).arg(t).arg(r).arg(b); });
    if (r <= l || b <= t)
        return;
    record(Op::Rect, l, t, r, b);
    touch(QRect(l, t, r - l, b - t).adjusted(-1, -1, 1, 1));
    // Written directly only when wholly inside: Qt's outline of a rectangle
    // cut by an edge leaves out a corner, which is not worth copying.
    if (!fine_.isNull()) {
        // Edges far outside stay outside, so only what shows is drawn.
        const QRect lim = fine_.rect().adjusted(-8, -8, 8, 8);
        const auto hx = [&](int v) { return std::clamp(fine(v), lim.left(), lim.right()); };
        const auto hy = [&](int v) { return std::clamp(fine(v), lim.top(), lim.bottom()); };
        fineFill(QRect(QPoint(hx(l), hy(t)), QPoint(hx(r) - 1, hy(b) - 1)), shown(brushColor_));
        QPainter& fp = finePainter();
        fp.setBrush(Qt::NoBrush);
        fp.drawRect(
            QRect(QPoint(hx(l), hy(t)), QPoint(hx(r - 1), hy(b - 1))).adjusted(0, 0, -1, -1));
        fp.setBrush(QBrush(shown(brushColor_)));
    }
    const bool inside = l >= 0 && t >= 0 && r <= work_.width() && b <= work_.height();
    // A wide pen's outline has mitred corners, which four lines would not have.
    if (const auto fill = storedValue(brushColor_);
        fill && inside && r - l > 1 && b - t > 1 && penWidth_ <= 1) {
        end();
        fillSpans(t, b, l, r, *fill);
        if (straightLine(l, t, r, t) && straightLine(l, b - 1, r, b - 1) &&
            straightLine(l, t, l, b) && straightLine(r - 1, t, r - 1, b))
            return;
    }
    QPainter& p = painter();
    p.fillRect(QRect(l, t, r - l, b - t), shown(brushColor_));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(l, t, r - l - 1, b - t - 1));
    p.setBrush(QBrush(brushColor_));
}

void Canvas::ellipse(int l, int t, int r, int b)
{
    sendTrace([&] { return QStringLiteral("ellipse %1 %2 %3 %4").arg(l).arg(t).arg(r).arg(b); });
    if (r <= l || b <= t)
        return;
    record(Op::Ellipse, l, t, r, b);
    touch(QRect(l, t, r - l, b - t).adjusted(-2, -2, 2, 2));
    painter().drawEllipse(QRect(l, t, r - l - 1, b - t - 1));
    if (!fine_.isNull()) {
        const qreal k = fineRatio_;
        finePainter().drawEllipse(QRectF(l * k, t * k, (r - 1.0 - l) * k, (b - 1.0 - t) * k));
    }
}

QSize Canvas::textSize(const QString& text, ChartFace face)
{
    if (const TableFace* t = TableFaceFor(face, text)) {
        qreal width = 0;
        for (const QChar c : text)
            width += LetterOf(*t, c).advance;
        return {qRound(width), t->ascent + t->descent};
    }
    const LoadedFace& f = Loaded(face);
    qreal width = 0;
    for (const QPointF& a : AdvancesOf(face, f.font.glyphIndexesForString(text)))
        width += a.x();
    return {qRound(width), f.ascent + f.descent};
}

QRect Canvas::textCell(int x, int y, TextAlign align, const QString& text, ChartFace face) const
{
    const QSize s = textSize(text, face);
    return CellAt(x, y, align, s.width(), s.height());
}

void Canvas::textOut(int x, int y, TextAlign align, const QString& text, ChartFace face)
{
    sendTrace([&] {
        QString quoted = text;
        quoted.replace(QLatin1Char('"'), QLatin1String("\\\""));
        return QStringLiteral("text %1 %2 %3 \"%4\"")
            .arg(x)
            .arg(y)
            .arg(QLatin1String(AlignName(align)), quoted);
    });
    if (recording_) {
        record(Op::Text, x, y, 0, 0);
        ops_.back().align = align;
        ops_.back().face = face;
        ops_.back().letters = text;
    }
    // Plain letters come from the built table, others from the font engine.
    const TableFace* table = TableFaceFor(face, text);
    const LoadedFace* engine = table ? nullptr : &Loaded(face);
    QList<quint32> glyphs;
    QList<QPointF> positions;
    qreal pen = 0;
    if (table) {
        positions.reserve(text.size());
        for (const QChar c : text) {
            positions.append(QPointF(pen, 0));
            pen += LetterOf(*table, c).advance;
        }
    } else {
        glyphs = engine->font.glyphIndexesForString(text);
        positions.reserve(glyphs.size());
        for (const QPointF& a : AdvancesOf(face, glyphs)) {
            positions.append(QPointF(pen, 0));
            pen += a.x();
        }
    }
    const int ascent = table ? table->ascent : engine->ascent;
    const int w = qRound(pen);
    const int h = ascent + (table ? table->descent : engine->descent);
    const QRect cell = CellAt(x, y, align, w, h);
    touch(cell.adjusted(-1, -1, 1, 1));
    if (const auto fill = storedValue(brushColor_)) {
        end();
        fillSpans(cell.top(), cell.bottom() + 1, cell.left(), cell.right() + 1, *fill);
    } else {
        painter().fillRect(cell, shown(brushColor_));
    }
    if (!table && glyphs.isEmpty()) {
        if (!fine_.isNull())
            fineText(cell, ascent, align, text, face, cell.adjusted(-1, -1, 1, 1));
        return;
    }
    // The letters are drawn one bit a pixel, with room for strokes reaching
    // past the cell, in the text colour.
    const int margin = h;
    const QRect inked = table
                            ? ink(*table, text, positions, QPoint(cell.left(), cell.top() + ascent),
                                  cell.adjusted(-margin, -margin, margin, margin))
                            : stamp(MaskOfRun(engine->font, glyphs, positions,
                                              QSize(w + 2 * margin, h + 2 * margin),
                                              QPointF(margin, margin + ascent)),
                                    cell.left() - margin, cell.top() - margin);
    touch(inked);
    if (!fine_.isNull())
        fineText(cell, ascent, align, text, face, cell.adjusted(-1, -1, 1, 1) | inked);
}

QRect Canvas::ink(const TableFace& face, const QString& text, const QList<QPointF>& positions,
                  QPoint origin, const QRect& room)
{
    end();
    const uint black = mono_ ? 0u : (textColor_.rgb() | Black);
    uchar* bits = work_.bits();
    const qsizetype stride = work_.bytesPerLine();
    // Strokes beyond the room are cut off as the font engine's mask cuts them.
    const QRect within = room.intersected(work_.rect());
    QRect inked;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const TableLetter& l = LetterOf(face, text[i]);
        const int penX = origin.x() + qRound(positions[i].x());
        for (int k = l.first; k < l.first + l.count; ++k) {
            const InkRun& r = LetterRuns[k];
            const int y = origin.y() + r.y;
            const int from = std::max(penX + r.x, within.left());
            const int to = std::min(penX + r.x + r.length - 1, within.right());
            if (y < within.top() || y > within.bottom() || from > to)
                continue;
            uchar* line = bits + y * stride;
            if (mono_)
                std::memset(line + from, int(black), size_t(to - from + 1));
            else
                std::fill_n(reinterpret_cast<uint*>(line) + from, to - from + 1, black);
            inked |= QRect(from, y, to - from + 1, 1);
        }
    }
    return inked;
}

QRect Canvas::stamp(const QImage& mask, int left, int top)
{
    end();
    // One bit a pixel the letters are black; in colour, the text colour.
    const uint black = mono_ ? 0u : (textColor_.rgb() | Black);
    uchar* bits = work_.bits();
    const qsizetype stride = work_.bytesPerLine();
    const int maskWidth = mask.width(), maskHeight = mask.height();
    const int width = work_.width(), height = work_.height();
    const int wholeBytes = maskWidth / 8;
    int inkLeft = INT_MAX, inkRight = INT_MIN, inkTop = INT_MAX, inkBottom = INT_MIN;
    for (int my = 0; my < maskHeight; ++my) {
        const int y = top + my;
        if (y < 0 || y >= height)
            continue;
        const uchar* row = mask.constScanLine(my);
        uchar* line = bits + y * stride;
        for (int mx = 0; mx < maskWidth; ++mx) {
            // Eight blank pixels at a time: most of a mask is paper.
            if ((mx & 7) == 0 && (mx >> 3) < wholeBytes && row[mx >> 3] == 0xff) {
                mx += 7;
                continue;
            }
            const int x = left + mx;
            if ((row[mx >> 3] >> (7 - (mx & 7))) & 1 || x < 0 || x >= width)
                continue;
            if (mono_)
                line[x] = uchar(black);
            else
                reinterpret_cast<uint*>(line)[x] = black;
            inkLeft = std::min(inkLeft, x);
            inkRight = std::max(inkRight, x);
            inkTop = std::min(inkTop, y);
            inkBottom = std::max(inkBottom, y);
        }
    }
    if (inkLeft > inkRight)
        return QRect();
    return QRect(QPoint(inkLeft, inkTop), QPoint(inkRight, inkBottom));
}

namespace {
// A small picture written into a larger one of the same depth at `at`.
void CopyRows(const QImage& from, QImage& to, const QRect& at)
{
    const int bpp = to.depth() / 8;
    for (int y = 0; y < at.height(); ++y)
        std::memcpy(to.scanLine(at.top() + y) + at.left() * bpp, from.constScanLine(y),
                    size_t(at.width() * bpp));
}

// The pixels of r copied between two pictures of the same depth, in place.
void CopyArea(const QImage& from, QImage& to, const QRect& r)
{
    const int bpp = to.depth() / 8;
    for (int y = r.top(); y <= r.bottom(); ++y)
        std::memcpy(to.scanLine(y) + r.left() * bpp, from.constScanLine(y) + r.left() * bpp,
                    size_t(r.width() * bpp));
}

QImage Part(const QImage& from, const QRect& r)
{
    return r.isEmpty() ? QImage() : from.copy(r);
}

// A patch taken from a picture of this size and depth.
bool Fits(const Canvas::Patch& p, const QImage& work)
{
    return !p.pixels.isNull() && p.pixels.format() == work.format() &&
           p.pixels.size() == p.rect.size() && work.rect().contains(p.rect);
}

// Its screen part, when taken at this screen picture's ratio: where it goes.
std::optional<QRect> FineTarget(const Canvas::Patch& p, const QImage& fine, const QRect& fineRect)
{
    if (fine.isNull())
        return std::nullopt;
    const QRect d = fineRect.intersected(fine.rect());
    if (p.fine.size() != d.size() || p.fine.format() != fine.format())
        return std::nullopt;
    return d;
}
} // namespace

void Canvas::fitStore(QImage& store) const
{
    if (store.size() != work_.size() || store.format() != work_.format()) {
        store = QImage(work_.size(), work_.format());
        store.fill(0);
    }
}

const QImage* Canvas::keptFine(const QImage& store) const
{
    const qint64 key = store.cacheKey();
    const auto kept = std::find_if(fineStores_.begin(), fineStores_.end(),
                                   [key](const auto& e) { return e.first == key; });
    if (fine_.isNull() || kept == fineStores_.end() || kept->second.size() != fine_.size())
        return nullptr;
    return &kept->second;
}

QImage& Canvas::fineStore(qint64 was, const QImage& store)
{
    auto kept = std::find_if(fineStores_.begin(), fineStores_.end(),
                             [was](const auto& e) { return e.first == was; });
    if (kept == fineStores_.end())
        kept = fineStores_.insert(fineStores_.end(), {0, QImage()});
    // Written to, the store has a new key: its screen picture follows it.
    kept->first = store.cacheKey();
    if (kept->second.size() != fine_.size())
        kept->second = QImage(fine_.size(), QImage::Format_RGB32);
    return kept->second;
}

void Canvas::copyTo(QImage& store, const QRect& r)
{
    end();
    fitStore(store);
    const QRect clip = r.intersected(work_.rect());
    if (clip.isEmpty())
        return;
    const qint64 was = store.cacheKey();
    CopyArea(work_, store, clip);
    if (fine_.isNull())
        return;
    endFine();
    CopyArea(fine_, fineStore(was, store), fineRect(clip).intersected(fine_.rect()));
}

void Canvas::copyFrom(const QImage& store, const QRect& r)
{
    const QRect clip = r.intersected(work_.rect()).intersected(store.rect());
    if (clip.isEmpty() || store.format() != work_.format())
        return;
    end();
    touch(clip);
    CopyArea(store, work_, clip);
    if (recording_)
        recordPixels(store.copy(clip), clip.topLeft());
    const QImage* kept = keptFine(store);
    if (!kept)
        return;
    endFine();
    CopyArea(*kept, fine_, fineRect(clip).intersected(fine_.rect()));
}

Canvas::Patch Canvas::patch(const QRect& r) const
{
    Patch p;
    p.rect = r.intersected(work_.rect());
    // The painter draws straight into the pixels, so they are read as they stand.
    p.pixels = Part(work_, p.rect);
    if (!fine_.isNull())
        p.fine = Part(fine_, fineRect(p.rect).intersected(fine_.rect()));
    return p;
}

Canvas::Patch Canvas::patch(const QImage& store, const QRect& r) const
{
    Patch p;
    if (store.size() != work_.size() || store.format() != work_.format())
        return p;
    p.rect = r.intersected(store.rect());
    p.pixels = Part(store, p.rect);
    if (const QImage* kept = keptFine(store))
        p.fine = Part(*kept, fineRect(p.rect).intersected(fine_.rect()));
    return p;
}

std::vector<Canvas::Patch> Canvas::patchesOf(const QImage& picture,
                                             std::span<const QRect> rects) const
{
    std::vector<Patch> out;
    if (picture.size() != work_.size() || IsOneBit(picture) != mono_)
        return out;
    // One look for the screen picture: a picture from elsewhere would be enlarged afresh for each
    // place.
    const QImage fine = fine_.isNull() ? QImage() : fineOf(picture);
    out.reserve(rects.size());
    for (const QRect& r : rects) {
        Patch p;
        p.rect = r.intersected(work_.rect());
        if (!p.rect.isEmpty()) {
            // A one-bit picture's pixels come back as the bytes the chart paints in.
            p.pixels = picture.copy(p.rect).convertToFormat(work_.format());
            if (!fine.isNull())
                p.fine = Part(fine, fineRect(p.rect).intersected(fine_.rect()));
        }
        out.push_back(std::move(p));
    }
    return out;
}

void Canvas::putPatch(const Patch& p)
{
    if (!Fits(p, work_))
        return;
    end();
    touch(p.rect);
    CopyRows(p.pixels, work_, p.rect);
    if (recording_)
        recordPixels(p.pixels, p.rect.topLeft());
    const auto d = FineTarget(p, fine_, fineRect(p.rect));
    if (!d)
        return;
    endFine();
    CopyRows(p.fine, fine_, *d);
}

void Canvas::putPatch(QImage& store, const Patch& p)
{
    if (!Fits(p, work_))
        return;
    fitStore(store);
    const qint64 was = store.cacheKey();
    CopyRows(p.pixels, store, p.rect);
    if (const auto d = FineTarget(p, fine_, fineRect(p.rect)))
        CopyRows(p.fine, fineStore(was, store), *d);
    else
        for (auto& [key, fine] : fineStores_)
            if (key == was)
                key = store.cacheKey();
}

void Canvas::setRecording(bool on)
{
    recording_ = on;
    ops_.clear();
    opMarks_.clear();
    // What is there already was not recorded: it is kept as pixels.
    if (on && !work_.isNull())
        recordPixels(work_, QPoint());
}

void Canvas::record(Op::Kind kind, int a, int b, int c, int d)
{
    if (!recording_)
        return;
    // A window kept open long enough without a fresh picture keeps what it
    // has drawn as pixels instead of an ever longer list. The operation
    // recorded now is not drawn yet.
    if (ops_.size() >= 200000) {
        end();
        ops_.clear();
        opMarks_.clear();
        ops_.push_back(Op{Op::Pixels,
                          0,
                          0,
                          0,
                          0,
                          {},
                          {},
                          {},
                          1,
                          PenStyle::Solid,
                          mono_,
                          {},
                          {},
                          {},
                          work_.copy()});
    }
    Op op{kind,      a,         b,     c,  d,  penColor_, brushColor_, textColor_,
          penWidth_, penStyle_, mono_, {}, {}, {},        {}};
    ops_.push_back(std::move(op));
}

void Canvas::recordPixels(const QImage& pixels, QPoint at)
{
    record(Op::Pixels, at.x(), at.y(), 0, 0);
    if (recording_)
        ops_.back().pixels = pixels;
}

void Canvas::recordRestore(const QImage& picture)
{
    if (!recording_)
        return;
    for (auto m = opMarks_.rbegin(); m != opMarks_.rend(); ++m)
        if (m->first == picture.cacheKey() && m->second <= ops_.size()) {
            ops_.resize(m->second);
            return;
        }
    ops_.clear();
    recordPixels(picture, QPoint());
}

void Canvas::replay(QPainter& p, Letters letters) const
{
    p.save();
    p.setClipRect(QRect(0, 0, width(), height()));
    p.setRenderHint(QPainter::Antialiasing, false);
    // Pixel (x, y) covers the square from (x, y) to (x + 1, y + 1): one pixel
    // wide strokes run through the middles of the pixels they paint.
    const QPointF mid(0.5, 0.5);
    for (const Op& op : ops_) {
        const auto colour = [&op](const QColor& c) {
            if (!op.mono)
                return c;
            QColor s = QColor::fromRgb(NearerWhite(c.rgb()) ? White : Black);
            s.setAlpha(c.alpha());
            return s;
        };
        QPen pen(colour(op.pen));
        pen.setWidth(op.penWidth);
        pen.setStyle(QtStyle(op.style));
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
        const QRectF box(op.a + 0.5, op.b + 0.5, op.c - op.a - 1.0, op.d - op.b - 1.0);
        switch (op.kind) {
        case Op::Line: {
            const qreal m = 4 + op.penWidth;
            const std::optional<QLineF> within =
                ClipSegment(QLineF(op.a, op.b, op.c, op.d),
                            QRectF(0, 0, width(), height()).adjusted(-m, -m, m, m));
            if (!within)
                break;
            p.setPen(pen);
            p.drawLine(within->translated(mid));
            break;
        }
        case Op::Rect:
            p.fillRect(QRectF(op.a, op.b, op.c - op.a, op.d - op.b), colour(op.brush));
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawRect(box);
            break;
        case Op::Ellipse:
            p.setPen(pen);
            p.setBrush(QBrush(colour(op.brush)));
            p.drawEllipse(box);
            break;
        case Op::Text: {
            const QRect cell = textCell(op.a, op.b, op.align, op.letters, op.face);
            p.fillRect(cell, colour(op.brush));
            // Plain letters from the built table, as textOut draws them:
            // outlines with no font loaded. Others from the font engine.
            const TableFace* table = TableFaceFor(op.face, op.letters);
            const LoadedFace* engine = table ? nullptr : &Loaded(op.face);
            const QList<quint32> glyphs =
                table ? QList<quint32>() : engine->font.glyphIndexesForString(op.letters);
            if (!table && glyphs.isEmpty())
                break;
            const QColor ink = op.mono ? QColor(Qt::black) : QColor(op.text.rgb());
            const QPointF origin(cell.left(),
                                 cell.top() + (table ? table->ascent : engine->ascent));
            const bool outlines = letters == Letters::Outlines;
            QList<QPointF> positions;
            QPainterPath outline;
            qreal x = 0;
            const auto place = [&](const QPainterPath& letter, qreal advance) {
                positions.append(QPointF(x, 0));
                if (outlines)
                    outline.addPath(letter.translated(origin + QPointF(x, 0)));
                x += advance;
            };
            if (table) {
                for (const QChar c : op.letters) {
                    const TableLetter& l = LetterOf(*table, c);
                    place(outlines ? PathOfOutline(LetterOutlines + l.outlineFirst, l.outlineCount)
                                   : QPainterPath(),
                          l.advance);
                }
            } else {
                const QList<QPointF> advances = AdvancesOf(op.face, glyphs);
                for (qsizetype i = 0; i < glyphs.size(); ++i)
                    place(outlines ? GlyphOutline(op.face, glyphs[i]) : QPainterPath(),
                          advances[i].x());
            }
            if (outlines) {
                p.fillPath(outline, ink);
                break;
            }
            const QRawFont embedded = EmbeddableFace(op.face);
            QGlyphRun run;
            if (embedded.isValid()) {
                run.setRawFont(embedded);
                run.setGlyphIndexes(embedded.glyphIndexesForString(op.letters));
            } else {
                const LoadedFace& f = engine ? *engine : Loaded(op.face);
                run.setRawFont(f.font);
                run.setGlyphIndexes(f.font.glyphIndexesForString(op.letters));
            }
            run.setPositions(positions);
            p.setPen(QPen(ink));
            p.drawGlyphRun(origin, run);
            break;
        }
        case Op::Pixels: p.drawImage(QPoint(op.a, op.b), op.pixels); break;
        }
    }
    p.restore();
}

void Canvas::setTrace(TraceSink sink)
{
    trace_ = std::move(sink);
}

// The screen picture. Its pixel (X, Y) lies over the chart's (X / k, Y / k):
// the chart's pixel column c starts at device column c * k, and a line of
// the one-pixel pen is drawn in that first device column.

int Canvas::fine(long long v) const
{
    constexpr double far = INT_MAX / 4;
    return int(std::clamp(std::round(double(v) * fineRatio_), -far, far));
}

QRect Canvas::fineRect(const QRect& r) const
{
    return QRect(QPoint(fine(r.left()), fine(r.top())),
                 QPoint(fine(r.right() + 1LL) - 1, fine(r.bottom() + 1LL) - 1));
}

const QImage& Canvas::displayImage()
{
    endFine();
    return fine_;
}

QPainter& Canvas::finePainter()
{
    if (!finePainter_) {
        finePainter_ = std::make_unique<QPainter>(&fine_);
        finePainter_->setRenderHint(QPainter::Antialiasing, false);
        finePainter_->setRenderHint(QPainter::TextAntialiasing, true);
        finePenDirty_ = true;
    }
    if (finePenDirty_) {
        // The one-pixel pen stays one device pixel; wider pens and the
        // dots and dashes grow with the screen.
        QPen pen(shown(penColor_));
        pen.setWidth(penWidth_ <= 1 ? 1 : fine(penWidth_));
        pen.setStyle(QtStyle(penStyle_));
        if (penWidth_ <= 1 && penStyle_ != PenStyle::Solid) {
            QList<qreal> dashes = pen.dashPattern();
            for (qreal& d : dashes)
                d *= fineRatio_;
            pen.setDashPattern(dashes);
        }
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
        finePainter_->setPen(pen);
        finePainter_->setBrush(QBrush(shown(brushColor_)));
        finePenDirty_ = false;
    }
    return *finePainter_;
}

void Canvas::fineFill(const QRect& device, const QColor& c)
{
    const QRect d = device.intersected(fine_.rect());
    if (d.isEmpty())
        return;
    if (c.alpha() != 255) {
        finePainter().fillRect(d, c);
        return;
    }
    endFine();
    const QRgb v = c.rgb();
    uchar* bits = fine_.bits(); // detaches once, not row by row
    const qsizetype stride = fine_.bytesPerLine();
    for (int y = d.top(); y <= d.bottom(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(bits + y * stride);
        std::fill(row + d.left(), row + d.right() + 1, v);
    }
}

void Canvas::fineLine(int x1, int y1, int x2, int y2)
{
    const int fx1 = fine(x1), fy1 = fine(y1), fx2 = fine(x2), fy2 = fine(y2);
    if ((x1 == x2 || y1 == y2) && penWidth_ <= 1 && penStyle_ == PenStyle::Solid &&
        penColor_.alpha() == 255) {
        // From the smaller end up to, not including, the larger one, as on the chart.
        if (y1 == y2)
            fineFill(QRect(QPoint(std::min(fx1, fx2), fy1), QPoint(std::max(fx1, fx2) - 1, fy1)),
                     shown(penColor_));
        else
            fineFill(QRect(QPoint(fx1, std::min(fy1, fy2)), QPoint(fx1, std::max(fy1, fy2) - 1)),
                     shown(penColor_));
        return;
    }
    // Cut to a little more than the picture first: a line may end anywhere
    // an int can say, and twice that is beyond what the painter takes.
    const qreal k = fineRatio_;
    const qreal m = 4 + penWidth_ * k;
    const std::optional<QLineF> within = ClipSegment(QLineF(x1 * k, y1 * k, x2 * k, y2 * k),
                                                     QRectF(fine_.rect()).adjusted(-m, -m, m, m));
    if (!within)
        return;
    finePainter().drawLine(*within);
}

const QRawFont& Canvas::fineFace(ChartFace face)
{
    QRawFont& f = fineFaces_[size_t(face)];
    const qreal pixels = std::round(FacePixels(face) * fineRatio_);
    if (!f.isValid() || f.pixelSize() != pixels) {
        f = Loaded(face).font;
        f.setPixelSize(pixels);
    }
    return f;
}

void Canvas::fineText(const QRect& cell, int ascent, TextAlign align, const QString& text,
                      ChartFace face, const QRect& within)
{
    fineFill(fineRect(cell), shown(brushColor_));
    if (text.isEmpty())
        return;
    const QRawFont& f = fineFace(face);
    const QList<quint32> glyphs = f.glyphIndexesForString(text);
    const QList<QPointF> advances = f.advancesForGlyphIndexes(glyphs);
    QList<QPointF> positions;
    positions.reserve(glyphs.size());
    qreal w = 0;
    for (const QPointF& a : advances) {
        positions.append(QPointF(w, 0));
        w += a.x();
    }
    // The letters keep the chart's cell: its left edge, right edge or middle.
    const QRect d = fineRect(cell);
    qreal left = d.left();
    if (align == TextAlign::RightBottom)
        left = d.right() + 1 - w;
    else if (align == TextAlign::CenterTop)
        left = d.left() + std::round((d.width() - w) / 2);
    QGlyphRun run;
    run.setRawFont(f);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    QPainter& p = finePainter();
    p.save();
    p.setClipRect(fineRect(within));
    // As on the chart: black on a one-bit picture, else the text colour.
    p.setPen(QPen(mono_ ? QColor(Qt::black) : QColor(textColor_.rgb())));
    p.drawGlyphRun(QPointF(left, fine(cell.top() + ascent)), run);
    p.restore();
}

QImage Canvas::fineOf(const QImage& picture) const
{
    for (const FineShot& shot : fineShots_)
        if (shot.picture.cacheKey() == picture.cacheKey() && shot.fine.size() == fine_.size())
            return shot.fine;
    // A picture from elsewhere (a file): each of its pixels a block.
    return picture.convertToFormat(QImage::Format_RGB32)
        .copy(work_.rect())
        .scaled(fine_.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

void Canvas::rememberFine(const QImage& picture)
{
    if (fine_.isNull())
        return;
    endFine(); // the copy kept must not see later drawing
    std::erase_if(fineShots_, [](const FineShot& shot) { return shot.picture.isDetached(); });
    for (FineShot& shot : fineShots_)
        if (shot.picture.cacheKey() == picture.cacheKey()) {
            shot.fine = fine_;
            return;
        }
    fineShots_.push_back({picture, fine_});
}
