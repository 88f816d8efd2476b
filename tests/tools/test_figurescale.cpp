// The scale a figure keeps: the one mapping of a figure's slots and prices
// to pixels, a figure carried between charts (onto bars, point by point onto
// a log axis), its values worked out where it was built, and the scale kept
// in a study.
#include <algorithm>
#include <cmath>

#include "chart/ChartMap.h"
#include "data/Dates.h"
#include "tests/Failure.h"
#include "tests/Support.h"
#include "tools/FigureScale.h"
#include "tools/Study.h"

namespace {
ChartMap Chart(int width, int height, double slotCount, double bottom, double range,
               bool log = false)
{
    ChartMap m;
    m.plotLeft = 70;
    m.plotTop = 30;
    m.plotRight = width - 10;
    m.plotBottom = height - 40;
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

// The default chart's plot of 900 by 520 pixels.
ChartMap Chart(double slotCount, double bottom, double range, bool log = false)
{
    return Chart(980, 590, slotCount, bottom, range, log);
}

// The price along a straight line of the linear chart at column x.
double PriceAlong(const ChartMap& m, const Segment& s, double x)
{
    const double t = (x - s.x1) / double(s.x2 - s.x1);
    const double y = s.y1 + t * (s.y2 - s.y1);
    return (m.plotBottom - y) * m.scaleRange / m.plotHeight + m.scaleBottom;
}
} // namespace

TEST(FigureScaleMap, SlotsAndPricesMapToPixelsAndBack)
{
    const struct {
        const char* name;
        ChartMap map;
    } rows[] = {
        {"the default chart", Chart(980, 590, 291, 3800, 1000)},
        {"a small square", Chart(700, 700, 291, 3800, 1000)},
        {"one slot", Chart(980, 590, 1, 10, 2)},
        {"cents on a wide chart", Chart(1600, 900, 1300, 0.5, 0.01)},
    };
    for (const auto& r : rows) {
        for (int x : {r.map.plotLeft, r.map.plotLeft + 1, (r.map.plotLeft + r.map.plotRight) / 2,
                      r.map.plotRight, r.map.plotRight + 9})
            for (int y : {r.map.plotTop, r.map.plotBottom, r.map.plotBottom - 7}) {
                const auto [px, py] =
                    r.map.slotPriceToPixel(r.map.xToSlotPosition(x), r.map.yToPrice(y));
                EXPECT_EQ(px, x) << r.name;
                EXPECT_EQ(py, y) << r.name;
            }
        // The flip is decided once: a higher price is a smaller row.
        EXPECT_LT(r.map.slotPriceToPixel(1, r.map.scaleTop).second,
                  r.map.slotPriceToPixel(1, r.map.scaleBottom).second)
            << r.name;
    }
    // No price span and no number at all still give pixels inside the limit.
    ChartMap flat = Chart(980, 590, 10, 5, 0);
    EXPECT_EQ(flat.slotPriceToPixel(3, 7).second, flat.plotBottom);
    const auto [nx, ny] = Chart(980, 590, 10, 5, 1).slotPriceToPixel(std::nan(""), 1e300);
    EXPECT_EQ(nx, 0);
    EXPECT_EQ(ny, -int(PixelLimit));
}

TEST(FigureScaleMap, PricePerSlotIsTheChartsAspect)
{
    const ChartMap map = Chart(980, 590, 300, 100, 52);
    const FigureScale s = ScaleOfChart(map, 980, 590, 12);
    // 900 pixels for 300 slots, 520 pixels for 52 in price: 3 pixels a slot, 0.1 a pixel.
    EXPECT_DOUBLE_EQ(s.pricePerSlot(), 0.3);
    EXPECT_TRUE(s.usable());
    const ChartMap back = ChartOfScale(s);
    EXPECT_EQ(back.plotWidth, map.plotWidth);
    EXPECT_EQ(back.plotHeight, map.plotHeight);
    EXPECT_EQ(back.priceToY(123.4), map.priceToY(123.4));
    EXPECT_EQ(back.slotPositionToX(17.25), map.slotPositionToX(17.25));
    EXPECT_FALSE(ScaleOfChart(Chart(980, 590, 0, 100, 52), 980, 590, 1).usable());
    EXPECT_FALSE(ScaleOfChart(Chart(980, 590, 300, 100, 0), 980, 590, 1).usable());
}

TEST(FigureScaleMap, AFigureCarriedKeepsItsSlotsAndPrices)
{
    const ChartMap built = Chart(980, 590, 291, 3800, 1000);
    Figure f;
    f.strokes.push_back(Stroke{
        std::nullopt, PenStyle::Solid, {Segment{100, 100, 400, 300}, Segment{400, 300, 970, 550}}});
    // Onto the same chart: the very pixels.
    EXPECT_EQ(CarryFigure(f, built, built, 0).strokes[0].lines, f.strokes[0].lines);
    // Onto a chart half as tall with the slots moved on by 10.
    const ChartMap shown = Chart(980, 330, 291, 3800, 1000);
    const Figure carried = CarryFigure(f, built, shown, 10);
    for (size_t i = 0; i < f.strokes[0].lines.size(); ++i) {
        const Segment& a = f.strokes[0].lines[i];
        const Segment& b = carried.strokes[0].lines[i];
        EXPECT_NEAR(shown.xToSlotPosition(b.x1), built.xToSlotPosition(a.x1) + 10,
                    0.5 * 291 / 900.0)
            << i;
        EXPECT_NEAR(shown.yToPrice(b.y2), built.yToPrice(a.y2), 1000.0 / 260) << i;
    }
}

TEST(FigureScaleMap, ElementValuesAreWorkedOutOnTheChartTheyWereBuiltOn)
{
    const ChartMap built = Chart(980, 590, 291, 3800, 1000);
    const ChartMap shown = Chart(1400, 900, 291, 3700, 1300);
    std::vector<FigureElement> elements(3);
    elements[0].shape = ElementShape::Curve;
    elements[0].lines = {Segment{300, 200, 350, 150}, Segment{350, 150, 420, 260}};
    elements[1].shape = ElementShape::Slanted;
    elements[1].lines = {Segment{430, 350, 980, 120}};
    elements[2].shape = ElementShape::Level;
    elements[2].lines = {Segment{70, 280, 970, 280}};
    elements[2].price = 4321.5; // worked out from the anchors: kept
    SettleElements(elements, built, 4);
    EXPECT_EQ(*elements[0].price, built.yToPrice(150));
    EXPECT_EQ(*elements[0].endPrice, built.yToPrice(260));
    EXPECT_EQ(*elements[0].slot, std::round(built.xToSlotPosition(300)) + 4);
    EXPECT_EQ(*elements[0].endSlot, std::round(built.xToSlotPosition(420)) + 4);
    EXPECT_EQ(*elements[1].endPrice, built.yToPrice(120));
    EXPECT_EQ(*elements[1].endSlot, std::round(built.xToSlotPosition(980)) + 4);
    EXPECT_EQ(*elements[2].price, 4321.5);
    const std::vector<FigureElement> settled = elements;
    CarryElements(elements, built, shown, 4);
    // The values stay; only the lines move.
    EXPECT_EQ(elements[0].price, settled[0].price);
    EXPECT_EQ(elements[1].endSlot, settled[1].endSlot);
    EXPECT_NE(elements[1].lines[0], settled[1].lines[0]);
}

TEST(FigureScaleStudy, TheScaleIsKeptAndAStudyWithoutOneStillOpens)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Study s;
    s.priceFile = QStringLiteral("prices.txt");
    StudyFigure fan;
    fan.type = 3;
    fan.p1 = StudyPoint{45400, 0.25, 4100.5};
    fan.p2 = StudyPoint{45420, 0, 4300};
    fan.scale = ScaleOfChart(Chart(980, 590, 291, 3800, 1000), 980, 590, 117);
    StudyFigure goals = fan;
    goals.type = 6;
    goals.scale.reset();
    s.figures = {fan, goals};
    const QString path = dir.filePath(QStringLiteral("s.aurigon"));
    ASSERT_TRUE(SaveStudyFile(s, path));
    const Result<Study> back = LoadStudyFile(path);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->figures.size(), 2u);
    EXPECT_EQ(back->figures[0], fan);
    EXPECT_FALSE(back->figures[1].scale.has_value());

    const QByteArray text = ReadBytes(path);
    const struct {
        const char* name;
        const char* from;
        const char* to;
    } broken[] = {
        {"no span of prices", "\"scaleRange\": 1000", "\"scaleRange\": 0"},
        {"a fraction of a pixel", "\"plotLeft\": 70", "\"plotLeft\": 70.5"},
        {"a slot count in words", "\"slotCount\": 291", "\"slotCount\": \"many\""},
    };
    for (const auto& b : broken) {
        QByteArray bad = text;
        ASSERT_TRUE(bad.contains(b.from)) << b.name;
        bad.replace(b.from, b.to);
        const QString badPath = WriteFile(dir, QStringLiteral("bad.aurigon"), bad);
        EXPECT_EQ(Failure(LoadStudyFile(badPath)),
                  QStringLiteral("Cannot open study %1. The scale of figure 1 does not read.")
                      .arg(badPath))
            << b.name;
    }
}

// A scale kept on weekly or monthly bars before slots were counted in
// trading days counted bars: it reads as that many trading days a bar, and
// one kept since reads as written.
TEST(FigureScaleStudy, AnOlderScaleOnBarsCountsTradingDays)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const struct {
        const char* name;
        Timeframe timeframe;
        bool older;
        int days;
    } rows[] = {
        {"daily, older", Timeframe::Daily, true, 1},
        {"weekly, older", Timeframe::Weekly, true, 5},
        {"monthly, older", Timeframe::Monthly, true, 21},
        {"weekly, kept since", Timeframe::Weekly, false, 1},
    };
    for (const auto& r : rows) {
        Study s;
        s.priceFile = QStringLiteral("prices.txt");
        s.timeframe = r.timeframe;
        StudyFigure fan;
        fan.type = 3;
        fan.p1 = StudyPoint{45400, 0, 4100.5};
        fan.p2 = StudyPoint{45420, 0, 4300};
        fan.scale = ScaleOfChart(Chart(980, 590, 60, 3800, 1000), 980, 590, 12);
        s.figures = {fan};
        const QString path = dir.filePath(QStringLiteral("s.aurigon"));
        ASSERT_TRUE(SaveStudyFile(s, path)) << r.name;
        if (r.older) {
            QByteArray text = ReadBytes(path);
            ASSERT_TRUE(text.contains("\"slotUnit\": \"day\"")) << r.name;
            text.replace(",\n                \"slotUnit\": \"day\"", "");
            ASSERT_FALSE(text.contains("slotUnit")) << r.name;
            WriteFile(dir, QStringLiteral("s.aurigon"), text);
        }
        const Result<Study> back = LoadStudyFile(path);
        ASSERT_TRUE(back) << r.name;
        ASSERT_TRUE(back->figures.at(0).scale) << r.name;
        EXPECT_EQ(back->figures[0].scale->slotCount, 60.0 * r.days) << r.name;
        EXPECT_EQ(back->figures[0].scale->p1Slot, 12 * r.days) << r.name;
        EXPECT_DOUBLE_EQ(back->figures[0].scale->pricePerSlot(), fan.scale->pricePerSlot() / r.days)
            << r.name;
    }
}

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
