// The kept scale counts daily slots whatever bars are shown, and a figure
// built in linear prices is put on a log axis point by point.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "chart/ChartMap.h"
#include "data/Dates.h"
#include "tools/FigureScale.h"

namespace {
ChartMap Chart(double slotCount, double bottom, double range, bool log = false)
{
    ChartMap m;
    m.plotLeft = 70;
    m.plotTop = 30;
    m.plotRight = 970;
    m.plotBottom = 550;
    m.plotWidth = m.plotRight - m.plotLeft;
    m.plotHeight = m.plotBottom - m.plotTop;
    m.slotCount = slotCount;
    m.totalSlots = static_cast<int>(slotCount);
    m.scaleBottom = bottom;
    m.scaleRange = range;
    m.scaleTop = bottom + range;
    m.logScale = log;
    return m;
}

// The price along a straight line of the linear chart at column x.
double PriceAlong(const ChartMap& m, const Segment& s, double x)
{
    const double t = (x - s.x1) / double(s.x2 - s.x1);
    const double y = s.y1 + t * (s.y2 - s.y1);
    return (m.plotBottom - y) * m.scaleRange / m.plotHeight + m.scaleBottom;
}
} // namespace

TEST(KeptScaleOnBars, ABarsSlotIsItsTradingDaysOfDailySlots)
{
    const struct {
        const char* name;
        Timeframe tf;
        int days;
    } rows[] = {{"daily", Timeframe::Daily, 1},
                {"weekly", Timeframe::Weekly, 5},
                {"monthly", Timeframe::Monthly, 21}};
    for (const auto& r : rows) {
        ASSERT_EQ(TradingDaysPerSlot(r.tf), r.days) << r.name;
        // 60 bars across the plot are 60 x days daily slots: the scale of the
        // daily chart that shows the same days at the same width.
        const FigureScale onBars = ScaleOfChart(Chart(60, 100, 52), 980, 590, 12 * r.days, r.days);
        const FigureScale daily =
            ScaleOfChart(Chart(60.0 * r.days, 100, 52), 980, 590, 12 * r.days);
        EXPECT_EQ(onBars, daily) << r.name;
        EXPECT_DOUBLE_EQ(onBars.pricePerSlot() * r.days,
                         ScaleOfChart(Chart(60, 100, 52), 980, 590, 12).pricePerSlot())
            << r.name;
    }
}

TEST(KeptScaleOnBars, AFigureInDailySlotsLandsOnBarsAtTheirShare)
{
    // Built on 300 daily slots, shown on 60 weekly bars two bars later.
    const ChartMap built = Chart(300, 100, 52), shown = Chart(60, 100, 52);
    Figure f;
    f.strokes.push_back(Stroke{std::nullopt, PenStyle::Solid, {Segment{100, 500, 700, 100}}});
    const Figure carried = CarryFigure(f, built, shown, 2, 5);
    ASSERT_EQ(carried.strokes[0].lines.size(), 1u);
    const Segment& s = carried.strokes[0].lines[0];
    EXPECT_NEAR(shown.xToSlotPosition(s.x1), built.xToSlotPosition(100) / 5 + 2, 0.5 * 60 / 900.0);
    EXPECT_NEAR(shown.xToSlotPosition(s.x2), built.xToSlotPosition(700) / 5 + 2, 0.5 * 60 / 900.0);
    EXPECT_EQ(s.y1, 500);
    EXPECT_EQ(s.y2, 100);

    // The values count in bars too.
    std::vector<FigureElement> elements(1);
    elements[0].shape = ElementShape::Slanted;
    elements[0].lines = f.strokes[0].lines;
    elements[0].endSlot = 250; // the reader's own, on the built chart
    SettleElements(elements, built, 2, 5);
    EXPECT_DOUBLE_EQ(*elements[0].slot, std::round(built.xToSlotPosition(100)) / 5 + 2);
    EXPECT_DOUBLE_EQ(*elements[0].endSlot, 250.0 / 5 + 2);
}

TEST(LogAxisCarry, AStraightLineOfLinearPricesBendsPointByPoint)
{
    const ChartMap built = Chart(300, 100, 900);
    const ChartMap log = Chart(300, 100, 900, true);
    const struct {
        const char* name;
        Segment line;
    } rows[] = {
        {"a steep rising fan line", Segment{100, 540, 400, 40}},
        {"a shallow rising fan line", Segment{100, 500, 960, 300}},
        {"a falling fan line", Segment{150, 60, 900, 520}},
    };
    for (const auto& r : rows) {
        Figure f;
        f.strokes.push_back(Stroke{std::nullopt, PenStyle::Solid, {r.line}});
        const std::vector<Segment> pts = CarryFigure(f, built, log, 0).strokes[0].lines;
        ASSERT_GT(pts.size(), 20u) << r.name;
        // One polyline from end to end, each end where the line's own ends map.
        EXPECT_EQ(std::pair(pts.front().x1, pts.front().y1),
                  log.slotPriceToPixel(built.xToSlotPosition(r.line.x1), built.yToPrice(r.line.y1)))
            << r.name;
        EXPECT_EQ(std::pair(pts.back().x2, pts.back().y2),
                  log.slotPriceToPixel(built.xToSlotPosition(r.line.x2), built.yToPrice(r.line.y2)))
            << r.name;
        double bend = 0;
        for (size_t i = 0; i < pts.size(); ++i) {
            if (i > 0) {
                EXPECT_EQ(pts[i].x1, pts[i - 1].x2) << r.name;
                EXPECT_EQ(pts[i].y1, pts[i - 1].y2) << r.name;
            }
            // Each point at the linear price of its column (within the half
            // pixel the column was rounded by), placed on the log axis.
            const int a = log.priceToY(PriceAlong(built, r.line, pts[i].x2 - 0.5)),
                      b = log.priceToY(PriceAlong(built, r.line, pts[i].x2 + 0.5));
            EXPECT_GE(pts[i].y2, std::min(a, b) - 1) << r.name << " point " << i;
            EXPECT_LE(pts[i].y2, std::max(a, b) + 1) << r.name << " point " << i;
            // Against the straight chord on the screen.
            const double t = double(pts[i].x2 - pts.front().x1) / (pts.back().x2 - pts.front().x1);
            bend = std::max(bend, std::fabs(pts[i].y2 - (pts.front().y1 +
                                                         t * (pts.back().y2 - pts.front().y1))));
        }
        EXPECT_GT(bend, 10) << r.name << ": a log axis bends it";
    }
}

TEST(LogAxisCarry, ALevelStaysOneLineAtItsPrice)
{
    const ChartMap built = Chart(300, 100, 900);
    const ChartMap log = Chart(300, 100, 900, true);
    for (double price : {150.0, 420.0, 980.0}) {
        const int row = built.priceToY(price);
        std::vector<FigureElement> elements(1);
        elements[0].shape = ElementShape::Level;
        elements[0].price = price;
        elements[0].lines = {Segment{70, row, 970, row}};
        CarryElements(elements, built, log, 0);
        ASSERT_EQ(elements[0].lines.size(), 1u) << price;
        EXPECT_EQ(elements[0].lines[0].y1, elements[0].lines[0].y2) << price;
        EXPECT_NEAR(log.yToPrice(elements[0].lines[0].y1), price, price * 0.01) << price;
    }
}

TEST(KeptScaleOnBars, TheDayOfARecordCountsWeekdaysPastTheFile)
{
    // Thursday 4 January 2024 to Tuesday 9 January: four records, a weekend between.
    const double thu = *DayFromYmd(2024, 1, 4);
    const std::vector<std::optional<double>> days = {thu, thu + 1, thu + 4, thu + 5};
    const struct {
        const char* name;
        long long record;
        std::optional<double> day;
    } rows[] = {
        {"the first", 1, thu},
        {"across the weekend", 3, thu + 4},
        {"the last", 4, thu + 5},
        {"one past the last", 5, thu + 6},
        {"past the next weekend", 8, thu + 11},
        {"one before the first", 0, thu - 1},
        {"back over a weekend", -3, thu - 6},
    };
    for (const auto& r : rows)
        EXPECT_EQ(DayOfRecord(days, r.record), r.day) << r.name;
    EXPECT_EQ(DayOfRecord({}, 1), std::nullopt);
}
