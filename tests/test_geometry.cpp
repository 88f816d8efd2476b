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
} // namespace

TEST(ChartMap, RoundTripsSlotsAndPrices)
{
    const ChartMap m = Map980();
    for (int slot = 1; slot <= m.totalSlots; ++slot)
        EXPECT_EQ(m.xToSlot(m.slotToX(slot)), slot) << slot;
    for (int y = m.plotTop + 1; y <= m.plotBottom; ++y)
        EXPECT_EQ(m.priceToY(m.yToPrice(y)), y) << y;
    EXPECT_EQ(m.priceToY(100), Bottom);
    EXPECT_EQ(m.priceToY(152), m.plotTop);
    EXPECT_EQ(m.heightToY(m.yToHeight(123)), 123);
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
    EXPECT_EQ(RoundPx(2.5), 2); // halves to the even neighbour
    EXPECT_EQ(RoundPx(3.5), 4);
    EXPECT_EQ(RoundPx(std::nan("")), 0);
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
    {"FanOpensUpward", BuildFanLines, 200, 100, 0, 0, 300, Bottom - 300, InvPhi, false, 5,
     {{200, Bottom - 100, 980, Bottom - 709, PenStyle::Dot},
      {200, Bottom - 100, 980, Bottom - 880, PenStyle::Dot},
      {200, Bottom - 100, 980, Bottom - 1567, PenStyle::Dot},
      {200, 30, 200, Bottom, PenStyle::Dot}}},
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
    {"CorrectionLevels", BuildCorrections, 300, 100, 400, 200, -1, -1, InvPhi, false, 2,
     {{300, Bottom - 138, 980, Bottom - 138, PenStyle::Solid},
      {300, Bottom - 162, 980, Bottom - 162, PenStyle::Solid}}},
    {"CorrectionOnALevelIsRefused", BuildCorrections, 300, 100, 400, 100, -1, -1, InvPhi, true, 0, {}},
    {"ExtensionLine", BuildExtensions, 300, 100, 400, 200, -1, -1, InvPhi, false, 1,
     {{300, Bottom - 100, 400, Bottom - 200, PenStyle::Solid}}},
    {"ExtensionLevelAboveARise", ExtensionLevel, 300, 100, 400, 200, -1, -1, InvPhi, false, 1,
     {{70, Bottom - 262, 980, Bottom - 262, PenStyle::Dot}}},
    {"ExtensionLevelBelowAFall", ExtensionLevel, 300, 200, 400, 100, -1, -1, InvPhi, false, 1,
     {{70, Bottom - 38, 980, Bottom - 38, PenStyle::Dot}}},
    {"TimeGoalToTheRight", TimeRatio, 300, 100, 400, 200, -1, -1, InvPhi, false, 1,
     {{462, Bottom, 462, 30, PenStyle::Dot}}},
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
    FigureInput in;
    in.map = Map980();
    in.chartWidth = 980;
    in.chartHeight = 590;
    in.p1x = row.p1x;
    in.p1h = row.p1h;
    in.p2x = row.p2x;
    in.p2h = row.p2h;
    in.p3x = row.p3x;
    in.p3y = row.p3y;
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
    FigureInput in;
    in.map = Map980();
    in.chartWidth = 980;
    in.p1x = 300, in.p1h = 200, in.p2x = 500, in.p2h = 200, in.p3x = 500, in.p3y = Bottom - 200;
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
