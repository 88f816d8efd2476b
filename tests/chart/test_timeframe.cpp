// Days before 1900 read as days, and weekly and monthly bars built from the
// daily records, checked against groupings worked out here. A history from
// 1 December 1899 scanned, dated and plotted: OldHistory.EveryPathOfADateBefore1900.
#include <QDate>
#include <QTemporaryDir>
#include <map>
#include <tuple>

#include "chart/Navigation.h"
#include "chart/Timeframe.h"
#include "data/Dates.h"
#include "data/PriceReader.h"
#include "data/RecordDates.h"
#include "tests/OldIndex.h"
#include "tests/Support.h"
#include "tools/Study.h"

namespace {
// The whole file loaded as daily slots.
std::vector<PriceRecord> LoadAll(const QString& path, int count)
{
    LoadRequest req;
    req.lastRecord = count;
    req.recordCount = count;
    std::vector<PriceRecord> prices;
    const Result<LoadedRange> r = LoadRange(path, FileLayout{}, req, prices);
    EXPECT_TRUE(r);
    if (r) {
        EXPECT_EQ(r->unreadable, 0);
    }
    return prices;
}

// The sessions grouped by ISO week (Monday to Sunday) or by month, each group
// made into the bar a trader expects.
std::vector<OldSession> Grouped(const std::vector<OldSession>& days, Timeframe t)
{
    std::vector<OldSession> bars;
    std::pair<int, int> key{0, 0};
    for (const OldSession& d : days) {
        int year = 0;
        const int week = d.date.weekNumber(&year);
        const std::pair<int, int> k = t == Timeframe::Weekly
                                          ? std::pair{year, week}
                                          : std::pair{d.date.year(), d.date.month()};
        if (bars.empty() || k != key) {
            bars.push_back(d);
            key = k;
            continue;
        }
        OldSession& b = bars.back();
        b.high = std::max(b.high, d.high);
        b.low = std::min(b.low, d.low);
        b.close = d.close;
    }
    return bars;
}

const OldSession* BarOn(const std::vector<OldSession>& bars, const QDate& d)
{
    for (const OldSession& b : bars)
        if (b.date == d)
            return &b;
    return nullptr;
}
} // namespace

TEST(OldDates, EveryDayFrom1800ReadsInEveryLayout)
{
    const struct {
        const char* name;
        const char* text;
        int layout;
        double day;
    } rows[] = {
        {"day 0, the last of 1899 but one", "12/30/1899", MonthDayYear, 0},
        {"the day before day 0", "12/29/1899", MonthDayYear, -1},
        {"the history's first day", "12/01/1899", MonthDayYear, -29},
        {"day first", "30/12/1899", DayMonthYear, 0},
        {"year first", "1899-12-04", YearMonthDay, -26},
        {"digits only", "18991230", YearMonthDayDigits, 0},
        {"dotted", "30.12.1899", DayMonthYearDots, 0},
        {"month names", "Dec 30, 1899", MonthNameDayYear, 0},
        {"the first of 1800", "1800-01-01", YearMonthDay, -36522},
        {"the first of 1900", "01/01/1900", MonthDayYear, 2},
    };
    for (const auto& r : rows) {
        const std::optional<double> day = ParseDate(r.text, r.layout);
        ASSERT_TRUE(day) << r.name;
        EXPECT_EQ(*day, r.day) << r.name;
        EXPECT_EQ(ShortDate(day),
                  QDate(1899, 12, 30).addDays(qint64(r.day)).toString(QStringLiteral("d MMM yyyy")))
            << r.name;
    }
    EXPECT_EQ(IsoDayText(0.0), QStringLiteral("1899-12-30"));
    EXPECT_EQ(IsoDayText(-29.0), QStringLiteral("1899-12-01"));
    EXPECT_TRUE(IsoDayText(std::nullopt).isEmpty());
    EXPECT_TRUE(ShortDate(std::nullopt).isEmpty());
    // Saturday, as 30 December 1899 was.
    EXPECT_EQ(DayOfWeek(0), 7);
    EXPECT_EQ(DayOfWeek(-29), 6);
}

TEST(Timeframe, WeeklyAndMonthlyBarsMatchTheSessionsGrouped)
{
    QTemporaryDir dir;
    const std::vector<OldSession> days = OldIndexSessions();
    const QString path = WriteFile(dir, QStringLiteral("djia.csv"), OldIndexFile(days));
    const std::vector<PriceRecord> daily = LoadAll(path, int(days.size()));
    for (Timeframe t : {Timeframe::Weekly, Timeframe::Monthly}) {
        SCOPED_TRACE(TimeframeName(t));
        const std::vector<OldSession> want = Grouped(days, t);
        const std::vector<PriceRecord> bars = BuildBars(t, daily);
        ASSERT_EQ(bars.size(), want.size() + 1);
        for (size_t i = 0; i < want.size(); ++i) {
            const PriceRecord& b = bars[i + 1];
            EXPECT_EQ(std::tuple(b.Date, b.IsBlank, b.Valid, b.Open, b.High, b.Low, b.Close),
                      std::tuple(OldDay(want[i].date), false, OpenOk | HighOk | LowOk | CloseOk,
                                 want[i].open, want[i].high, want[i].low, want[i].close))
                << want[i].date.toString(Qt::ISODate).toStdString();
        }
        // Each bar's records, as the index gives them, are the days it was built from.
        const RecordDates dates = *ReadRecordDates(path, FileLayout{}, int(days.size()), false);
        const BarIndex index(t, dates.days);
        ASSERT_EQ(index.count(), int(want.size()));
        for (int b = 1; b <= index.count(); ++b) {
            const BarRecords r = index.recordsOf(b);
            EXPECT_EQ(dates.dayOf(r.first), bars[size_t(b)].Date);
            EXPECT_EQ(index.barOf(r.first), b);
            EXPECT_EQ(index.barOf(r.last), b);
        }
    }
    // The cases a trader would look at first, by name.
    const std::vector<OldSession> weeks = Grouped(days, Timeframe::Weekly);
    const std::vector<OldSession> months = Grouped(days, Timeframe::Monthly);
    const struct {
        const char* name;
        const std::vector<OldSession>& bars;
        QDate barDate;     // the first trading day of its period
        QDate lastSession; // whose close closes the bar
    } named[] = {
        {"a weekend session joins its week, after a Monday holiday",
         weeks,
         {1899, 12, 26},
         {1899, 12, 30}},
        {"a week whose Monday is a holiday", weeks, {1900, 1, 2}, {1900, 1, 5}},
        {"a month starting on a Saturday, its Monday a holiday",
         months,
         {1900, 9, 4},
         {1900, 9, 28}},
        {"a month starting on a Sunday", months, {1900, 4, 2}, {1900, 4, 30}},
        {"a history starting on a Friday", weeks, {1899, 12, 1}, {1899, 12, 2}},
    };
    for (const auto& n : named) {
        const OldSession* bar = BarOn(n.bars, n.barDate);
        ASSERT_TRUE(bar) << n.name;
        const auto last = std::find_if(
            days.begin(), days.end(), [&](const OldSession& d) { return d.date == n.lastSession; });
        ASSERT_NE(last, days.end()) << n.name;
        EXPECT_EQ(bar->close, last->close) << n.name;
    }
}

TEST(Timeframe, BarsOfBlankAndUndatedSlots)
{
    const double mon = *DayFromYmd(2024, 6, 3);
    auto bar = [](double day, double o, double h, double l, double c) {
        return PriceRecord{day, false, o, h, l, c, OpenOk | HighOk | LowOk | CloseOk};
    };
    PriceRecord blank;
    blank.IsBlank = true;
    blank.Date = mon + 7; // a week of no prices only
    const std::vector<PriceRecord> daily = {PriceRecord{}, bar(mon, 10, 12, 9, 11),
                                            bar(mon + 2, 11, 15, 10, 14), blank,
                                            bar(mon + 14, 14, 16, 13, 15)};
    const std::vector<PriceRecord> weeks = BuildBars(Timeframe::Weekly, daily);
    ASSERT_EQ(weeks.size(), 4u);
    EXPECT_EQ(std::tuple(weeks[1].Open, weeks[1].High, weeks[1].Low, weeks[1].Close),
              std::tuple(10.0, 15.0, 9.0, 14.0));
    EXPECT_TRUE(weeks[2].IsBlank);
    EXPECT_EQ(weeks[2].Date, mon + 7);
    EXPECT_EQ(BuildBars(Timeframe::Daily, daily).size(), daily.size());
    // Records whose date did not read go with the bar before; leading ones with the first.
    const std::vector<std::optional<double>> days = {std::nullopt, mon, mon + 1, std::nullopt,
                                                     mon + 7};
    const BarIndex index(Timeframe::Weekly, days);
    ASSERT_EQ(index.count(), 2);
    EXPECT_EQ(index.recordsOf(1), (BarRecords{1, 4}));
    EXPECT_EQ(index.recordsOf(2), (BarRecords{5, 5}));
    EXPECT_EQ(index.recordsOf(3), BarRecords{});
    EXPECT_EQ(index.barOf(0), 0);
    EXPECT_EQ(index.barOf(6), 0);
    // Week starts: Monday, whatever the weekday; months on the first.
    EXPECT_EQ(PeriodStart(Timeframe::Weekly, mon + 6), mon);
    EXPECT_EQ(PeriodStart(Timeframe::Weekly, mon - 1), mon - 7);
    EXPECT_EQ(PeriodStart(Timeframe::Monthly, mon + 27), *DayFromYmd(2024, 6, 1));
    EXPECT_EQ(PeriodAfter(Timeframe::Monthly, *DayFromYmd(2024, 1, 1), 2), *DayFromYmd(2024, 3, 1));
    EXPECT_EQ(TimeframeNamed(QStringLiteral("monthly")), Timeframe::Monthly);
    EXPECT_FALSE(TimeframeNamed(QStringLiteral("hourly")));
}

TEST(Timeframe, NavigationCountsBars)
{
    // Ten weeks of five records each: record r lies in week (r - 1) / 5 + 1.
    std::vector<std::optional<double>> days;
    const double mon = *DayFromYmd(2024, 1, 1);
    for (int w = 0; w < 10; ++w)
        for (int d = 0; d < 5; ++d)
            days.push_back(mon + 7 * w + d);
    const BarIndex weeks(Timeframe::Weekly, days);
    ASSERT_EQ(weeks.count(), 10);
    const struct {
        const char* name;
        NavStep step;
        RecordRange from;
        long long period;
        RecordRange to;
    } rows[] = {
        {"next by three weeks", NavStep::Next, {11, 25}, 3, {26, 40}},
        {"next stops at the last week", NavStep::Next, {11, 40}, 3, {21, 50}},
        {"previous from mid-week takes whole weeks", NavStep::Previous, {23, 38}, 2, {11, 30}},
        {"previous stops at the first week", NavStep::Previous, {6, 20}, 3, {1, 15}},
        {"lengthen by two weeks", NavStep::Lengthen, {1, 10}, 2, {1, 20}},
        {"shorten by one week", NavStep::Shorten, {1, 25}, 1, {1, 20}},
        {"beginning", NavStep::Beginning, {26, 50}, 4, {1, 20}},
        {"whole", NavStep::Whole, {26, 30}, 4, {1, 50}},
    };
    for (const auto& r : rows)
        EXPECT_EQ(NavigateBars(r.step, r.from, r.period, weeks), r.to) << r.name;
}

TEST(Timeframe, StudiesKeepItAndOldStudiesOpenDaily)
{
    QTemporaryDir dir;
    Study s;
    s.priceFile = QStringLiteral("djia.csv");
    s.timeframe = Timeframe::Monthly;
    const QString path = dir.filePath(QStringLiteral("s.aurigon"));
    ASSERT_TRUE(SaveStudyFile(s, path));
    const Result<Study> back = LoadStudyFile(path);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->timeframe, Timeframe::Monthly);
    const QByteArray saved = ReadBytes(path);
    const struct {
        const char* name;
        QByteArray from, to;
        std::optional<Timeframe> opens; // none: refused
    } rows[] = {
        {"written before weekly bars", "\"timeframe\": \"monthly\",", "", Timeframe::Daily},
        {"weekly", "\"monthly\"", "\"weekly\"", Timeframe::Weekly},
        {"a timeframe of no name", "\"monthly\"", "\"hourly\"", std::nullopt},
    };
    for (const auto& r : rows) {
        QByteArray text = saved;
        ASSERT_TRUE(text.contains(r.from)) << r.name;
        text.replace(r.from, r.to);
        const Result<Study> opened =
            LoadStudyFile(WriteFile(dir, QStringLiteral("t.aurigon"), text));
        ASSERT_EQ(opened.ok(), r.opens.has_value()) << r.name;
        if (opened)
            EXPECT_EQ(opened->timeframe, *r.opens) << r.name;
        else
            EXPECT_TRUE(opened.error().message().contains(QStringLiteral("hourly"))) << r.name;
    }
}
