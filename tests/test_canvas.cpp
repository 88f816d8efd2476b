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

QPainter& Pen(QPainter& p, const QColor& c)
{
    QPen pen(c);
    pen.setWidth(1);
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
            ops << QStringLiteral("%1 %2 %3").arg(a).arg(b).arg(at);
            switch (rng() % 3) {
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

TEST(Canvas, DirectWritesDoNotReachACopyTakenBefore)
{
    Canvas canvas;
    canvas.create(40, 30, true);
    const QImage before = canvas.image();
    canvas.line(0, 5, 40, 5);
    canvas.rect(2, 8, 20, 20);
    EXPECT_EQ(before.pixelIndex(10, 5), 1);
    EXPECT_EQ(before.pixelIndex(2, 10), 1);
    EXPECT_EQ(canvas.image().pixelIndex(10, 5), 0);
    EXPECT_EQ(canvas.image().pixelIndex(2, 10), 0);
}
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
        EXPECT_EQ(c.image().pixelIndex(0, 0) == 0, true) << t.name;
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

TEST(Canvas, MarkerBackgroundsComeBackExactly)
{
    for (const bool mono : {true, false}) {
        Canvas c;
        c.create(60, 40, mono);
        c.setPenColor(mono ? Qt::black : QColor(200, 20, 20));
        for (int k = 0; k < 40; k += 3)
            c.line(0, k, 59, 39 - k);
        const QImage before = c.image().copy();
        QImage store;
        const QRect under(13, 7, 11, 9);
        c.copyTo(store, under);
        c.rect(under.left(), under.top(), under.right() + 1, under.bottom() + 1);
        EXPECT_NE(c.image(), before);
        c.copyFrom(store, under);
        EXPECT_EQ(c.image(), before) << (mono ? "mono" : "colour");
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
