// What a figure changes is kept as the tiles along it. A figure drawn over a
// kept base, moved and drawn again many times, must leave the same picture,
// screen picture and display copy as the figure drawn once on a fresh chart:
// a tile left out leaves a ghost of an earlier figure, or a pixel never shown.
#include <QPainter>
#include <cmath>
#include <tuple>

#include "chart/Canvas.h"
#include "chart/DirtyTiles.h"
#include "chart/Output.h"
#include <gtest/gtest.h>

namespace {
// Not whole tiles either way, nor whole bytes.
constexpr int W = 301, H = 203;

struct Figure {
    const char* name;
    void (*draw)(Canvas&, int shift);
};

// The live ellipse as the program draws it: short lines round an outline.
void Outline(Canvas& c, int cx, int cy, int rx, int ry)
{
    constexpr int Steps = 72;
    constexpr double Turn = 6.283185307179586;
    int x0 = cx + rx, y0 = cy;
    for (int k = 1; k <= Steps; ++k) {
        const int x = cx + int(std::lround(rx * std::cos(Turn * k / Steps)));
        const int y = cy - int(std::lround(ry * std::sin(Turn * k / Steps)));
        c.line(x0, y0, x, y);
        x0 = x;
        y0 = y;
    }
}

const Figure Figures[] = {
    {"LiveEllipse",
     [](Canvas& c, int s) {
         c.setPenColor(QColor(0, 128, 0));
         Outline(c, 150 + s, 100, 120 + s, 80);
     }},
    {"LiveEllipseOverTheEdges", [](Canvas& c, int s) { Outline(c, 280 - s, 190, 90, 60 + s); }},
    {"FilledEllipse",
     [](Canvas& c, int s) {
         c.setBrushColor(QColor(250, 240, 10));
         c.ellipse(40 + s, 30, 260, 170 + s);
     }},
    {"LongShallowLine", [](Canvas& c, int s) { c.line(-50, 10 + s, 350, 190 - s); }},
    {"SteepWideLine",
     [](Canvas& c, int s) {
         c.setPenWidth(3);
         c.line(20 + s, -30, 70 + 2 * s, 250);
     }},
    {"DashedLine",
     [](Canvas& c, int s) {
         c.setPenStyle(PenStyle::Dash);
         c.line(W - 1 - s, 0, s, H - 1);
     }},
    {"EndsFarAway",
     [](Canvas& c, int s) { c.line(-1000000000, -999999900 + s, 1000000000, 1000000000); }},
    {"TextAtTheRightEdge",
     [](Canvas& c, int s) {
         c.textOut(W - 30 + s, 60 + s, TextAlign::LeftBottom, QStringLiteral("1234.5 Wq"),
                   ChartFace::Label);
     }},
    {"MarkerInTheCorner",
     [](Canvas& c, int s) {
         c.setPenWidth(2);
         c.line(-3 + s, H - 2, 5 + s, H - 2);
         c.line(1 + s, H - 6, 1 + s, H + 2);
     }},
};

// A chart under the figure: bars, a level and its label.
void DrawBase(Canvas& c)
{
    for (int x = 3; x < W; x += 6)
        c.line(x, 40 + (x * 7) % 90, x, 120 + (x * 13) % 70);
    c.setPenStyle(PenStyle::Dot);
    c.line(0, 101, W, 101);
    c.setPenStyle(PenStyle::Solid);
    c.textOut(W - 2, 100, TextAlign::RightBottom, QStringLiteral("101.25"), ChartFace::Label);
}

// The screen picture, or the chart itself where there is none.
QImage Fine(Canvas& c)
{
    return (c.displayRatio() > 1 ? c.displayImage() : c.image())
        .convertToFormat(QImage::Format_RGB32);
}

// The parts of the screen picture within the changed region, copied as a
// window at that ratio shows them.
void CopyFine(Canvas& c, QImage& shown, const QRegion& changed)
{
    const int k = int(c.displayRatio());
    const QImage fine = Fine(c);
    QPainter p(&shown);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& r : changed)
        p.drawImage(QPoint(r.left() * k, r.top() * k), fine,
                    QRect(r.left() * k, r.top() * k, r.width() * k, r.height() * k));
}

// Paper whose one-bit table is the other way round from the chart's own: a
// canvas given it packs the whole picture when asked for it, so a picture
// drawn on it owes nothing to the tiles marked.
QImage PackedWhole(bool mono)
{
    if (!mono) {
        QImage paper(W, H, QImage::Format_RGB32);
        paper.fill(Qt::white);
        return paper;
    }
    QImage paper(W, H, QImage::Format_Mono);
    paper.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    paper.fill(0);
    return paper;
}

using Row = std::tuple<Figure, bool, int>; // figure, one bit, display ratio

class MovedFigure : public testing::TestWithParam<Row> {};

TEST_P(MovedFigure, LeavesWhatDrawingItOnceLeaves)
{
    const auto& [figure, mono, ratio] = GetParam();
    Canvas live;
    live.setDisplayRatio(ratio);
    live.create(W, H, mono);
    DrawBase(live);
    const QImage base = live.image();
    // As the window keeps it: made whole once, then only what changed.
    QImage shown = base.convertToFormat(QImage::Format_RGB32);
    QImage shownFine = Fine(live);
    (void)live.takeDirty();
    int shift = 0;
    for (int move = 0; move < 12; ++move) {
        shift = (move * 7) % 11;
        live.restoreChanged(base);
        figure.draw(live, shift);
        const QRegion changed = live.takeDirtyRegion();
        EXPECT_TRUE(changed.isEmpty() || live.image().rect().contains(changed.boundingRect()));
        CopyForDisplay(live.image(), shown, changed);
        CopyFine(live, shownFine, changed);
    }

    Canvas fresh;
    fresh.setDisplayRatio(ratio);
    fresh.create(W, H, mono);
    fresh.restore(PackedWhole(mono));
    DrawBase(fresh);
    figure.draw(fresh, shift);
    const QImage want = fresh.image();
    ASSERT_EQ(live.image(), want) << "the chart";
    ASSERT_EQ(Fine(live), Fine(fresh)) << "the screen picture";
    ASSERT_EQ(shown, want.convertToFormat(QImage::Format_RGB32)) << "the display copy";
    ASSERT_EQ(shownFine, Fine(fresh)) << "the screen picture shown";
    // The base comes back whole once the figure is taken off.
    live.restoreChanged(base);
    ASSERT_EQ(live.image(), base) << "the base again";
}

INSTANTIATE_TEST_SUITE_P(Figures, MovedFigure,
                         testing::Combine(testing::ValuesIn(Figures), testing::Bool(),
                                          testing::Values(1, 2)),
                         [](const testing::TestParamInfo<Row>& row) {
                             return std::string(std::get<0>(row.param).name) +
                                    (std::get<1>(row.param) ? "_Mono" : "_Colour") + "_Ratio" +
                                    std::to_string(std::get<2>(row.param));
                         });

// The rectangles handed out are what QRegion::setRects takes: banded from
// the top, each band's runs from the left, none touching another in a band.
TEST(DirtyTiles, RectanglesAreBandedRunsAndCoverWhatWasMarked)
{
    struct Case {
        const char* name;
        void (*mark)(DirtyTiles&);
        QRect mustCover;
        int mostRects, mostArea;
    };
    constexpr int Bands = (H + DirtyTiles::Height - 1) / DirtyTiles::Height;
    constexpr int Tile = DirtyTiles::Width * DirtyTiles::Height;
    const Case cases[] = {
        {"one pixel", [](DirtyTiles& t) { t.mark(QRect(40, 20, 1, 1)); }, QRect(40, 20, 1, 1), 1,
         Tile},
        {"two tiles apart on a band",
         [](DirtyTiles& t) {
             t.mark(QRect(0, 0, 1, 1));
             t.mark(QRect(70, 5, 1, 1));
         },
         QRect(0, 0, 71, 6), 2, 2 * Tile},
        {"neighbours join into one run",
         [](DirtyTiles& t) {
             t.mark(QRect(31, 0, 2, 1));
             t.mark(QRect(64, 0, 1, 1));
         },
         QRect(31, 0, 34, 1), 1, 3 * Tile},
        {"the last partial tile", [](DirtyTiles& t) { t.mark(QRect(W - 1, H - 1, 9, 9)); },
         QRect(W - 1, H - 1, 1, 1), 1, Tile},
        {"a diagonal keeps to its bands", [](DirtyTiles& t) { t.markLine(0, 0, W - 1, H - 1, 2); },
         QRect(0, 0, 3, 3), Bands, 3 * Bands * Tile},
        {"everything", [](DirtyTiles& t) { t.markAll(); }, QRect(0, 0, W, H), 1, W * H},
        {"a plot's paper over the whole picture",
         [](DirtyTiles& t) {
             t.mark(QRect(5, 5, 1, 1));
             t.mark(QRect(-1, -1, W + 2, H + 2));
             t.mark(QRect(7, 90, 1, 60));
         },
         QRect(0, 0, W, H), 1, W * H},
    };
    for (const Case& c : cases) {
        DirtyTiles t;
        t.setSize(QSize(W, H));
        c.mark(t);
        const std::vector<QRect> rects = t.rects();
        EXPECT_LE(int(rects.size()), c.mostRects) << c.name;
        QRegion covered;
        int area = 0;
        for (size_t i = 0; i < rects.size(); ++i) {
            EXPECT_TRUE(QRect(0, 0, W, H).contains(rects[i])) << c.name;
            if (i > 0) {
                const QRect& a = rects[i - 1];
                const QRect& b = rects[i];
                const bool sameBand = a.top() == b.top();
                EXPECT_TRUE(sameBand ? a.height() == b.height() && a.right() + 1 < b.left()
                                     : a.bottom() < b.top())
                    << c.name << " at " << i;
            }
            covered |= rects[i];
            area += rects[i].width() * rects[i].height();
        }
        EXPECT_LE(area, c.mostArea) << c.name;
        EXPECT_TRUE(covered.contains(c.mustCover)) << c.name;
        EXPECT_EQ(t.region(), covered) << c.name;
        EXPECT_EQ(t.bounds().isEmpty(), rects.empty()) << c.name;
    }
}

// Marks past the number noted at a time are set in the tiles, not lost.
TEST(DirtyTiles, ThousandsOfMarksAreAllKept)
{
    DirtyTiles t;
    t.setSize(QSize(W, H));
    std::vector<QPoint> points;
    for (int i = 0; i < 9000; ++i)
        points.emplace_back((i * 37) % W, (i * 53) % H);
    for (const QPoint& p : points)
        t.mark(QRect(p, QSize(1, 1)));
    const QRegion r = t.region();
    for (const QPoint& p : points)
        ASSERT_TRUE(r.contains(p)) << p.x() << "," << p.y();
    EXPECT_FALSE(t.isWhole());
}

// Taking away what was copied back leaves the rest, and a whole picture
// marked then taken away in part keeps every other tile.
TEST(DirtyTiles, RemovingLeavesTheOtherTiles)
{
    DirtyTiles all, part;
    all.setSize(QSize(W, H));
    part.setSize(QSize(W, H));
    all.markAll();
    part.mark(QRect(0, 0, W, DirtyTiles::Height));
    all.remove(part);
    EXPECT_FALSE(all.isWhole());
    EXPECT_EQ(all.region(), QRegion(0, DirtyTiles::Height, W, H - DirtyTiles::Height));
    EXPECT_EQ(all.bounds(), QRect(0, DirtyTiles::Height, W, H - DirtyTiles::Height));
    part.add(all);
    EXPECT_EQ(part.region(), QRegion(0, 0, W, H));
    all.remove(part);
    EXPECT_TRUE(all.isEmpty());
    EXPECT_TRUE(all.rects().empty());
}
} // namespace
