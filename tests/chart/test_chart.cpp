#include <limits>

#include "app/session/GloVar.h"
#include "app/session/SharedInputs.h"
#include "chart/BarChart.h"
#include "chart/ChartMap.h"
#include "tests/Trace.h"
#include <gtest/gtest.h>

namespace {
// A loaded range of `count` records between low and high, on a chart of the size given.
void Loaded(SharedState& g, int width, int height, int count, double high, double low)
{
    g.ChartWidth = width;
    g.ChartHeight = height;
    InitDefaults(g);
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
    g.map = ComputeScale(CurrentScaleInput(g));
}

std::vector<double> Labels(SharedState& g, double high, double low, int plotHeight, LabelStep& s)
{
    Loaded(g, 980, plotHeight + 70, 10, high, low);
    const std::optional<LabelStep> step = PriceLabelStep(g.ScaleRange);
    EXPECT_TRUE(step);
    s = step.value_or(LabelStep{});
    return PriceLabelValues(s, g.ScaleTop, g.ScaleBottom);
}
} // namespace

TEST(Geometry, LabelStepsAndValues)
{
    SharedState g;
    const struct {
        double span;
        double f;
        int decimals, step;
    } steps[] = {{37, 1, 0, 4}, {370, 0.1, 0, 4}, {0.37, 100, 2, 4}, {70, 0.1, 0, 1}};
    for (const auto& c : steps) {
        const std::optional<LabelStep> s = PriceLabelStep(c.span);
        ASSERT_TRUE(s) << c.span;
        EXPECT_NEAR(s->f, c.f, 1e-12) << c.span;
        EXPECT_EQ(s->decimals, c.decimals) << c.span;
        EXPECT_EQ(s->step, c.step) << c.span;
    }
    for (double unusable : {0.0, -3.0, std::numeric_limits<double>::infinity(),
                            std::numeric_limits<double>::quiet_NaN()})
        EXPECT_FALSE(PriceLabelStep(unusable)) << unusable;

    LabelStep s;
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
        const std::vector<double> v = Labels(g, r.high, r.low, 400, s);
        ASSERT_GE(v.size(), 2u) << r.name;
        EXPECT_EQ(s.decimals, r.decimals) << r.name;
        EXPECT_NEAR(v.front(), r.first, 1e-9 * r.high) << r.name;
        EXPECT_NEAR(v.back(), r.last, 1e-9 * r.high) << r.name;
        EXPECT_NEAR(v[1] - v[0], r.gap, 1e-9 * r.high) << r.name;
    }
    // The worked example's labels on its plot from row 100 to row 500.
    Labels(g, 110, 80, 400, s);
    g.PlotBottom = 500;
    g.PlotTop = 100;
    EXPECT_EQ(CurrentChartMap(g).priceToY(81), 477);
    EXPECT_EQ(CurrentChartMap(g).priceToY(108), 135);
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
    SharedState g;
    Loaded(g, 980, 590, 20, 120, 100);
    g.Prices[5].IsBlank = true;
    g.Prices[6].Valid = OpenOk | CloseOk; // its high and low did not convert
    Canvas c;
    c.create(980, 590, true);
    Recorder rec(c);
    PlotPriceChart(g, c, BarLook{});
    int bars = 0;
    for (const TraceLine& l : rec.lines())
        if (l.x1 == l.x2 && l.y1 < l.y2 && l.y1 >= g.PlotTop && l.y2 < g.PlotBottom &&
            l.pen.endsWith(QLatin1String(" 1 solid")))
            ++bars;
    EXPECT_EQ(bars, 18);
}

TEST(BarChart, ScalesWithoutASpanDrawInAnOrderlyWay)
{
    SharedState g;
    Canvas c;
    c.create(980, 590, true);
    Recorder rec(c);
    Loaded(g, 980, 590, 30, 100, 100); // every price equal
    PlotPriceChart(g, c, BarLook{});
    for (const TraceLine& l : rec.lines()) {
        EXPECT_GE(l.y1, 0);
        EXPECT_LE(l.y1, 590);
    }
    EXPECT_GT(g.ScaleRange, 0);

    rec.clear();
    Loaded(g, 980, 590, 0, 0, 99999999.0); // nothing loaded
    g.LoadedCount = g.TotalSlots = 0;
    PlotPriceChart(g, c, BarLook{});
    EXPECT_TRUE(rec.all.contains(QStringLiteral("line 70 30 70 550")));

    rec.clear();
    Loaded(g, 980, 55, 10, 120, 100); // PlotHeight of 15
    PlotPriceChart(g, c, BarLook{});
    EXPECT_FALSE(rec.all.isEmpty());
}

// Candles: the body from open to close across the bar's ticks, wicks to the
// high and the low, a doji as one line; up hollow and down filled in one bit,
// up and down colours in colour. A line chart joins the closes.
TEST(BarChart, CandlesAndTheCloseLine)
{
    SharedState g;
    struct Day {
        double open, high, low, close;
    };
    const Day days[] = {{105, 118, 102, 115}, {115, 117, 101, 104}, {110, 114, 106, 110}};
    for (const bool colour : {false, true}) {
        SCOPED_TRACE(colour ? "colour" : "one bit");
        Loaded(g, 300, 300, 3, 120, 100);
        for (size_t i = 0; i < 3; ++i) {
            PriceRecord& r = g.Prices[i + 1];
            r.Open = days[i].open;
            r.High = days[i].high;
            r.Low = days[i].low;
            r.Close = days[i].close;
        }
        g.Monochrome = !colour;
        Canvas c;
        c.create(300, 300, !colour);
        Recorder rec(c);
        BarLook look;
        look.style = BarStyle::Candles;
        PlotPriceChart(g, c, look);
        const ChartMap map = CurrentChartMap(g);
        const int tick = BarTick(map.plotWidth, map.slotCount);
        QStringList bodies;
        for (const QString& s : rec.all)
            if (s.startsWith(QLatin1String("rect ")) && !s.startsWith(QLatin1String("rect 0 0 ")))
                bodies << s;
        QStringList expected;
        for (int i : {1, 2}) {
            const Day& d = days[i - 1];
            const int x = map.slotToX(i);
            const int top = map.priceToY(std::max(d.open, d.close)),
                      bottom = map.priceToY(std::min(d.open, d.close));
            expected << QStringLiteral("rect %1 %2 %3 %4")
                            .arg(x - tick)
                            .arg(top)
                            .arg(x + tick + 1)
                            .arg(bottom + 1);
            // The wicks run from the body to the high and to the low.
            const QString up =
                QStringLiteral("line %1 %2 %1 %3").arg(x).arg(map.priceToY(d.high)).arg(top);
            const QString down =
                QStringLiteral("line %1 %2 %1 %3").arg(x).arg(bottom).arg(map.priceToY(d.low));
            EXPECT_TRUE(rec.all.contains(up)) << i;
            EXPECT_TRUE(rec.all.contains(down)) << i;
        }
        EXPECT_EQ(bodies, expected);
        const int dojiX = map.slotToX(3), dojiY = map.priceToY(110);
        EXPECT_TRUE(rec.all.contains(
            QStringLiteral("line %1 %2 %3 %2").arg(dojiX - tick).arg(dojiY).arg(dojiX + tick + 1)));
        // Inside each body: hollow or filled, and in which colour.
        const QImage& img = c.image();
        auto inside = [&](int i) {
            const Day& d = days[i - 1];
            return QColor(img.pixel(map.slotToX(i), map.priceToY((d.open + d.close) / 2)));
        };
        if (colour) {
            EXPECT_EQ(inside(1), look.up);
            EXPECT_EQ(inside(2), look.down);
        } else {
            EXPECT_EQ(inside(1), QColor(Qt::white));
            EXPECT_EQ(inside(2), QColor(Qt::black));
        }

        rec.clear();
        look.style = BarStyle::Line;
        PlotPriceChart(g, c, look);
        QStringList closes;
        for (int i : {1, 2})
            closes << QStringLiteral("line %1 %2 %3 %4")
                          .arg(map.slotToX(i))
                          .arg(map.priceToY(days[i - 1].close))
                          .arg(map.slotToX(i + 1))
                          .arg(map.priceToY(days[i].close));
        for (const QString& l : closes)
            EXPECT_TRUE(rec.all.contains(l)) << l.toStdString();
        for (const QString& s : rec.all) // no bodies: only the background and the header
            EXPECT_TRUE(!s.startsWith(QLatin1String("rect ")) ||
                        s.startsWith(QLatin1String("rect 0 0 ")))
                << s.toStdString();
    }
    g.Monochrome = true;
}

TEST(BarChart, StyleNamesRoundTrip)
{
    for (BarStyle s : {BarStyle::Bars, BarStyle::Candles, BarStyle::Hollow, BarStyle::Line})
        EXPECT_EQ(BarStyleNamed(QString::fromLatin1(BarStyleName(s))), s);
    EXPECT_FALSE(BarStyleNamed(QStringLiteral("Candles")).has_value());
}
