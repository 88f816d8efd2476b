#include <QRegularExpression>

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

TEST(Geometry, SlotsAndPricesToPixels)
{
    // 260 slots between 100 and 200 on an 880 by 590 chart, as Plot works it out.
    ScaleInput in;
    in.plotLeft = 70, in.plotTop = 30, in.plotRight = 870, in.plotBottom = 550;
    in.totalSlots = in.loadedCount = 260;
    in.high = 200, in.low = 100;
    const ChartMap m = ComputeScale(in);
    EXPECT_EQ(m.plotWidth, 800);
    EXPECT_EQ(m.slotToX(1), 73);
    EXPECT_EQ(m.slotToX(130), 470);
    EXPECT_EQ(m.slotToX(260), 870);
    EXPECT_EQ(m.priceToY(200), in.plotTop + 10); // ten pixels of margin at each end
    EXPECT_EQ(m.priceToY(100), in.plotBottom - 10);
    EXPECT_EQ(m.xToSlot(470), 130);
    EXPECT_NEAR(m.yToPrice(m.priceToY(150)), 150, m.scaleRange / m.plotHeight);
    in.blankDaysRight = 40; // blank days widen the slots' share, not the scale
    EXPECT_EQ(ComputeScale(in).slotCount, 300);
    EXPECT_EQ(ComputeScale(in).scaleRange, m.scaleRange);
    EXPECT_EQ(RoundPx(-2.5), -2);
    EXPECT_EQ(RoundPx(1e300), std::numeric_limits<int>::max());
}

TEST(Geometry, LabelStepsAndValues)
{
    struct Case {
        double span;
        double f;
        int decimals, step;
    } cases[] = {{37, 1, 0, 4}, {370, 0.1, 0, 4}, {0.37, 100, 2, 4}, {70, 0.1, 0, 1}};
    for (const Case& c : cases) {
        LabelStep s;
        ASSERT_TRUE(PriceLabelStep(c.span, s)) << c.span;
        EXPECT_NEAR(s.f, c.f, 1e-12) << c.span;
        EXPECT_EQ(s.decimals, c.decimals) << c.span;
        EXPECT_EQ(s.step, c.step) << c.span;
    }
    LabelStep s;
    EXPECT_FALSE(PriceLabelStep(0, s));
    EXPECT_FALSE(PriceLabelStep(-3, s));
    EXPECT_FALSE(PriceLabelStep(std::numeric_limits<double>::infinity(), s));

    std::vector<double> v = Labels(110, 80, 400, s);
    ASSERT_EQ(v.size(), 10u);
    EXPECT_EQ(v.front(), 81);
    EXPECT_EQ(v.back(), 108);
    EXPECT_EQ(s.step, 3);
    GloVar.PlotBottom = 500; // as in the worked example
    GloVar.PlotTop = 100;
    EXPECT_EQ(CurrentChartMap().priceToY(81), 477);
    EXPECT_EQ(CurrentChartMap().priceToY(108), 135);

    v = Labels(1.2345, 1.1890, 400, s);
    EXPECT_EQ(s.decimals, 3);
    EXPECT_NEAR(v.front(), 1.190, 1e-9);
    EXPECT_NEAR(v.back(), 1.235, 1e-9);
    EXPECT_NEAR(v[1] - v[0], 0.005, 1e-9);

    v = Labels(10500, 9200, 400, s);
    EXPECT_EQ(s.decimals, 0);
    EXPECT_NEAR(v.front(), 9200, 1e-6);
    EXPECT_NEAR(v.back(), 10400, 1e-6);
    EXPECT_NEAR(v[1] - v[0], 200, 1e-6);
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

TEST(BarChart, DrawsAxesLabelsBarsHeaderAndFooter)
{
    Loaded(980, 590, 20, 120, 100);
    auto& g = GloVar;
    g.Prices[5].IsBlank = true;           // a holiday slot draws nothing
    g.Prices[6].Valid = OpenOk | CloseOk; // a high or low that did not convert: no bar line
    g.DataFileName = QStringLiteral("/data/prices/abc.txt");
    Canvas c;
    c.create(980, 590, true);
    Recorder rec(c);
    PlotPriceChart(c);
    const QStringList& all = rec.all;
    ASSERT_FALSE(all.isEmpty());
    EXPECT_EQ(all[0], QStringLiteral("rect 0 0 980 590"));
    EXPECT_TRUE(all.contains(QStringLiteral("pen 0 0 0 2 solid")));
    EXPECT_TRUE(all.contains(QStringLiteral("line 70 30 70 550")));
    EXPECT_TRUE(all.contains(QStringLiteral("line 70 550 970 550")));

    int bars = 0;
    for (const TraceLine& l : rec.lines())
        if (l.x1 == l.x2 && l.y1 < l.y2 && l.y1 >= g.PlotTop && l.y2 < g.PlotBottom &&
            l.pen.endsWith(QLatin1String(" 1 solid")))
            ++bars;
    EXPECT_EQ(bars, 18); // 20 slots, one holiday, one without high and low
    const QStringList texts = rec.texts();
    const QString header = texts[texts.size() - 2];
    EXPECT_TRUE(header.startsWith(QStringLiteral("text 5 20 left-bottom \"")));
    EXPECT_TRUE(header.contains(QStringLiteral("    abc.txt: ")));
    EXPECT_TRUE(header.endsWith(QStringLiteral("    \""))) << header.toStdString();
    EXPECT_TRUE(texts.last().startsWith(QStringLiteral("text 80 540 left-bottom")));
    EXPECT_EQ(rec.starting(QStringLiteral("rect")).last(), QStringLiteral("rect 0 0 980 25"));
    // Price labels: right-justified in ten characters at PlotLeft - 10.
    static const QRegularExpression label(
        QStringLiteral("^text 60 \\d+ right-bottom \" {6,}\\d+\"$"));
    int labels = 0;
    for (const QString& t : texts)
        labels += label.match(t).hasMatch() ? 1 : 0;
    EXPECT_GE(labels, 5);
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
