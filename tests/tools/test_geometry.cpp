// The chart map and the figures as geometry, without any shared state.
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

#include "chart/ChartMap.h"
#include "tools/FigureGeometry.h"

namespace {
constexpr int Bottom = 550; // PlotBottom of a 980 by 590 chart

ChartMap Map980(double slotCount = 291, double scaleBottom = 100, double scaleRange = 52)
{
    ChartMap m;
    m.plotLeft = 70;
    m.plotTop = 30;
    m.plotRight = 970;
    m.plotBottom = Bottom;
    m.plotWidth = 900;
    m.plotHeight = 520;
    m.slotCount = slotCount;
    m.totalSlots = static_cast<int>(slotCount);
    m.scaleBottom = scaleBottom;
    m.scaleRange = scaleRange;
    return m;
}

// P1 and P2 as column and height, the third point as column and row.
FigureInput Input(long long p1x, long long p1h, long long p2x, long long p2h, long long p3x = -1,
                  long long p3y = -1)
{
    FigureInput in;
    in.map = Map980();
    in.chartWidth = 980;
    in.chartHeight = 590;
    in.p1x = p1x, in.p1h = p1h, in.p2x = p2x, in.p2h = p2h, in.p3x = p3x, in.p3y = p3y;
    return in;
}
} // namespace

TEST(ChartMap, ScaleFromThePlotAndTheLoadedRange)
{
    // 260 slots between 100 and 200 on an 880 by 590 chart, as Plot works it out.
    ScaleInput in;
    in.plotLeft = 70, in.plotTop = 30, in.plotRight = 870, in.plotBottom = 550;
    in.totalSlots = in.loadedCount = 260;
    in.high = 200, in.low = 100;
    const ChartMap m = ComputeScale(in);
    EXPECT_EQ(m.slotToX(1), 73);
    EXPECT_EQ(m.slotToX(260), 870);
    EXPECT_EQ(m.priceToY(200), in.plotTop + 10); // ten pixels of margin at each end
    EXPECT_EQ(m.priceToY(100), in.plotBottom - 10);
    in.blankDaysRight = 40; // blank days widen the slots' share, not the scale
    EXPECT_EQ(ComputeScale(in).slotCount, 300);
    EXPECT_EQ(ComputeScale(in).scaleRange, m.scaleRange);
}

TEST(ChartMap, RoundTripsSlotsAndPrices)
{
    const ChartMap m = Map980();
    for (int slot = 1; slot <= m.totalSlots; ++slot)
        EXPECT_EQ(m.xToSlot(m.slotToX(slot)), slot) << slot;
    for (int y = m.plotTop + 1; y <= m.plotBottom; ++y)
        EXPECT_EQ(m.priceToY(m.yToPrice(y)), y) << y;
    // Clicks left of the first slot and right of the last are held to them.
    EXPECT_EQ(m.xToSlot(-5000), 1);
    EXPECT_EQ(m.xToSlot(5000), m.totalSlots);
}

TEST(ChartMap, ZeroSpanOneSlotAndExtremes)
{
    ChartMap flat = Map980(291, 100, 0);
    EXPECT_FALSE(flat.usable());
    EXPECT_EQ(flat.priceToY(1e9), Bottom); // no span: every price on the bottom line
    EXPECT_EQ(flat.yToPrice(10), 100);

    const ChartMap one = Map980(1);
    EXPECT_EQ(one.slotToX(1), 970);
    EXPECT_EQ(one.xToSlot(70), 1);
    EXPECT_EQ(one.xToSlot(969), 1);

    ChartMap none = Map980(0);
    EXPECT_EQ(none.slotToX(5), 70);
    EXPECT_EQ(none.xToSlot(500), 0);

    // Prices far outside the scale are clamped, never wrapped.
    const ChartMap m = Map980();
    EXPECT_GT(m.priceToY(-25000000), Bottom);
    EXPECT_LE(m.priceToY(-1e300), PixelLimit);
    EXPECT_GE(m.priceToY(1e300), -PixelLimit);
    EXPECT_EQ(m.heightToY(std::numeric_limits<long long>::min() / 2), PixelLimit);
    const std::pair<double, int> rounded[] = {{2.5, 2},
                                              {3.5, 4},
                                              {-2.5, -2}, // halves to even
                                              {std::nan(""), 0},
                                              {1e300, std::numeric_limits<int>::max()}};
    for (const auto& [v, px] : rounded)
        EXPECT_EQ(RoundPx(v), px) << v;
}

TEST(ChartMap, AnchorsFoundAgainByTheirDates)
{
    const ChartMap m = Map980(10, 100, 52);
    std::vector<PriceRecord> prices(11);
    for (int k = 1; k <= 10; ++k)
        prices[size_t(k)].Date = 40000 + k;
    struct Row {
        const char* name;
        Anchor p1, p2;
        bool columns, rows;
    } rows[] = {
        {"both charted", {40002, 110}, {40009, 150}, true, true},
        {"a date not charted", {40002, 110}, {39000, 150}, false, false},
        {"never placed", {-1, 110}, {40009, 150}, false, false},
        {"a price above the plot", {40002, 110}, {40009, 400}, false, true},
    };
    for (const Row& r : rows) {
        const RelocatedAnchors a = RelocateAnchors(m, prices, r.p1, r.p2);
        EXPECT_EQ(a.p1x >= 0 && a.p2x >= 0, r.columns) << r.name;
        EXPECT_EQ(a.rowsFound, r.rows) << r.name;
        if (r.columns) {
            EXPECT_EQ(a.p1x, m.slotToX(2)) << r.name;
            EXPECT_EQ(a.p2x, m.slotToX(9)) << r.name;
        }
        if (r.rows) {
            EXPECT_EQ(a.p1Row, r.p1.toRow(m)) << r.name;
        }
    }
}

namespace {
struct Line {
    int x1, y1, x2, y2;
    PenStyle style;
};

struct FigureRow {
    const char* name;
    Figure (*build)(const FigureInput&);
    long long p1x, p1h, p2x, p2h, p3x, p3y;
    double ratio;
    bool refused;
    int lineCount; // -1: not checked
    std::vector<Line> has;
};

void PrintTo(const FigureRow& r, std::ostream* os)
{
    *os << r.name;
}

Figure TimeRatio(const FigureInput& in)
{
    return BuildTimeRatioLine(in, in.p1x > in.p2x);
}

Figure ExtensionLevel(const FigureInput& in)
{
    return BuildPriceRatioLine(in, in.p1h <= in.p2h, 2);
}

class Figures : public ::testing::TestWithParam<FigureRow> {};

const double InvPhi = 0.6180339887498948;

// clang-format off
const FigureRow Rows[] = {
    {"FanOpensDownwardCutAtTheBottom", BuildFanLines, 200, 100, 0, 0, 300, Bottom - 20, InvPhi,
     false, 5, {{200, Bottom - 100, 328, Bottom, PenStyle::Dot}}},
    {"ChannelP1Left", BuildChannel, 100, 100, 300, 200, 200, Bottom - 250, InvPhi, false, 3,
     {{100, Bottom - 100, 980, Bottom - 540, PenStyle::DashDot},
      {100, Bottom - 200, 980, Bottom - 640, PenStyle::Dash},
      {100, Bottom - 38, 980, Bottom - 478, PenStyle::Dot}}},
    {"ChannelP2Left", BuildChannel, 300, 200, 100, 100, 200, Bottom - 250, InvPhi, false, 3,
     {{100, Bottom - 100, 980, Bottom - 540, PenStyle::DashDot},
      {100, Bottom - 38, 980, Bottom - 478, PenStyle::Dot}}},
    {"ChannelOnALevelBase", BuildChannel, 100, 100, 300, 100, 200, Bottom - 150, InvPhi, false, 3,
     {{100, Bottom - 181, 980, Bottom - 181, PenStyle::Dot}}},
    {"ChannelOnOneColumnIsRefused", BuildChannel, 100, 100, 100, 200, 200, 300, InvPhi, true, 0, {}},
    {"CorrectionOnALevelIsRefused", BuildCorrections, 300, 100, 400, 100, -1, -1, InvPhi, true, 0, {}},
    {"ExtensionLevelBelowAFall", ExtensionLevel, 300, 200, 400, 100, -1, -1, InvPhi, false, 1,
     {{70, Bottom - 38, 980, Bottom - 38, PenStyle::Dot}}},
    {"TimeGoalToTheLeft", TimeRatio, 400, 100, 300, 200, -1, -1, InvPhi, false, 1,
     {{238, Bottom, 238, 30, PenStyle::Dot}}},
    {"SpiralOfRatioOneIsACircle", BuildSpiral, 400, 200, 500, 200, -1, -1, 1.0, false, 125,
     {{500, Bottom - 200, 500, Bottom - 205, PenStyle::Solid}}},
    {"SpiralWithP2OnP1DrawsNothing", BuildSpiral, 400, 200, 400, 200, -1, -1, InvPhi, false, 0, {}},
};
// clang-format on
} // namespace

TEST_P(Figures, LinesOfTheFigure)
{
    const FigureRow& row = GetParam();
    FigureInput in = Input(row.p1x, row.p1h, row.p2x, row.p2h, row.p3x, row.p3y);
    in.ratio = row.ratio;
    const Figure f = row.build(in);
    EXPECT_EQ(f.refused, row.refused);
    std::vector<Line> all;
    for (const Stroke& s : f.strokes)
        for (const Segment& l : s.lines)
            all.push_back({l.x1, l.y1, l.x2, l.y2, s.style});
    if (row.lineCount >= 0) {
        EXPECT_EQ(int(all.size()), row.lineCount);
    }
    for (const Line& want : row.has) {
        bool found = false;
        for (const Line& l : all)
            found |= l.x1 == want.x1 && l.y1 == want.y1 && l.x2 == want.x2 && l.y2 == want.y2 &&
                     l.style == want.style;
        EXPECT_TRUE(found) << want.x1 << "," << want.y1 << " - " << want.x2 << "," << want.y2;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, Figures, ::testing::ValuesIn(Rows),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(FigureGeometry, EllipseMemoryGrowsARepeatAndStartsAfreshOtherwise)
{
    FigureInput in = Input(300, 200, 500, 200, 500, Bottom - 200);
    in.ellipseEndX = 500, in.ellipseEndH = 200;
    in.barSpacing = 3;
    const EllipseFigure first = BuildEllipse(in, EllipseMemory{});
    EXPECT_DOUBLE_EQ(first.memory.radius, 100);
    EXPECT_EQ(first.memory.endX, 500);
    const EllipseFigure again = BuildEllipse(in, first.memory);
    EXPECT_NEAR(again.memory.radius, 100 + std::sqrt(9.0 + 1.0) / 2, 1e-12);
    in.dir = -1;
    EXPECT_NEAR(BuildEllipse(in, again.memory).memory.radius, 100, 1e-12);
    in.ratio = 1.0; // another ratio: a fresh ellipse from P1 to the far end given
    in.ellipseEndX = 600;
    const EllipseFigure fresh = BuildEllipse(in, again.memory);
    EXPECT_DOUBLE_EQ(fresh.memory.radius, 150);
    EXPECT_EQ(fresh.memory.endX, 600);
    // Far past the image the end saturates instead of wrapping.
    EllipseMemory huge = fresh.memory;
    huge.radius = 1e7;
    in.dir = 1;
    EXPECT_EQ(BuildEllipse(in, huge).memory.endX, std::numeric_limits<int16_t>::max());
}

// A fresh ellipse on P1 (300) and the far end (500) is 200 long; the ratio
// flattens it: b / a read off the outline's height.
TEST(FigureGeometry, EllipseSpansP1ToTheFarEndFlattenedByTheRatio)
{
    const double phi = 1.618033988749895;
    const struct {
        const char* name;
        double ratio, flatness;
    } rows[] = {
        {"one is a circle", 1.0, 1.0},
        {"below one", 1 / phi, 0.6180},
        {"far below one", std::pow(phi, -4), 0.9242},
        {"above one", phi, 0.7862},
        {"far above one", std::pow(phi, 4), 0.3820},
    };
    for (const auto& r : rows) {
        FigureInput in = Input(300, 200, 500, 200, 500, Bottom - 200);
        in.ellipseEndX = 500, in.ellipseEndH = 200;
        in.ratio = r.ratio;
        int left = 10000, right = -1, top = 10000, bottom = -1;
        for (const Stroke& s : BuildEllipse(in, std::nullopt).figure.strokes)
            for (const Segment& l : s.lines) {
                left = std::min({left, l.x1, l.x2}), right = std::max({right, l.x1, l.x2});
                top = std::min({top, l.y1, l.y2}), bottom = std::max({bottom, l.y1, l.y2});
            }
        EXPECT_EQ(left, 300) << r.name;
        EXPECT_NEAR(right, 500, 1) << r.name;
        EXPECT_NEAR((bottom - top) / 200.0, r.flatness, 0.011) << r.name;
    }
}

TEST(FigureGeometry, ArcsCrossTheAnchorLineAtTheRatios)
{
    // P2 straight above P1, 200 apart: arcs of 1.618 and 2.618 times that
    // around each, crossing the line through them beyond the other.
    const Figure f = BuildArcs(Input(400, 100, 400, 300));
    ASSERT_EQ(f.strokes.size(), 1u);
    const std::vector<Segment>& arcs = f.strokes[0].lines;
    EXPECT_GE(arcs.size(), 4u * 28);
    EXPECT_LE(arcs.size(), 4u * 29);
    for (int h : {424, 624, -24, -224}) {
        bool found = false;
        for (const Segment& l : arcs)
            found |= std::abs(l.x1 - 400) <= 12 && std::abs((Bottom - l.y1) - h) <= 1;
        EXPECT_TRUE(found) << h;
    }
}
