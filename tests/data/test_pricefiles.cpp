// Price files as traders download them: each kind, written here, opens with
// the default settings and charts its last 261 days in date order.
#include <QDate>
#include <QLocale>
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
std::vector<Day> MakeDays(const std::vector<QDate>& dates, double scale = 1)
{
    std::vector<Day> days;
    for (size_t i = 0; i < dates.size(); ++i) {
        const double c = std::round((100 + 20 * std::sin(i / 15.0) + i * 0.05) * scale * 100) / 100;
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
        const auto& g = s->GloVar;
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

namespace {
// An export as a site writes it: {d} is the date in dateFormat (English month
// names), {o} {h} {l} {c} the prices and {a} an adjusted close.
struct Export {
    const char* name;
    const char* header;
    const char* line;
    const char* dateFormat;
    enum { Plain, DecimalComma, Thousands } prices;
    bool newestFirst, crlf, bom;
    int layout;
    char separator;
    int open, high, low, close;
    const char* said; // in the one message of the load
};

const Export Exports[] = {
    {"IsoDatesAdjCloseAndVolume", "Date,Open,High,Low,Close,Adj Close,Volume",
     "{d},{o},{h},{l},{c},{a},123456", "yyyy-MM-dd", Export::Plain, false, false, false,
     YearMonthDay, ',', 2, 3, 4, 5, "A right click on File changes this."}, // Close, not Adj Close
    {"NewestFirstDollarsCrLf", "Date,Close/Last,Volume,Open,High,Low",
     "{d},${c},998877,${o},${h},${l}", "MM/dd/yyyy", Export::Plain, true, true, false, MonthDayYear,
     ',', 4, 5, 6, 2, "The newest day comes first"},
    {"TabsAngleBracketsDottedIso", "<DATE>\t<OPEN>\t<HIGH>\t<LOW>\t<CLOSE>\t<TICKVOL>",
     "{d}\t{o}\t{h}\t{l}\t{c}\t77", "yyyy.MM.dd", Export::Plain, false, false, false, YearMonthDay,
     '\t', 2, 3, 4, 5, "dates as yyyy-mm-dd"},
    {"SemicolonsDottedDatesDecimalCommas", "Datum;Erster;Hoch;Tief;Schluss", "{d};{o};{h};{l};{c}",
     "dd.MM.yyyy", Export::DecimalComma, false, false, false, DayMonthYearDots, ';', 2, 3, 4, 5,
     "dates as dd.mm.yyyy"},
    // Its first data line fits the layout in force: only the header tells Price from Open.
    {"QuotedHeaderWithByteOrderMark",
     "\"Date\",\"Price\",\"Open\",\"High\",\"Low\",\"Vol.\",\"Change %\"",
     "\"{d}\",\"{c}\",\"{o}\",\"{h}\",\"{l}\",\"12.5M\",\"-0.25%\"", "MM/dd/yyyy", Export::Plain,
     true, false, true, MonthDayYear, ',', 3, 4, 5, 2, "Close 2"},
    // Month names; thousands separators and quotes around every field.
    {"ShortMonthNameFirst", "Date,Open,High,Low,Close,Volume",
     "\"{d}\",\"{o}\",\"{h}\",\"{l}\",\"{c}\",\"7,001\"", "MMM d, yyyy", Export::Thousands, false,
     false, false, MonthNameDayYear, ',', 2, 3, 4, 5, "dates as mmm d, yyyy"},
    {"LongMonthNameFirst", "Date,Open,High,Low,Close,Volume",
     "\"{d}\",\"{o}\",\"{h}\",\"{l}\",\"{c}\",\"7,001\"", "MMMM d, yyyy", Export::Thousands, false,
     false, false, MonthNameDayYear, ',', 2, 3, 4, 5, ""},
    {"DayMonthNameYear", "Date,Open,High,Low,Close,Volume", "{d},{o},{h},{l},{c},7.1K",
     "dd MMM yyyy", Export::Plain, false, false, false, DayMonthNameYear, ',', 2, 3, 4, 5,
     "dates as dd mmm yyyy"},
    {"DayMonthNameShortYear", "Date,Open,High,Low,Close,Volume", "{d},{o},{h},{l},{c},7.1K",
     "d-MMM-yy", Export::Plain, false, false, false, DayMonthNameShortYear, ',', 2, 3, 4, 5,
     "dates as d-mmm-yy"},
    {"DayMonthNameYearDashes", "Date,Open,High,Low,Close,Volume", "{d},{o},{h},{l},{c},7.1K",
     "dd-MMM-yyyy", Export::Plain, false, false, false, DayMonthNameYearDashes, ',', 2, 3, 4, 5,
     "dates as dd-mmm-yyyy"},
    {"YearMonthNameDay", "Date,Open,High,Low,Close,Volume", "{d},{o},{h},{l},{c},7.1K",
     "yyyy-MMM-dd", Export::Plain, false, false, false, YearMonthNameDay, ',', 2, 3, 4, 5,
     "dates as yyyy-mmm-dd"},
    // Three header lines; tickers with digits in them are names all the same.
    {"ThreeHeaderLinesTickerWithDigits",
     "Price,Close,High,Low,Open,Volume\nTicker,0700.HK,0700.HK,0700.HK,0700.HK,0700.HK\nDate,,,,,",
     "{d},{c},{h},{l},{o},0", "yyyy-MM-dd", Export::Plain, false, false, false, YearMonthDay, ',',
     5, 3, 4, 2, ""},
    {"ThreeHeaderLinesTickerWithEquals",
     "Price,Close,High,Low,Open,Volume\nTicker,6E=F,6E=F,6E=F,6E=F,6E=F\nDate,,,,,",
     "{d},{c},{h},{l},{o},0", "yyyy-MM-dd", Export::Plain, false, false, false, YearMonthDay, ',',
     5, 3, 4, 2, ""},
};

void PrintTo(const Export& e, std::ostream* os)
{
    *os << e.name;
}

class Exported : public PriceFiles, public ::testing::WithParamInterface<Export> {};
} // namespace

TEST_P(Exported, OpensWithItsLayoutKeptAndCharts)
{
    const Export& e = GetParam();
    const auto days =
        MakeDays(Weekdays(QDate(2019, 7, 1), 700), e.prices == Export::Thousands ? 20 : 1);
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const auto price = [&e, &english](double v) {
        return e.prices == Export::Thousands ? english.toString(v, 'f', 2)
                                             : Num(v, e.prices == Export::DecimalComma);
    };
    QByteArray bytes = Lines(
        QString::fromUtf8(e.header), days,
        [&](const Day& d) {
            return QString::fromUtf8(e.line)
                .replace(QLatin1String("{d}"),
                         QLocale::c().toString(d.date, QString::fromLatin1(e.dateFormat)))
                .replace(QLatin1String("{o}"), price(d.open))
                .replace(QLatin1String("{h}"), price(d.high))
                .replace(QLatin1String("{l}"), price(d.low))
                .replace(QLatin1String("{c}"), price(d.close))
                .replace(QLatin1String("{a}"), price(d.close * 0.9));
        },
        e.newestFirst, e.crlf ? "\r\n" : "\n");
    if (e.bom)
        bytes.prepend("\xEF\xBB\xBF");
    Open(WriteFile(dir, QStringLiteral("export.csv"), bytes));
    const auto& g = s->GloVar;
    EXPECT_EQ(g.DateFormat, e.layout);
    EXPECT_EQ(g.FieldSeparator, e.separator);
    EXPECT_TRUE(g.HasHeaderLine);
    EXPECT_EQ(g.NewestFirst, e.newestFirst);
    EXPECT_EQ(std::vector<int>({g.OpenColumn, g.HighColumn, g.LowColumn, g.CloseColumn}),
              std::vector<int>({e.open, e.high, e.low, e.close}));
    ASSERT_EQ(Messages().size(), 1) << Messages().join('|').toStdString();
    EXPECT_TRUE(Messages()[0].contains(QString::fromUtf8(e.said))) << Messages()[0].toStdString();
    Expect(days);
    EXPECT_EQ(Messages().size(), 1); // a fitting load says nothing more
    // The layout was kept in fsetup.dat: the date layout on line 7, the separator on line 11.
    const QList<QByteArray> kept = ReadBytes(s->SettingsPath()).split('\n');
    ASSERT_GE(kept.size(), 11);
    EXPECT_EQ(kept[6], QByteArray::number(e.layout) + '\r');
    EXPECT_EQ(SeparatorFromText(kept[10].trimmed().toStdString()), e.separator);
    // Navigation walks the dates as for an ascending file.
    s->ToolButton1Click();
    EXPECT_EQ(g.Prices[1].Date, DayNumber(days[700 - 261 - 260].date));
    EXPECT_LT(g.Prices[1].Date, g.Prices[2].Date);
}

INSTANTIATE_TEST_SUITE_P(Rows, Exported, ::testing::ValuesIn(Exports),
                         [](const testing::TestParamInfo<Export>& row) {
                             return std::string(row.param.name);
                         });

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
    EXPECT_EQ(s->GloVar.DateFormat, DayMonthYear);
    ASSERT_EQ(Messages().size(), 1);
    EXPECT_TRUE(Messages()[0].contains(QStringLiteral("dates as dd/mm/yyyy;")));
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
    EXPECT_EQ(s->GloVar.DateFormat, MonthDayYear); // the layout in force reads them month first
    ASSERT_EQ(Messages().size(), 1);
    EXPECT_TRUE(Messages()[0].contains(QStringLiteral("mm/dd/yyyy is a guess")));
}

TEST_F(PriceFiles, AFileNoLayoutFitsIsRefusedWithItsLine)
{
    const std::pair<QByteArray, QByteArray> rows[] = {
        {"Date,Open,High,Low,Close\nyesterday,1,2,3,4\ntoday,1,2,3,4\n", "yesterday,1,2,3,4"},
        {"h\n" + QByteArray(",,,,,,,,\n").repeated(300), ",,,,,,,,"},
    };
    for (const auto& [bytes, line] : rows) {
        OpenWeekdays(50);
        ASSERT_TRUE(s->ui[Ctl::PlotBtn].enabled);
        prompts.events.clear();
        Open(WriteFile(dir, QStringLiteral("words.csv"), bytes));
        EXPECT_FALSE(s->ui[Ctl::DateBtn].enabled);
        EXPECT_FALSE(s->ui[Ctl::PlotBtn].enabled);
        EXPECT_EQ(s->GloVar.RecordCount, 0);
        EXPECT_EQ(prompts.events,
                  QStringList({QStringLiteral("beep"),
                               QStringLiteral("message:Aurigon:\"words.csv\" cannot be charted: "
                                              "no date reads in line 2:\n\"%1\"")
                                   .arg(QLatin1String(line))}));
        EXPECT_EQ(s->GloVar.DateFormat, 1); // the layout in force is left alone
    }
}

TEST_F(PriceFiles, LinesWithoutARecordAtTheEndsAreLeftOutAndNamedOnce)
{
    const QByteArray sample = WeekdayFile(400);
    const struct {
        const char* name;
        QByteArray bytes;
        const char* said; // the line left out, after "ends.txt"
    } rows[] = {
        {"empty line", sample + "\n", "line 402: \"\""},
        {"extra CR LF", sample + "\r\n", "line 402: \"\""},
        {"blanks", sample + "    \n", "line 402"},
        {"commas", sample + ",,,,\n", "line 402"},
        {"footer", sample + "Source: Example Data Inc., 2024\n",
         "line 402: \"Source: Example Data Inc., 2024\""},
        {"null row", sample + "01/02/2007,null,null,null,null\n", "line 402"},
        {"blank after the header", "Date,Open,High,Low,Close\n\n" + sample.mid(25), "line 2"},
        {"no date at the start",
         "Date,Open,High,Low,Close\n\xc3\x28/01/2005,1,2,0.5,1\n" + sample.mid(25), "line 2"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        prompts.events.clear();
        Open(WriteFile(dir, QStringLiteral("ends.txt"), r.bytes));
        EXPECT_EQ(s->GloVar.RecordCount, 400);
        ASSERT_EQ(Messages().size(), 1);
        EXPECT_TRUE(Messages()[0].contains(
            QStringLiteral("1 line at the start or the end holds no record and is "
                           "left out; the first is the one of \"ends.txt\": ") +
            QLatin1String(r.said)))
            << Messages()[0].toStdString();
        s->PlotBtnClick();
        ASSERT_TRUE(s->GloVar.ChartShown);
        EXPECT_EQ(s->GloVar.LoadedCount, 261);
        EXPECT_EQ(s->GloVar.Prices[261].Close, 499);
        EXPECT_EQ(Messages().size(), 1);
        s->PlotBtnClick();
    }
}

TEST_F(PriceFiles, LinesWithoutPricesInsideAreSlotsWithoutABar)
{
    QList<QByteArray> lines = WeekdayFile(400).split('\n');
    lines[300] = lines[300].left(11) + "null,null,null,null"; // a day the index was not computed
    lines[350] = "";
    lines[250] = lines[250].replace(",", ",x");     // prices that do not convert
    lines[380] = "13/45/2006" + lines[380].mid(10); // a date that does not read
    Open(WriteFile(dir, QStringLiteral("nulls.txt"), lines.join('\n')));
    EXPECT_EQ(s->GloVar.RecordCount, 400);
    EXPECT_TRUE(Messages().isEmpty());
    s->PlotBtnClick();
    ASSERT_TRUE(s->GloVar.ChartShown);
    ASSERT_EQ(s->GloVar.LoadedCount, 261);
    // Records 140..400: line 301 is record 300, slot 161; line 351 slot 211.
    EXPECT_TRUE(s->GloVar.Prices[161].IsBlank);
    EXPECT_TRUE(s->GloVar.Prices[211].IsBlank);
    EXPECT_EQ(s->GloVar.Prices[211].Date, s->GloVar.Prices[210].Date);
    EXPECT_FALSE(s->GloVar.Prices[212].IsBlank);
    // The line whose date does not read keeps its slot without a bar, dated
    // as the day before, not a bar dated 1899 at the chart's foot.
    EXPECT_TRUE(s->GloVar.Prices[241].IsBlank);
    EXPECT_EQ(s->GloVar.Prices[241].Date, s->GloVar.Prices[240].Date);
    EXPECT_EQ(s->GloVar.ChartLow, 238); // the slots take no part in the range
    const QStringList said = Messages();
    ASSERT_EQ(said.size(), 2);
    EXPECT_EQ(said[0],
              QStringLiteral("message:Aurigon:2 lines hold no prices; the first is the one of "
                             "\"nulls.txt\": line 301: \"") +
                  QString::fromLatin1(lines[300]) + "\"");
    EXPECT_TRUE(
        said[1].endsWith(QStringLiteral("2 lines could not be read; the first is the one of "
                                        "\"nulls.txt\": line 251: \"") +
                         QString::fromLatin1(lines[250]) + "\""))
        << said[1].toStdString();
    s->ToolButton1Click(); // navigation does not say it again
    s->ToolButton2Click();
    EXPECT_EQ(Messages().size(), 2);
}

TEST_F(PriceFiles, ADateOutOfOrderIsNamedAndTheChartRunsForward)
{
    QByteArray bytes = WeekdayFile(400) + "01/02/2004,1,2,0.5,1\n";
    Open(WriteFile(dir, QStringLiteral("late.txt"), bytes));
    EXPECT_FALSE(s->GloVar.NewestFirst);
    EXPECT_EQ(s->GloVar.RecordCount, 401);
    ASSERT_EQ(Messages().size(), 1);
    EXPECT_TRUE(
        Messages()[0].contains(QStringLiteral("line 402: 2 Jan 2004 comes after 14 Jul 2006")))
        << Messages()[0].toStdString();
    s->PlotBtnClick();
    ASSERT_TRUE(s->GloVar.ChartShown);
    EXPECT_EQ(Messages().size(), 1); // said once
    for (int k = 2; k <= s->GloVar.LoadedCount; ++k)
        EXPECT_LE(s->GloVar.Prices[size_t(k - 1)].Date, s->GloVar.Prices[size_t(k)].Date) << k;
}

TEST_F(PriceFiles, AFileWithoutAHeaderOrWithColumnsThatDisagree)
{
    // No header, High and Low swapped: every line would have High below Low.
    QByteArray swapped;
    for (const QByteArray& l : WeekdayFile(300, false).split('\n')) {
        const QList<QByteArray> f = l.split(',');
        if (f.size() == 5)
            swapped += f[0] + ',' + f[1] + ',' + f[3] + ',' + f[2] + ',' + f[4] + '\n';
    }
    Open(WriteFile(dir, QStringLiteral("swapped.txt"), swapped));
    EXPECT_EQ(s->GloVar.HighColumn, 4);
    EXPECT_EQ(s->GloVar.LowColumn, 3);
    EXPECT_EQ(s->GloVar.RecordCount, 300); // the first line is a record, not a header
    ASSERT_EQ(Messages().size(), 1);
    EXPECT_TRUE(Messages()[0].contains(QStringLiteral("no header line")));
    // The header names them so, yet no line agrees: the prices are read the
    // other way round, and that is said, rather than drawn upside down.
    prompts.events.clear();
    Open(WriteFile(dir, QStringLiteral("named.txt"), "Date,Open,High,Low,Close\n" + swapped));
    EXPECT_EQ(s->GloVar.HighColumn, 4);
    EXPECT_EQ(s->GloVar.LowColumn, 3);
    ASSERT_EQ(Messages().size(), 1);
    EXPECT_TRUE(Messages()[0].contains(QStringLiteral("read from fields 2, 4, 3 and 5 they pass")))
        << Messages()[0].toStdString();
    s->PlotBtnClick();
    ASSERT_TRUE(s->GloVar.ChartShown);
    EXPECT_EQ(Messages().size(), 1) << prompts.events.join('|').toStdString();
    s->PlotBtnClick();
    // Prices too far apart for a scale are said, not drawn as nothing.
    prompts.events.clear();
    Open(WriteFile(
        dir, QStringLiteral("wide.txt"),
        "Date,Open,High,Low,Close\n01/03/2005,1,1.7e308,-1.7e308,1\n01/04/2005,1,2,0.5,1\n"));
    s->PlotBtnClick();
    EXPECT_TRUE(prompts.any(QStringLiteral("message:Aurigon:The prices of \"wide.txt\" run from")));
}

// Lines ending in CR alone: the scan's
// LineMarks.ARangeReadFromTheMarksIsTheRangeCountedFromTheStart/CR.
TEST_F(PriceFiles, AHeaderBeyondTheLastFieldNumberNamesNoColumn)
{
    // A Close past field 32767 names nothing the settings could hold.
    QByteArray wide = "Date";
    for (int i = 0; i < 40000; ++i)
        wide += ",x";
    EXPECT_FALSE(
        ColumnsFromHeader(std::string_view(wide.constData(), size_t(wide.size())), ',', {}));
    wide += ",Close";
    EXPECT_FALSE(
        ColumnsFromHeader(std::string_view(wide.constData(), size_t(wide.size())), ',', {}));
    Open(WriteFile(dir, QStringLiteral("wide.txt"), wide + "\n" + WeekdayFile(300, false)));
    EXPECT_EQ(s->GloVar.RecordCount, 300);
    EXPECT_EQ(s->GloVar.CloseColumn, 5);
}
