// Price files as traders download them: each kind, written here, opens with
// the default settings and charts its last 261 days in date order.
#include <QDate>
#include <cmath>
#include <functional>

#include "data/Dates.h"
#include "data/LayoutDetect.h"
#include "data/Numbers.h"
#include "data/PriceReader.h"
#include "data/Settings.h"
#include "tests/Support.h"

namespace {
struct Day {
    QDate date;
    double open, high, low, close;
};

// Days in date order: a wave of prices, so that the extremes of the last
// 261 days are not simply the last day's.
std::vector<Day> MakeDays(const std::vector<QDate>& dates)
{
    std::vector<Day> days;
    for (size_t i = 0; i < dates.size(); ++i) {
        const double c = std::round((100 + 20 * std::sin(i / 15.0) + i * 0.05) * 100) / 100;
        days.push_back({dates[i], c - 0.25, c + 1.5, c - 1.75, c});
    }
    return days;
}

std::vector<QDate> Weekdays(QDate from, int n)
{
    std::vector<QDate> out;
    for (QDate d = from; int(out.size()) < n; d = d.addDays(1))
        if (d.dayOfWeek() <= 5)
            out.push_back(d);
    return out;
}

double DayNumber(QDate d)
{
    return double(QDate(1899, 12, 30).daysTo(d));
}

QString Num(double v, bool comma = false)
{
    QString s = QString::number(v, 'f', 2);
    if (comma)
        s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

using LineOf = std::function<QString(const Day&)>;

QByteArray Lines(const QString& header, const std::vector<Day>& days, const LineOf& line,
                 bool newestFirst = false, const char* end = "\n")
{
    QByteArray out = header.toUtf8() + end;
    std::vector<Day> order = days;
    if (newestFirst)
        std::reverse(order.begin(), order.end());
    for (const Day& d : order)
        out += line(d).toUtf8() + end;
    return out;
}

class PriceFiles : public SessionTest {
protected:
    // Opens with the default layout, plots, and checks the last 261 days.
    void Expect(const std::vector<Day>& days)
    {
        const auto& g = GloVar;
        const int n = int(days.size());
        EXPECT_EQ(g.RecordCount, n);
        EXPECT_EQ(g.FirstFileDate, DayNumber(days.front().date));
        EXPECT_EQ(g.LastFileDate, DayNumber(days.back().date));
        ASSERT_TRUE(s->ui[Ctl::PlotBtn].enabled);
        s->PlotBtnClick();
        ASSERT_TRUE(g.ChartShown);
        EXPECT_EQ(g.LoadedCount, 261);
        double high = 0, low = 1e9;
        for (int i = n - 261; i < n; ++i)
            high = std::max(high, days[size_t(i)].high), low = std::min(low, days[size_t(i)].low);
        EXPECT_DOUBLE_EQ(g.ChartHigh, high);
        EXPECT_DOUBLE_EQ(g.ChartLow, low);
        EXPECT_EQ(g.Prices[1].Date, DayNumber(days[size_t(n - 261)].date));
        EXPECT_EQ(g.Prices[261].Date, DayNumber(days.back().date));
        EXPECT_DOUBLE_EQ(g.Prices[261].Close, days.back().close);
        EXPECT_DOUBLE_EQ(g.Prices[261].Open, days.back().open);
    }
    QStringList Messages() const { return prompts.events.filter(QStringLiteral("message:")); }
};
} // namespace

TEST_F(PriceFiles, IsoDatesWithAdjCloseAndVolume)
{
    const auto days = MakeDays(Weekdays(QDate(2019, 1, 2), 400));
    Open(WriteFile(
        dir, QStringLiteral("yahoo.csv"),
        Lines(QStringLiteral("Date,Open,High,Low,Close,Adj Close,Volume"), days, [](const Day& d) {
            return QStringLiteral("%1,%2,%3,%4,%5,%6,123456")
                .arg(d.date.toString(Qt::ISODate), Num(d.open), Num(d.high), Num(d.low),
                     Num(d.close), Num(d.close * 0.9));
        })));
    EXPECT_EQ(GloVar.DateFormat, YearMonthDay);
    EXPECT_EQ(GloVar.CloseColumn, 5); // Close, not Adj Close
    ASSERT_EQ(Messages().size(), 1);
    EXPECT_TRUE(Messages()[0].contains(QStringLiteral("A right click on File changes this.")));
    Expect(days);
    EXPECT_EQ(Messages().size(), 1); // a fitting load says nothing more
}

TEST_F(PriceFiles, NewestFirstWithDollarsAndCrLf)
{
    const auto days = MakeDays(Weekdays(QDate(2021, 3, 1), 700));
    Open(WriteFile(dir, QStringLiteral("nasdaq.csv"),
                   Lines(
                       QStringLiteral("Date,Close/Last,Volume,Open,High,Low"), days,
                       [](const Day& d) {
                           return QStringLiteral("%1,$%2,998877,$%3,$%4,$%5")
                               .arg(d.date.toString(QStringLiteral("MM/dd/yyyy")), Num(d.close),
                                    Num(d.open), Num(d.high), Num(d.low));
                       },
                       true, "\r\n")));
    EXPECT_TRUE(GloVar.NewestFirst);
    EXPECT_EQ(GloVar.DateFormat, MonthDayYear);
    EXPECT_EQ(GloVar.CloseColumn, 2);
    EXPECT_EQ(GloVar.OpenColumn, 4);
    ASSERT_EQ(Messages().size(), 1);
    EXPECT_TRUE(Messages()[0].contains(QStringLiteral("The newest day comes first")));
    Expect(days);
    // Navigation walks the dates as for an ascending file.
    s->ToolButton1Click();
    EXPECT_EQ(GloVar.Prices[1].Date, DayNumber(days[700 - 261 - 260].date));
    EXPECT_LT(GloVar.Prices[1].Date, GloVar.Prices[2].Date);
}

TEST_F(PriceFiles, TabsWithAngleBracketHeaderAndDottedIsoDates)
{
    const auto days = MakeDays(Weekdays(QDate(2018, 6, 1), 300));
    Open(WriteFile(dir, QStringLiteral("mt.txt"),
                   Lines(QStringLiteral("<DATE>\t<OPEN>\t<HIGH>\t<LOW>\t<CLOSE>\t<TICKVOL>"), days,
                         [](const Day& d) {
                             return QStringLiteral("%1\t%2\t%3\t%4\t%5\t77")
                                 .arg(d.date.toString(QStringLiteral("yyyy.MM.dd")), Num(d.open),
                                      Num(d.high), Num(d.low), Num(d.close));
                         })));
    EXPECT_EQ(GloVar.FieldSeparator, '\t');
    EXPECT_EQ(GloVar.DateFormat, YearMonthDay);
    Expect(days);
}

TEST_F(PriceFiles, SemicolonsDottedDatesAndDecimalCommas)
{
    const auto days = MakeDays(Weekdays(QDate(2017, 1, 2), 290));
    Open(WriteFile(dir, QStringLiteral("boerse.csv"),
                   Lines(QStringLiteral("Datum;Erster;Hoch;Tief;Schluss"), days, [](const Day& d) {
                       return QStringLiteral("%1;%2;%3;%4;%5")
                           .arg(d.date.toString(QStringLiteral("dd.MM.yyyy")), Num(d.open, true),
                                Num(d.high, true), Num(d.low, true), Num(d.close, true));
                   })));
    EXPECT_EQ(GloVar.FieldSeparator, ';');
    EXPECT_EQ(GloVar.DateFormat, DayMonthYearDots);
    EXPECT_TRUE(GloVar.HasHeaderLine);
    Expect(days);
    // The layout was kept in fsetup.dat, separator on line 11.
    QFile f(s->SettingsPath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    ASSERT_GE(lines.size(), 11);
    EXPECT_EQ(lines[6], "7\r");
    EXPECT_EQ(lines[10], ";\r");
}

TEST_F(PriceFiles, DayMonthOrderSettledOnLine40)
{
    // 38 data lines on days 1 to 12 of their months, then the 13th: line 40.
    std::vector<QDate> dates;
    for (QDate d(2010, 1, 1); dates.size() < 38; d = d.addDays(1))
        if (d.day() <= 12)
            dates.push_back(d);
    for (QDate d = dates.back().addDays(1); dates.size() < 400; d = d.addDays(1))
        if (dates.size() > 38 || d.day() > 12)
            dates.push_back(d);
    ASSERT_GT(dates[38].day(), 12);
    const auto days = MakeDays(dates);
    Open(WriteFile(dir, QStringLiteral("uk.csv"),
                   Lines(QStringLiteral("Date,Open,High,Low,Close"), days, [](const Day& d) {
                       return QStringLiteral("%1,%2,%3,%4,%5")
                           .arg(d.date.toString(QStringLiteral("dd/MM/yyyy")), Num(d.open),
                                Num(d.high), Num(d.low), Num(d.close));
                   })));
    EXPECT_EQ(GloVar.DateFormat, DayMonthYear);
    ASSERT_EQ(Messages().size(), 1);
    EXPECT_FALSE(Messages()[0].contains(QStringLiteral("guess")));
    Expect(days);
}

TEST_F(PriceFiles, UnsettledOrderIsAGuessAndKeepsMonthFirst)
{
    const auto days = MakeDays({QDate(2010, 1, 2), QDate(2010, 2, 3), QDate(2010, 3, 4)});
    Open(WriteFile(dir, QStringLiteral("short.csv"),
                   Lines(QStringLiteral("Date;Open;High;Low;Close"), days, [](const Day& d) {
                       return QStringLiteral("%1;%2;%3;%4;%5")
                           .arg(d.date.toString(QStringLiteral("dd/MM/yyyy")), Num(d.open, true),
                                Num(d.high, true), Num(d.low, true), Num(d.close, true));
                   })));
    EXPECT_EQ(GloVar.DateFormat, MonthDayYear); // the layout in force reads them month first
    ASSERT_EQ(Messages().size(), 1);
    EXPECT_TRUE(Messages()[0].contains(QStringLiteral("is a guess")));
}

TEST_F(PriceFiles, AFileNoLayoutFitsIsRefusedWithItsLine)
{
    OpenWeekdays(50);
    ASSERT_TRUE(s->ui[Ctl::PlotBtn].enabled);
    prompts.events.clear();
    Open(WriteFile(dir, QStringLiteral("words.csv"),
                   "Date,Open,High,Low,Close\nyesterday,1,2,3,4\ntoday,1,2,3,4\n"));
    EXPECT_FALSE(s->ui[Ctl::DateBtn].enabled);
    EXPECT_FALSE(s->ui[Ctl::PlotBtn].enabled);
    EXPECT_EQ(GloVar.RecordCount, 0);
    EXPECT_EQ(
        prompts.events,
        QStringList({QStringLiteral("beep"),
                     QStringLiteral("message:Aurigon:\"words.csv\" cannot be charted: no date "
                                    "reads in line 2:\n\"yesterday,1,2,3,4\"")}));
    EXPECT_EQ(GloVar.DateFormat, 1); // the layout in force is left alone
}

TEST_F(PriceFiles, UnreadableLinesAreNamedOnceAndTheChartStillDraws)
{
    QByteArray bytes = WeekdayFile(300);
    QList<QByteArray> lines = bytes.split('\n');
    lines[200] = "02/30/2006,1,2,0.5,1";        // no such day
    lines[250] = lines[250].replace(",", ",x"); // prices that do not convert
    bytes = lines.join('\n');
    Open(WriteFile(dir, QStringLiteral("holes.txt"), bytes));
    EXPECT_TRUE(prompts.events.isEmpty()); // it fits the layout in force
    s->PlotBtnClick();
    ASSERT_TRUE(GloVar.ChartShown);
    EXPECT_EQ(GloVar.LoadedCount, 261);
    EXPECT_EQ(prompts.events, QStringList(QStringLiteral(
                                  "message:Aurigon:2 lines could not be read; the first is the one "
                                  "of \"holes.txt\": line 201: \"02/30/2006,1,2,0.5,1\"")));
    s->ToolButton1Click(); // navigation does not repeat it
    s->ToolButton2Click();
    EXPECT_EQ(prompts.events.size(), 1);
}

TEST(PriceFields, QuotesCurrencyBlanksAndSeparators)
{
    FileLayout l;
    LineFields f;
    SplitLine("\"01/02/2024\",\"1,234.50\", $191.38 ,\"x\"\"y\",5", l, f);
    EXPECT_EQ(f.date, "01/02/2024");
    EXPECT_EQ(f.open, "1,234.50");
    double v = 0;
    EXPECT_TRUE(ReadPrice(f.open, false, v));
    EXPECT_EQ(v, 1234.50);
    EXPECT_TRUE(ReadPrice(f.high, false, v));
    EXPECT_EQ(v, 191.38);
    EXPECT_FALSE(ReadPrice(f.low, false, v));
    EXPECT_TRUE(ReadPrice("-$3.5", false, v));
    EXPECT_EQ(v, -3.5);
    EXPECT_TRUE(ReadPrice("1.234,5", true, v));
    EXPECT_EQ(v, 1234.5);
    EXPECT_TRUE(ReadPrice("\xE2\x82\xAC 12,25", true, v));
    EXPECT_EQ(v, 12.25);
    for (const char* bad : {"", "$", "abc", "1..2x", "nan"})
        EXPECT_FALSE(ReadPrice(bad, false, v)) << bad;
    l.separator = '\t';
    SplitLine("2024-01-02\t1,5\t2", l, f);
    EXPECT_EQ(f.open, "1,5");
    EXPECT_EQ(f.high, "2");
}

TEST(ParseDate, AppendedLayouts)
{
    const double jan2 = DayFromYmd(2024, 1, 2);
    for (const char* t : {"2024-01-02", "2024.01.02", "2024/1/2", "2024-01-02 00:00:00",
                          "2024-01-02T00:00", " 2024-01-02 "})
        EXPECT_EQ(ParseDate(t, YearMonthDay), jan2) << t;
    for (const char* t : {"24-01-02", "2024-01-022", "2024-01/02", "2024-13-02", "02.01.2024"})
        EXPECT_EQ(ParseDate(t, YearMonthDay), 0) << t;
    EXPECT_EQ(ParseDate("02.01.2024", DayMonthYearDots), jan2);
    EXPECT_EQ(ParseDate("2.1.2024 09:30", DayMonthYearDots), jan2);
    EXPECT_EQ(ParseDate("31.02.2024", DayMonthYearDots), 0);
    // The design's layouts keep their own rules.
    EXPECT_EQ(ParseDate("2024-01-02", MonthDayYear), 0);
    EXPECT_EQ(DateLayoutNames().size(), int(DateLayoutCount));
    EXPECT_EQ(DateLayoutNames()[5], QString());
}

TEST(ParseDate, HeaderNamesDecideTheColumns)
{
    FileLayout l;
    ASSERT_TRUE(ColumnsFromHeader("Date,Close/Last,Volume,Open,High,Low", ',', l));
    EXPECT_EQ(l.closeColumn, 2);
    EXPECT_EQ(l.openColumn, 4);
    ASSERT_TRUE(ColumnsFromHeader("<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>", ';', l));
    EXPECT_EQ(l.dateColumn, 1);
    EXPECT_EQ(l.openColumn, 3);
    ASSERT_TRUE(ColumnsFromHeader("date,adj close,close", ',', l));
    EXPECT_EQ(l.closeColumn, 3);
    ASSERT_TRUE(ColumnsFromHeader("Date,Price", ',', l)); // closes only: a tick a day
    EXPECT_EQ(l.openColumn, 2);
    EXPECT_EQ(l.highColumn, 2);
    EXPECT_FALSE(ColumnsFromHeader("a,b,c", ',', l));
}
