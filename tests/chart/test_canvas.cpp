// The canvas writes straight lines and filled rectangles into the bits
// itself; they must be the pixels Qt would have drawn.
#include <QPainter>
#include <numeric>
#include <random>
#include <set>

#include "chart/Canvas.h"
#include "chart/Output.h"
#include <gtest/gtest.h>

namespace {
QImage Blank(QImage::Format format, int w, int h)
{
    QImage img(w, h, format);
    if (format == QImage::Format_Mono) {
        img.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
        img.fill(1);
    } else {
        img.fill(Qt::white);
    }
    return img;
}

QPainter& Pen(QPainter& p, const QColor& c, int width = 1)
{
    QPen pen(c);
    pen.setWidth(width);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    return p;
}

struct Case {
    const char* name;
    QImage::Format format;
    QColor pen, brush;
};

class CanvasParity : public testing::TestWithParam<Case> {};

TEST_P(CanvasParity, StraightLinesAndRectanglesAreQtsPixels)
{
    const Case& c = GetParam();
    const bool mono = c.format == QImage::Format_Mono;
    constexpr int W = 70, H = 45;
    std::mt19937 rng(7);
    // Ends inside, on and beyond every edge, and as far as the chart map
    // lets a pixel go.
    std::uniform_int_distribution<int> near(-12, W + 12), far(-1000000000, 1000000000);
    auto coord = [&] { return rng() % 8 ? near(rng) : far(rng); };
    for (int round = 0; round < 400; ++round) {
        Canvas canvas;
        canvas.create(W, H, mono);
        canvas.setPenColor(c.pen);
        canvas.setBrushColor(c.brush);
        QImage qt = Blank(c.format, W, H);
        QPainter p(&qt);
        Pen(p, c.pen).setBrush(c.brush);
        QStringList ops;
        for (int k = 0; k < 6; ++k) {
            const int a = coord(), b = coord(), at = near(rng);
            const unsigned kind = rng() % 3;
            // Lines mostly thin, as charts draw them, and wide ones as the
            // axes are; rectangles with a thin outline.
            const int width = kind == 2 || rng() % 2 ? 1 : 2 + int(rng() % 4);
            canvas.setPenWidth(width);
            Pen(p, c.pen, width).setBrush(c.brush);
            ops << QStringLiteral("width %1: %2 %3 %4").arg(width).arg(a).arg(b).arg(at);
            switch (kind) {
            case 0:
                canvas.line(a, at, b, at);
                if (a != b)
                    p.drawLine(a, at, b, at);
                break;
            case 1:
                canvas.line(at, a, at, b);
                if (a != b)
                    p.drawLine(at, a, at, b);
                break;
            default: {
                const int l = near(rng), t = near(rng), r = l + int(rng() % 20),
                          bt = t + int(rng() % 20);
                ops << QStringLiteral("rect %1 %2 %3 %4").arg(l).arg(t).arg(r).arg(bt);
                canvas.rect(l, t, r, bt);
                if (r > l && bt > t) {
                    p.fillRect(QRect(l, t, r - l, bt - t), c.brush);
                    p.setBrush(Qt::NoBrush);
                    p.drawRect(QRect(l, t, r - l - 1, bt - t - 1));
                    p.setBrush(c.brush);
                }
            }
            }
        }
        p.end();
        const QImage mine = canvas.image();
        ASSERT_EQ(mine.format(), qt.format());
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                ASSERT_EQ(mine.pixel(x, y), qt.pixel(x, y))
                    << "after " << qPrintable(ops.join(QStringLiteral(", "))) << " at " << x << ","
                    << y;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, CanvasParity,
    testing::Values(
        Case{"MonoBlackOnWhite", QImage::Format_Mono, Qt::black, Qt::white},
        Case{"MonoWhiteOnBlack", QImage::Format_Mono, Qt::white, Qt::black},
        Case{"ColourOpaque", QImage::Format_RGB32, QColor(200, 30, 90), QColor(10, 220, 40)},
        // Not written directly: Qt blends it.
        Case{"ColourSeeThrough", QImage::Format_RGB32, QColor(0, 0, 255, 100), Qt::white},
        Case{"MonoGreyIsLeftToQt", QImage::Format_Mono, QColor(90, 90, 90), Qt::white}),
    [](const testing::TestParamInfo<Case>& row) { return std::string(row.param.name); });

} // namespace

TEST(Canvas, TheDisplayCopyIsQtsConversionWithinTheChangedRectOnly)
{
    std::mt19937 rng(3);
    for (const bool mono : {true, false}) {
        Canvas canvas;
        canvas.create(83, 41, mono); // rows that end inside a byte
        canvas.setPenColor(mono ? Qt::black : QColor(20, 120, 220));
        for (int k = 0; k < 60; ++k)
            canvas.line(int(rng() % 83), int(rng() % 41), int(rng() % 83), int(rng() % 41));
        const QImage src = canvas.image();
        QImage shown(src.size(), QImage::Format_RGB32);
        shown.fill(qRgb(1, 2, 3));
        const QRect changed(5, 3, 70, 30);
        CopyForDisplay(src, shown, changed.adjusted(-20, -20, 0, 0)); // cut at the edges
        const QImage qt = src.convertToFormat(QImage::Format_RGB32);
        const QRect in = changed.adjusted(-20, -20, 0, 0).intersected(src.rect());
        for (int y = 0; y < src.height(); ++y)
            for (int x = 0; x < src.width(); ++x)
                ASSERT_EQ(shown.pixel(x, y), in.contains(x, y) ? qt.pixel(x, y) : qRgb(1, 2, 3))
                    << (mono ? "mono " : "colour ") << x << "," << y;
    }
}

namespace {
// Black pixels, whatever the picture's format.
std::vector<bool> Inked(const QImage& img)
{
    const QImage rgb = img.convertToFormat(QImage::Format_RGB32);
    std::vector<bool> out;
    out.reserve(size_t(rgb.width() * rgb.height()));
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            out.push_back(qGray(rgb.pixel(x, y)) < 128);
    return out;
}

// Long shallow lines and ellipses over a whole screen: every row takes
// hundreds of spans, which Qt shares between threads. On a picture of one
// bit a pixel two threads could write the same byte and one lose the
// other's pixel, now and then. The one-bit picture must be the colour
// picture's black pixels, every time.
void DrawCrowded(Canvas& c)
{
    for (int y = 0; y < 1080; y += 3)
        c.line(0, y, 1919, 1079 - y);
    for (int r = 4; r < 530; r += 6)
        c.ellipse(960 - r, 540 - r, 960 + r, 540 + r);
}
} // namespace

TEST(CanvasStress, OneBitPicturesLoseNoPixelToThreads)
{
    Canvas colour;
    colour.create(1920, 1080, false);
    colour.setBrushColor(Qt::transparent);
    DrawCrowded(colour);
    const std::vector<bool> expected = Inked(colour.image());
    for (int round = 0; round < 6; ++round) {
        Canvas mono;
        mono.create(1920, 1080, true);
        mono.setBrushColor(Qt::transparent);
        DrawCrowded(mono);
        const std::vector<bool> got = Inked(mono.image());
        ASSERT_EQ(got.size(), expected.size());
        const auto lost = std::inner_product(got.begin(), got.end(), expected.begin(), size_t(0),
                                             std::plus<>(), std::not_equal_to<>());
        ASSERT_EQ(lost, 0u) << "round " << round;
    }
}

TEST(Canvas, OneBitPicturesGoInAndComeOutUnchanged)
{
    std::mt19937 rng(11);
    struct Table {
        const char* name;
        QList<QRgb> colours;
    };
    for (const Table& t : {Table{"black first", {qRgb(0, 0, 0), qRgb(255, 255, 255)}},
                           Table{"white first", {qRgb(255, 255, 255), qRgb(0, 0, 0)}}}) {
        QImage picture(77, 23, QImage::Format_Mono); // rows ending inside a byte
        picture.setColorTable(t.colours);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, rng() & 1);
        Canvas c;
        c.create(77, 23, true);
        c.restore(picture);
        c.line(0, 0, 1, 0); // one pixel drawn, so the bits are packed again
        const QImage out = c.image();
        EXPECT_EQ(out.format(), QImage::Format_Mono) << t.name;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (x > 0 || y > 0) {
                    ASSERT_EQ(out.pixel(x, y), picture.pixel(x, y))
                        << t.name << " " << x << "," << y;
                }
    }
}

TEST(Canvas, LettersAreTheSameInBothPicturesAndHaveNoGrey)
{
    for (const ChartFace face : {ChartFace::Label, ChartFace::Header}) {
        Canvas mono, colour;
        mono.create(200, 40, true);
        colour.create(200, 40, false);
        for (Canvas* c : {&mono, &colour}) {
            (void)c->takeDirty();
            c->textOut(100, 5, TextAlign::CenterTop, QStringLiteral("12 Feb 2025 Wq|"), face);
        }
        const QImage rgb = colour.image();
        std::set<QRgb> shades;
        for (int y = 0; y < rgb.height(); ++y)
            for (int x = 0; x < rgb.width(); ++x)
                shades.insert(rgb.pixel(x, y));
        EXPECT_EQ(shades, (std::set<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));
        EXPECT_EQ(Inked(mono.image()), Inked(rgb));
        // Drawn where asked: centred on x = 100, from y = 5 down.
        const QRect drawn = mono.dirty();
        EXPECT_NEAR(drawn.center().x(), 100, 2);
        EXPECT_GE(drawn.top(), 3);
    }
}

// A screen of two device pixels a pixel: the canvas draws everything again
// at that scale for the screen, and the chart itself stays as it was.
namespace {
constexpr QRgb Ink = 0xff000000, Paper = 0xffffffff;

// The same drawing on any canvas: every kind of operation, a marker's
// background kept and given back, the picture handed out and restored.
void DrawSample(Canvas& c)
{
    c.line(10, 5, 10, 30); // a bar
    c.line(3, 8, 9, 8);    // a tick
    c.line(0, 0, 40, 40);
    c.setPenStyle(PenStyle::Dot);
    c.line(50, 2, 90, 2);
    c.setPenStyle(PenStyle::Solid);
    c.setPenWidth(2);
    c.line(60, 10, 60, 20);
    c.line(-5, 50, 2000000000, 60); // ends far beyond the picture
    c.setPenWidth(1);
    c.setPenColor(QColor(0, 0, 128));
    c.rect(20, 40, 35, 48);
    c.ellipse(40, 30, 70, 55);
    c.textOut(75, 58, TextAlign::RightBottom, QStringLiteral("140 Wq"), ChartFace::Label);
    c.textOut(80, 2, TextAlign::CenterTop, QStringLiteral("8 Feb 2024"), ChartFace::Header);
    const QImage clean = c.image();
    QImage store;
    c.copyTo(store, QRect(30, 20, 10, 10));
    c.rect(30, 20, 40, 30);
    c.copyFrom(store, QRect(30, 20, 10, 10));
    c.line(0, 60, 90, 20);
    c.restoreChanged(clean);
    c.line(5, 62, 95, 62);
}

// The screen picture, or the chart itself where there is none.
QImage Fine(Canvas& c)
{
    return (c.displayRatio() > 1 ? c.displayImage() : c.image())
        .convertToFormat(QImage::Format_RGB32);
}
} // namespace

TEST(CanvasScreen, TheChartItsTraceAndItsFilesStayAsAtOnePixel)
{
    for (const bool mono : {true, false}) {
        QStringList plainTrace, scaledTrace;
        Canvas plain, scaled;
        plain.setTrace([&](const QString& l) { plainTrace << l; });
        scaled.setTrace([&](const QString& l) { scaledTrace << l; });
        scaled.setDisplayRatio(2);
        plain.create(100, 70, mono);
        scaled.create(100, 70, mono);
        DrawSample(plain);
        DrawSample(scaled);
        EXPECT_EQ(scaled.image(), plain.image()) << mono;
        EXPECT_EQ(scaledTrace, plainTrace) << mono;
        EXPECT_TRUE(plain.displayImage().isNull());
        EXPECT_EQ(scaled.displayImage().size(), QSize(200, 140));
    }
}

TEST(CanvasScreen, ThinLinesAreOneDevicePixelAndLettersAreDrawnAtTheScreensSize)
{
    Canvas c;
    c.setDisplayRatio(2);
    c.create(100, 70, true);
    c.line(10, 5, 10, 30);
    c.line(3, 40, 9, 40);
    c.setPenWidth(2);
    c.line(60, 10, 60, 20);
    c.setPenWidth(1);
    c.textOut(50, 45, TextAlign::CenterTop, QStringLiteral("8 Feb 2024"), ChartFace::Label);
    const QImage f = Fine(c);
    // The bar: device column 20 from row 10 up to, not including, row 60.
    for (int y = 10; y < 60; ++y) {
        ASSERT_EQ(f.pixel(20, y), Ink) << y;
        ASSERT_EQ(f.pixel(19, y), Paper) << y;
        ASSERT_EQ(f.pixel(21, y), Paper) << y;
    }
    EXPECT_EQ(f.pixel(20, 9), Paper);
    EXPECT_EQ(f.pixel(20, 60), Paper);
    // The tick: device row 80, columns 6 to 17.
    for (int x = 6; x < 18; ++x) {
        ASSERT_EQ(f.pixel(x, 80), Ink) << x;
        ASSERT_EQ(f.pixel(x, 79), Paper) << x;
        ASSERT_EQ(f.pixel(x, 81), Paper) << x;
    }
    EXPECT_EQ(f.pixel(18, 80), Paper);
    // A pen two pixels wide is four device pixels wide.
    int wide = 0;
    for (int x = 110; x < 130; ++x)
        wide += f.pixel(x, 30) == Ink;
    EXPECT_EQ(wide, 4);
    // The letters: as tall as twice the chart's, within its cell doubled,
    // and not the chart's letters enlarged, whose every ink pixel would
    // share its pair of device columns with another.
    const QRect cell =
        c.textCell(50, 45, TextAlign::CenterTop, QStringLiteral("8 Feb 2024"), ChartFace::Label);
    const QImage chart = c.image().convertToFormat(QImage::Format_RGB32);
    auto inkRows = [](const QImage& img, const QRect& r) {
        int top = INT_MAX, bottom = -1;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (qGray(img.pixel(x, y)) < 128) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        return bottom - top + 1;
    };
    const QRect fineCell(cell.topLeft() * 2, cell.size() * 2);
    EXPECT_NEAR(inkRows(f, fineCell), 2 * inkRows(chart, cell), 2);
    bool ownPixels = false;
    for (int y = fineCell.top(); y <= fineCell.bottom() && !ownPixels; ++y)
        for (int x = fineCell.left(); x + 1 <= fineCell.right(); x += 2)
            if ((qGray(f.pixel(x, y)) < 128) != (qGray(f.pixel(x + 1, y)) < 128))
                ownPixels = true;
    EXPECT_TRUE(ownPixels);
}

// Markers taken off their kept background, live figures drawn over a kept
// base and pictures restored come back exactly, in the chart and on screen.
TEST(Canvas, KeptPicturesComeBackExactly)
{
    struct Row {
        const char* name;
        bool mono;
        qreal ratio;
    };
    for (const Row& r : {Row{"mono", true, 1}, Row{"colour", false, 1}, Row{"mono at 2", true, 2},
                         Row{"colour at 2", false, 2}, Row{"mono at 1.5", true, 1.5}}) {
        Canvas c;
        c.setDisplayRatio(r.ratio);
        c.create(90, 60, r.mono);
        c.setPenColor(r.mono ? Qt::black : QColor(200, 20, 20));
        for (int k = 0; k < 60; k += 3)
            c.line(0, k, 89, 59 - k);
        c.textOut(45, 20, TextAlign::CenterTop, QStringLiteral("180"), ChartFace::Label);
        const QImage base = c.image();
        const QImage baseFine = Fine(c);
        const auto same = [&](const char* step) {
            EXPECT_EQ(c.image(), base) << r.name << ", " << step;
            EXPECT_EQ(Fine(c), baseFine) << r.name << ", " << step;
        };
        // A marker drawn on its kept background and taken off again.
        QImage store;
        c.copyTo(store, QRect(13, 7, 11, 9));
        c.rect(13, 7, 24, 16);
        // Both pictures taken while it shows, as a window or a saved file would.
        EXPECT_NE(c.image(), base) << r.name;
        EXPECT_NE(Fine(c), baseFine) << r.name;
        c.copyFrom(store, QRect(13, 7, 11, 9));
        same("marker");
        // A live figure drawn over the base: only what it touched goes back.
        c.restore(base);
        c.setPenWidth(2);
        c.line(30, 20, 70, 50);
        c.ellipse(40, 25, 70, 50);
        c.textOut(30, 40, TextAlign::LeftBottom, QStringLiteral("x"), ChartFace::Label);
        c.setPenWidth(1);
        (void)c.takeDirty();
        c.restoreChanged(base);
        same("live figure");
        const QRect changed = c.takeDirty();
        EXPECT_TRUE(changed.contains(QRect(30, 20, 40, 30))) << r.name;
        EXPECT_LT(changed.width() * changed.height(), 90 * 60) << r.name;
        c.line(0, 0, 89, 59);
        c.restore(base);
        same("restore");
        // A picture that never came from the canvas is a whole restore.
        QImage other = base.copy();
        other.fill(r.mono ? 0u : 0xff000000u);
        c.restoreChanged(other);
        EXPECT_EQ(c.image(), other) << r.name;
        if (r.ratio > 1) {
            c.restore(other.convertToFormat(QImage::Format_RGB32));
            EXPECT_EQ(Fine(c).pixel(Fine(c).width() - 1, Fine(c).height() - 1), Ink) << r.name;
            EXPECT_EQ(Fine(c).size(), QSize(qRound(90 * r.ratio), qRound(60 * r.ratio))) << r.name;
        }
    }
}
