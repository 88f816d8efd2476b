// The log price scale and the volume pane: the mapping both ways, the
// labels and where they are drawn, and volumes read, written and drawn.
#include <QTemporaryDir>
#include <cmath>

#include "app/session/GloVar.h"
#include "app/session/SharedInputs.h"
#include "chart/BarChart.h"
#include "chart/ChartMap.h"
#include "chart/VolumePane.h"
#include "data/PriceReader.h"
#include "data/Volume.h"
#include "tests/Support.h"
#include "tests/Trace.h"
#include <gtest/gtest.h>

namespace {
ChartMap LogMap(double high, double low, int top = 30, int bottom = 550)
{
    ScaleInput in;
    in.plotLeft = 70;
    in.plotRight = 970;
    in.plotTop = top;
    in.plotBottom = bottom;
    in.totalSlots = in.loadedCount = 100;
    in.high = high;
    in.low = low;
    in.logScale = true;
    return ComputeScale(in);
}
} // namespace

TEST(LogScale, PricesAndRowsMapByRatio)
{
    const struct {
        const char* name;
        double high, low;
    } rows[] = {{"a decade", 1000, 100},
                {"a coin's five decades", 60000, 0.6},
                {"a narrow range", 218, 140},
                {"pennies", 0.05, 0.002}};
    for (const auto& r : rows) {
        const ChartMap m = LogMap(r.high, r.low);
        ASSERT_TRUE(m.logScale) << r.name;
        ASSERT_TRUE(m.usable()) << r.name;
        // The 10-pixel margins, as on the linear scale.
        EXPECT_EQ(m.priceToY(r.high), m.plotTop + 10) << r.name;
        EXPECT_EQ(m.priceToY(r.low), m.plotBottom - 10) << r.name;
        // The geometric mean sits halfway between them.
        EXPECT_NEAR(m.priceToY(std::sqrt(r.high * r.low)), (m.plotTop + m.plotBottom) / 2.0, 1)
            << r.name;
        // Equal ratios, equal heights.
        const double a = r.low * 1.2;
        EXPECT_NEAR(m.priceToY(a) - m.priceToY(a * 1.5), m.priceToY(a * 1.5) - m.priceToY(a * 2.25),
                    1)
            << r.name;
        // Back from a row to its price, within that row's share of the ratio.
        const double perRow =
            std::pow((m.scaleBottom + m.scaleRange) / m.scaleBottom, 1.0 / m.plotHeight);
        for (int y = m.plotTop; y <= m.plotBottom; y += 37) {
            EXPECT_EQ(m.priceToY(m.yToPrice(y)), y) << r.name << " row " << y;
            EXPECT_LE(m.yToPrice(y - 1) / m.yToPrice(y), perRow * (1 + 1e-9)) << r.name;
        }
        EXPECT_EQ(m.anchorPriceToY(a), m.priceToY(a)) << r.name;
    }
}

TEST(LogScale, NeedsPricesAboveZero)
{
    const struct {
        const char* name;
        double high, low;
        bool fits;
    } rows[] = {{"positive", 10, 1, true},       {"one price", 5, 5, true},
                {"zero low", 10, 0, false},      {"negative low", 10, -2, false},
                {"all negative", -1, -5, false}, {"nothing loaded", 0, 99999999.0, false}};
    for (const auto& r : rows) {
        EXPECT_EQ(LogScaleFits(r.high, r.low), r.fits) << r.name;
        // Where it does not fit, the scale asked for stays linear.
        if (r.high >= r.low) {
            EXPECT_EQ(LogMap(r.high, r.low).logScale, r.fits) << r.name;
        }
    }
    // A linear map never takes the log path.
    ChartMap linear = LogMap(10, 0);
    EXPECT_EQ(linear.priceToY(5), (linear.plotTop + linear.plotBottom) / 2);
}

TEST(LogScale, LabelsFallOnRoundValues)
{
    const struct {
        const char* name;
        double bottom, top;
        std::vector<double> labels;
    } rows[] = {
        {"three decades", 8, 1200, {10, 20, 50, 100, 200, 500, 1000}},
        {"below one", 0.004, 0.06, {0.005, 0.01, 0.02, 0.05}},
        {"a factor of three, finer", 90, 260, {90, 100, 150, 200}},
        {"too narrow: the linear labels serve", 140, 218, {}},
    };
    for (const auto& r : rows) {
        const std::vector<double> v = LogLabelValues(r.top, r.bottom);
        ASSERT_EQ(v.size(), r.labels.size()) << r.name;
        for (size_t i = 0; i < v.size(); ++i)
            EXPECT_DOUBLE_EQ(v[i], r.labels[i]) << r.name << " label " << i;
    }
    EXPECT_TRUE(LogLabelValues(10, 0).empty());
    EXPECT_TRUE(LogLabelValues(1e300, 1e-300).empty());
    const struct {
        double v;
        int decimals;
    } decimals[] = {{150, 0}, {1.5, 1}, {0.015, 3}, {0.3, 1}, {2e-7, 7}};
    for (const auto& d : decimals)
        EXPECT_EQ(LabelDecimals(d.v), d.decimals) << d.v;
}

TEST(LogScale, LabelsAndBarsAreDrawnAtTheirLogRows)
{
    SharedState shared;
    auto& g = shared;
    g.ChartWidth = 980;
    g.ChartHeight = 590;
    InitDefaults(g);
    // Twenty records climbing from 10 to 1000 by equal ratios.
    const int count = 20;
    g.Prices.assign(count + 1, PriceRecord{});
    for (int i = 1; i <= count; ++i) {
        PriceRecord& r = g.Prices[size_t(i)];
        r.Date = 45000 + i;
        r.Close = r.Open = 10 * std::pow(100.0, (i - 1) / double(count - 1));
        r.High = r.Close * 1.02;
        r.Low = r.Close / 1.02;
        r.Valid = OpenOk | HighOk | LowOk | CloseOk;
    }
    g.LoadedCount = g.TotalSlots = count;
    g.ChartHigh = g.Prices[count].High;
    g.ChartLow = g.Prices[1].Low;
    g.LogScale = true;
    Canvas c;
    c.create(980, 590, true);
    Recorder rec(c);
    PlotPriceChart(g, c, BarLook{});
    const ChartMap map = CurrentChartMap(g);
    ASSERT_TRUE(map.logScale);
    // Each label's tick is at its log row.
    const std::vector<double> labels =
        LogLabelValues(map.scaleBottom + map.scaleRange, map.scaleBottom);
    ASSERT_EQ(labels, (std::vector<double>{10, 20, 50, 100, 200, 500, 1000}));
    std::vector<int> tickRows;
    for (const TraceLine& l : rec.lines())
        if (l.x1 == map.plotLeft && l.x2 == map.plotLeft - 5)
            tickRows.push_back(l.y1);
    ASSERT_EQ(tickRows.size(), labels.size());
    for (size_t i = 0; i < labels.size(); ++i)
        EXPECT_EQ(tickRows[i], map.priceToY(labels[i])) << labels[i];
    // Every label written stands inside the plot, not above it under the header.
    int written = 0;
    for (const QString& t : rec.starting(QStringLiteral("text"))) {
        const QStringList w = t.split(QLatin1Char(' '));
        if (w.size() < 5 || w[1].toInt() != map.plotLeft - 10 ||
            w[3] != QLatin1String("right-bottom"))
            continue;
        const QString label = t.section(QLatin1Char('"'), 1, 1);
        ++written;
        EXPECT_GE(
            c.textCell(w[1].toInt(), w[2].toInt(), TextAlign::RightBottom, label, ChartFace::Label)
                .top(),
            map.plotTop)
            << qPrintable(label);
    }
    EXPECT_GE(written, 5);
    // A decade is the same height wherever it lies.
    EXPECT_NEAR(map.priceToY(10) - map.priceToY(100), map.priceToY(100) - map.priceToY(1000), 1);
    // Equal ratios climb by equal steps: the bars' high-low lines have one length.
    std::vector<int> spans;
    for (const TraceLine& l : rec.lines())
        if (l.x1 == l.x2 && l.x1 > map.plotLeft && l.y1 < l.y2 && l.y2 < map.plotBottom)
            spans.push_back(l.y2 - l.y1);
    ASSERT_GE(spans.size(), size_t(count));
    for (int s : spans)
        EXPECT_NEAR(s, spans.front(), 1);
}

TEST(Volume, FieldsAsDownloadsWriteThem)
{
    const struct {
        const char* text;
        bool comma;
        bool reads;
        double value;
    } rows[] = {
        {"41.2M", false, true, 41.2e6},
        {"2.51B", false, true, 2.51e9},
        {"950K", false, true, 950e3},
        {"1,234,500", false, true, 1234500},
        {"\"3.5M\"", false, true, 3.5e6},
        {" 120 ", false, true, 120},
        {"1.234.500", true, true, 1234500},
        {"41,2M", true, true, 41.2e6},
        {"0", false, true, 0},
        {"-5", false, false, 0},
        {"M", false, false, 0},
        {"", false, false, 0},
        {"12X", false, false, 0},
        {"n/a", false, false, 0},
    };
    for (const auto& r : rows) {
        const std::optional<double> v = ReadVolume(r.text, r.comma);
        EXPECT_EQ(v.has_value(), r.reads) << r.text;
        if (v && r.reads) {
            EXPECT_NEAR(*v, r.value, r.value * 1e-12) << r.text;
        }
    }
    const struct {
        double v;
        const char* text;
    } written[] = {{41.2e6, "41.2M"},   {2.51e9, "2.51B"}, {950, "950"},        {1500, "1.5K"},
                   {999999999.9, "1B"}, {20e6, "20M"},     {123456789, "123M"}, {0, "0"}};
    for (const auto& w : written)
        EXPECT_EQ(VolumeText(w.v), QLatin1String(w.text)) << w.v;
}

TEST(Volume, ColumnNamedInTheHeader)
{
    FileLayout usual;
    FileLayout volumeSecond;
    volumeSecond.openColumn = 3;
    volumeSecond.highColumn = 4;
    volumeSecond.lowColumn = 5;
    volumeSecond.closeColumn = 6;
    FileLayout semicolons;
    semicolons.separator = ';';
    const struct {
        const char* name;
        const char* header;
        const FileLayout& layout;
        int column;
    } rows[] = {
        {"after the close", "Date,Open,High,Low,Close,Volume", usual, 6},
        {"after the adjusted close", "Date,Open,High,Low,Close,Adj Close,Volume", usual, 7},
        {"before the prices", "Date,Vol,Open,High,Low,Close", volumeSecond, 2},
        {"German", "Datum;Eröffnung;Hoch;Tief;Schluss;Umsatz", semicolons, 6},
        {"none", "Date,Open,High,Low,Close", usual, 0},
        {"a price column is no volume", "Date,Volume,High,Low,Close", usual, 0},
    };
    for (const auto& r : rows)
        EXPECT_EQ(VolumeColumnIn(r.header, r.layout), r.column) << r.name;
}

TEST(Volume, LoadedBesideThePrices)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = WriteFile(dir, QStringLiteral("v.csv"),
                                   "Date,Open,High,Low,Close,Volume\n"
                                   "01/02/2025,10,11,9,10.5,41.2M\n"
                                   "01/03/2025,10,11,9,10.5,2.51B\n"
                                   "01/06/2025,10,11,9,10.5,\n"
                                   "01/07/2025,10,11,9,10.5,1234\n");
    FileLayout layout;
    ASSERT_EQ(VolumeColumnOfFile(path, layout), 6);
    LoadRequest req;
    req.firstRecord = 1;
    req.lastRecord = 4;
    req.volumeColumn = 6;
    std::vector<PriceRecord> prices;
    const Result<LoadedRange> r = LoadRange(path, layout, req, prices);
    ASSERT_TRUE(r);
    ASSERT_EQ(r->loadedCount, 4);
    EXPECT_EQ(r->unreadable, 0);
    const struct {
        bool read;
        double volume;
    } want[] = {{true, 41.2e6}, {true, 2.51e9}, {false, 0}, {true, 1234}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(bool(prices[i + 1].Valid & VolumeOk), want[i].read) << i;
        EXPECT_NEAR(prices[i + 1].Volume, want[i].volume, 1e-3) << i;
        // The prices read as they always did: an empty volume spoils no record.
        EXPECT_EQ(prices[i + 1].Valid & 15, 15) << i;
    }
    // Without the column asked for, nothing of it is read.
    req.volumeColumn = 0;
    ASSERT_TRUE(LoadRange(path, layout, req, prices));
    EXPECT_FALSE(prices[1].Valid & VolumeOk);
}

TEST(Volume, PaneBarsStandInProportionUnderThePlot)
{
    SharedState shared;
    auto& g = shared;
    g.ChartWidth = 980;
    g.ChartHeight = 590;
    g.VolumePane = true;
    g.VolumeColumn = 6;
    InitDefaults(g);
    // The pane takes a fifth of the plot; the date axis stays where it was.
    ASSERT_EQ(g.VolumeBottom, 550);
    ASSERT_EQ(g.PlotBottom, 550 - (550 - 30) / 5);
    const double volumes[] = {10e6, 20e6, 40e6, 5e6};
    const int count = 4;
    g.Prices.assign(count + 1, PriceRecord{});
    for (int i = 1; i <= count; ++i) {
        PriceRecord& r = g.Prices[size_t(i)];
        r.Date = 45000 + i;
        r.Open = 10;
        r.Close = i % 2 ? 11 : 9;
        r.High = 12;
        r.Low = 8;
        r.Volume = volumes[i - 1];
        r.Valid = OpenOk | HighOk | LowOk | CloseOk | VolumeOk;
    }
    g.LoadedCount = g.TotalSlots = count;
    g.ChartHigh = 12;
    g.ChartLow = 8;
    Canvas c;
    c.create(980, 590, true);
    Recorder rec(c);
    PlotPriceChart(g, c, BarLook{});
    const ChartMap map = CurrentChartMap(g);
    const VolumeRows rows = VolumeRowsOf(map, g.Prices, count);
    EXPECT_EQ(rows.bottom, 550);
    EXPECT_GT(rows.top, map.plotBottom);
    // The bars: rectangles standing on the pane's bottom, one a slot.
    std::vector<int> heights;
    for (const QString& s : rec.starting(QStringLiteral("rect"))) {
        const QStringList w = s.split(QLatin1Char(' '));
        if (w[4].toInt() == rows.bottom && w[2].toInt() > map.plotBottom)
            heights.push_back(rows.bottom - w[2].toInt());
    }
    ASSERT_EQ(heights.size(), size_t(count));
    const double full = rows.bottom - rows.top;
    for (int i = 0; i < count; ++i)
        EXPECT_NEAR(heights[size_t(i)], volumes[i] / (40e6 * 1.05) * full, 1) << i;
    EXPECT_NEAR(heights[1], 2 * heights[0], 1);
    // The price bars stay above the pane.
    for (const TraceLine& l : rec.lines())
        if (l.x1 == l.x2 && l.x1 > map.plotLeft && l.y2 < rows.top) {
            EXPECT_LE(l.y2, map.plotBottom);
        }
    // Its scale: round volumes written short.
    EXPECT_FALSE(VolumeLabelValues(rows).empty());
    bool labelled = false;
    for (const QString& s : rec.starting(QStringLiteral("text")))
        labelled = labelled || s.contains(QLatin1String("20M")) || s.contains(QLatin1String("40M"));
    EXPECT_TRUE(labelled)
        << rec.starting(QStringLiteral("text")).join(QLatin1Char('\n')).toStdString();
}

TEST(Volume, NoPaneWithoutAVolumeColumn)
{
    SharedState shared;
    auto& g = shared;
    g.ChartWidth = 980;
    g.ChartHeight = 590;
    g.VolumePane = true; // asked for, but the file has none
    InitDefaults(g);
    EXPECT_EQ(g.VolumeBottom, 0);
    EXPECT_EQ(g.PlotBottom, 550);
}
