// The scale a figure keeps: the one mapping of a figure's slots and prices
// to pixels, a figure carried between charts, its values worked out where it
// was built, and the scale kept in a study.
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "chart/ChartMap.h"
#include "tests/Failure.h"
#include "tools/FigureScale.h"
#include "tools/Study.h"

namespace {
ChartMap Chart(int width, int height, double slotCount, double bottom, double range)
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
    return m;
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

    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    f.close();
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
        const QString badPath = dir.filePath(QStringLiteral("bad.aurigon"));
        QFile out(badPath);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bad);
        out.close();
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
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            QByteArray text = f.readAll();
            f.close();
            ASSERT_TRUE(text.contains("\"slotUnit\": \"day\"")) << r.name;
            text.replace(",\n                \"slotUnit\": \"day\"", "");
            ASSERT_FALSE(text.contains("slotUnit")) << r.name;
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(text);
            f.close();
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
