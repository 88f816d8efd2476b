#include <limits>

#include "app/GloVar.h"
#include "app/SharedInputs.h"
#include "chart/BarChart.h"
#include "chart/ChartMap.h"
#include "tests/Trace.h"
#include <gtest/gtest.h>

namespace {
// A loaded range of `count` records between low and high, on a chart of the size given.
void Loaded(int width, int height, int count, double high, double low)
{
    ResetSharedState();
    auto& g = GloVar;
    g.ChartWidth = width;
    g.ChartHeight = height;
    InitDefaults();
    g.Prices.assign(static_cast<size_t>(count) + 1, PriceRecord{});
    for (int i = 1; i <= count; ++i) {
        PriceRecord& r = g.Prices[static_cast<size_t>(i)];
        r.Date = 38355 + i;
        const double span = (high - low) / 4;
        r.High = i == 1 ? high : (high + low) / 2 + span;
        r.Low = i == count ? low : (high + low) / 2 - span;
        r.Open = r.Close = (high + low) / 2;
        r.Valid = OpenOk | HighOk | LowOk | CloseOk;
    }
    g.LoadedCount = g.TotalSlots = count;
    g.ChartHigh = high;
    g.ChartLow = low;
    KeepScale(ComputeScale(CurrentScaleInput()));
}

std::vector<double> Labels(double high, double low, int plotHeight, LabelStep& s)
{
    Loaded(980, plotHeight + 70, 10, high, low);
    EXPECT_TRUE(PriceLabelStep(GloVar.ScaleRange, s));
    return PriceLabelValues(s, GloVar.ScaleTop, GloVar.ScaleBottom);
}
} // namespace

TEST(Geometry, LabelStepsAndValues)
{
    const struct {
        double span;
        double f;
        int decimals, step;
    } steps[] = {{37, 1, 0, 4}, {370, 0.1, 0, 4}, {0.37, 100, 2, 4}, {70, 0.1, 0, 1}};
    LabelStep s;
    for (const auto& c : steps) {
        ASSERT_TRUE(PriceLabelStep(c.span, s)) << c.span;
        EXPECT_NEAR(s.f, c.f, 1e-12) << c.span;
        EXPECT_EQ(s.decimals, c.decimals) << c.span;
        EXPECT_EQ(s.step, c.step) << c.span;
    }
    for (double unusable : {0.0, -3.0, std::numeric_limits<double>::infinity()})
        EXPECT_FALSE(PriceLabelStep(unusable, s)) << unusable;

    const struct {
        const char* name;
        double high, low;
        int decimals;
        double first, last, gap;
    } ranges[] = {
        {"the worked example", 110, 80, 0, 81, 108, 3},
        {"three decimals", 1.2345, 1.1890, 3, 1.190, 1.235, 0.005},
        {"hundreds", 10500, 9200, 0, 9200, 10400, 200},
    };
    for (const auto& r : ranges) {
        const std::vector<double> v = Labels(r.high, r.low, 400, s);
        ASSERT_GE(v.size(), 2u) << r.name;
        EXPECT_EQ(s.decimals, r.decimals) << r.name;
        EXPECT_NEAR(v.front(), r.first, 1e-9 * r.high) << r.name;
        EXPECT_NEAR(v.back(), r.last, 1e-9 * r.high) << r.name;
        EXPECT_NEAR(v[1] - v[0], r.gap, 1e-9 * r.high) << r.name;
    }
    // The worked example's labels on its plot from row 100 to row 500.
    Labels(110, 80, 400, s);
    GloVar.PlotBottom = 500;
    GloVar.PlotTop = 100;
    EXPECT_EQ(CurrentChartMap().priceToY(81), 477);
    EXPECT_EQ(CurrentChartMap().priceToY(108), 135);
}

TEST(Geometry, DateLabelSlotsAndBarTicks)
{
    std::vector<int> s = DateLabelSlots(260, 260);
    ASSERT_EQ(s.size(), 10u);
    EXPECT_EQ(s[1], 27);
    EXPECT_EQ(s.back(), 235);
    EXPECT_EQ(DateLabelSlots(5, 5), (std::vector<int>{1, 2, 3, 4}));
    s = DateLabelSlots(25, 25);
    EXPECT_EQ(s[1], 3); // stride round(2.5) = 2
    EXPECT_EQ(DateLabelSlots(1, 1), (std::vector<int>{1}));
    for (int n = 1; n <= 40; ++n)
        for (int slot : DateLabelSlots(n, n))
            EXPECT_LE(slot, n) << n;
    EXPECT_TRUE(DateLabelSlots(0, 0).empty());
    EXPECT_EQ(BarTick(800, 260), 2);
    EXPECT_EQ(BarTick(800, 22), 12);
}

// The rest of the plot is kept operation for operation by the demo's trace.
TEST(BarChart, HolidaysAndBarsWithoutHighAndLowDrawNoBarLine)
{
    Loaded(980, 590, 20, 120, 100);
    auto& g = GloVar;
    g.Prices[5].IsBlank = true;
    g.Prices[6].Valid = OpenOk | CloseOk; // its high and low did not convert
    Canvas c;
    c.create(980, 590, true);
    Recorder rec(c);
    PlotPriceChart(c);
    int bars = 0;
    for (const TraceLine& l : rec.lines())
        if (l.x1 == l.x2 && l.y1 < l.y2 && l.y1 >= g.PlotTop && l.y2 < g.PlotBottom &&
            l.pen.endsWith(QLatin1String(" 1 solid")))
            ++bars;
    EXPECT_EQ(bars, 18);
}

TEST(BarChart, ScalesWithoutASpanDrawInAnOrderlyWay)
{
    Canvas c;
    c.create(980, 590, true);
    Recorder rec(c);
    Loaded(980, 590, 30, 100, 100); // every price equal
    PlotPriceChart(c);
    for (const TraceLine& l : rec.lines()) {
        EXPECT_GE(l.y1, 0);
        EXPECT_LE(l.y1, 590);
    }
    EXPECT_GT(GloVar.ScaleRange, 0);

    rec.clear();
    Loaded(980, 590, 0, 0, 99999999.0); // nothing loaded
    GloVar.LoadedCount = GloVar.TotalSlots = 0;
    PlotPriceChart(c);
    EXPECT_TRUE(rec.all.contains(QStringLiteral("line 70 30 70 550")));

    rec.clear();
    Loaded(980, 55, 10, 120, 100); // PlotHeight of 15
    PlotPriceChart(c);
    EXPECT_FALSE(rec.all.isEmpty());
}
