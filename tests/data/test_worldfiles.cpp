// Price files from exports outside the US and from trading terminals: each
// kind, written here as such files hold it, reads its dates and prices.
#include <QDate>
#include <QRegularExpression>
#include <QStringEncoder>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <set>

#include "data/Dates.h"
#include "data/HeaderNames.h"
#include "data/LayoutDetect.h"
#include "data/Numbers.h"
#include "data/PriceReader.h"
#include "tests/Support.h"

namespace {
double DayOf(const char* iso)
{
    return double(
        QDate(1899, 12, 30).daysTo(QDate::fromString(QString::fromLatin1(iso), Qt::ISODate)));
}

struct Bar {
    const char* date; // yyyy-mm-dd
    double open, high, low, close;
};

enum class Coding { Utf8, Utf16Le, Gbk, Cp1251 };

struct Kind {
    const char* name;
    const char* text; // UTF-8 as written here; stored in coding
    Coding coding;
    int records;
    Bar first, last;  // in date order
    const char* said; // a message that must be among them, or empty
};

const Kind Kinds[] = {
    {"EpochSecondsWithIndicatorColumns",
     "time,open,high,low,close,Volume,Basis,Upper\n"
     "1577923200,3244.67,3258.14,3235.53,3257.85,NaN,NaN,NaN\n"
     "1578009600,3226.36,3246.15,3222.34,3234.85,NaN,NaN,NaN\n"
     "1578355200,3217.55,3246.84,3214.64,3246.28,NaN,NaN,NaN\n"
     "1578441600,3238.59,3267.07,3236.67,3237.18,3232.4,3201.1,3263.7\n",
     Coding::Utf8,
     4,
     {"2020-01-02", 3244.67, 3258.14, 3235.53, 3257.85},
     {"2020-01-08", 3238.59, 3267.07, 3236.67, 3237.18},
     "unix time"},
    {"EpochMillisecondsWithSecondsOnOlderRows",
     "timestamp,open,high,low,close,volume\n"
     "1514764800.0,13715.65,13818.55,12750.0,13380.0,8609.9\n"
     "1514851200,13382.16,15473.49,12890.02,14675.11,20078.09\n"
     "1514937600000,14690.0,15307.56,14150.0,14919.49,15905.66\n"
     "1515024000000,14919.49,15280.0,13918.04,15059.54,21329.64\n",
     Coding::Utf8,
     4,
     {"2018-01-01", 13715.65, 13818.55, 12750.0, 13380.0},
     {"2018-01-04", 14919.49, 15280.0, 13918.04, 15059.54},
     ""},
    {"IsoDateTimesWithZoneAndOffset",
     "Date,Open,High,Low,Close\n"
     "2020-01-02T00:00:00Z,74.06,75.15,73.80,75.09\n"
     "2020-01-03 00:00:00+01:00,74.29,75.14,74.13,74.36\n"
     "2020-01-06T00:00:00-05:00,73.45,74.99,73.19,74.95\n",
     Coding::Utf8,
     3,
     {"2020-01-02", 74.06, 75.15, 73.80, 75.09},
     {"2020-01-06", 73.45, 74.99, 73.19, 74.95},
     ""},
    {"TimeFieldWithoutHeader",
     "2006.02.24,00:00,1.1890,1.1925,1.1870,1.1910,12345\n"
     "2006.02.27,00:00,1.1905,1.1935,1.1860,1.1880,13001\n"
     "2006.02.28,00:00,1.1880,1.1920,1.1855,1.1915,11876\n",
     Coding::Utf8,
     3,
     {"2006-02-24", 1.1890, 1.1925, 1.1870, 1.1910},
     {"2006-02-28", 1.1880, 1.1920, 1.1855, 1.1915},
     "no header line"},
    {"TwoDigitYearsAfterABlankNewestFirst",
     "Date, Open, High, Low, Close\n"
     "01/05/05, 10630.78, 10630.78, 10587.12, 10597.83\n"
     "01/04/05, 10783.75, 10804.38, 10600.55, 10630.78\n"
     "01/03/05, 10783.01, 10854.54, 10729.11, 10729.43\n",
     Coding::Utf8,
     3,
     {"2005-01-03", 10783.01, 10854.54, 10729.11, 10729.43},
     {"2005-01-05", 10630.78, 10630.78, 10587.12, 10597.83},
     ""},
    {"SemicolonsWithDecimalPoints",
     "Date;Open;High;Low;Close;Volume\n"
     "2020-01-02;259.1000000;262.5000000;258.2500000;261.0000000;1234567\n"
     "2020-01-03;260.0000000;261.7500000;257.5000000;258.1000000;1102233\n",
     Coding::Utf8,
     2,
     {"2020-01-02", 259.1, 262.5, 258.25, 261.0},
     {"2020-01-03", 260.0, 261.75, 257.5, 258.1},
     ""},
    {"RussianQuotedDecimalCommas",
     "\"Дата\",\"Цена\",\"Откр.\",\"Макс.\",\"Мин.\",\"Объём\",\"Изм. %\"\n"
     "\"06.01.2020\",\"256,09\",\"254,75\",\"256,70\",\"253,60\",\"23,11M\",\"0,64%\"\n"
     "\"03.01.2020\",\"254,46\",\"256,70\",\"257,20\",\"253,50\",\"29,70M\",\"-0,61%\"\n",
     Coding::Utf8,
     2,
     {"2020-01-03", 256.70, 257.20, 253.50, 254.46},
     {"2020-01-06", 254.75, 256.70, 253.60, 256.09},
     ""},
    {"ThousandsDotDecidedByVolumeAndChange",
     "\"Date\",\"Price\",\"Open\",\"High\",\"Low\",\"Vol.\",\"Change %\"\n"
     "\"03.01.2020\",\"106.814\",\"105.903\",\"107.012\",\"105.500\",\"3,45M\",\"0,86%\"\n"
     "\"02.01.2020\",\"105.903\",\"104.012\",\"106.100\",\"103.990\",\"2,98M\",\"1,82%\"\n",
     Coding::Utf8,
     2,
     {"2020-01-02", 104012, 106100, 103990, 105903},
     {"2020-01-03", 105903, 107012, 105500, 106814},
     ""},
    {"PortugueseHeader",
     "Data;Último;Abertura;Máxima;Mínima;Vol.;Var%\n"
     "03.01.2020;\"2.371,07\";\"2.350,00\";\"2.380,50\";\"2.345,10\";\"1,5M\";\"0,89%\"\n"
     "06.01.2020;\"2.380,00\";\"2.372,00\";\"2.391,25\";\"2.360,40\";\"1,2M\";\"0,38%\"\n",
     Coding::Utf8,
     2,
     {"2020-01-03", 2350.00, 2380.50, 2345.10, 2371.07},
     {"2020-01-06", 2372.00, 2391.25, 2360.40, 2380.00},
     "Portuguese"},
    {"GermanHeader",
     "Datum;Zuletzt;Eröffn.;Hoch;Tief;Vol.;+/- %\n"
     "03.01.2020;13.219,14;13.233,71;13.407,66;13.180,00;75,87M;-1,25%\n"
     "02.01.2020;13.385,93;13.233,71;13.407,66;13.220,66;64,12M;1,55%\n",
     Coding::Utf8,
     2,
     {"2020-01-02", 13233.71, 13407.66, 13220.66, 13385.93},
     {"2020-01-03", 13233.71, 13407.66, 13180.00, 13219.14},
     "German"},
    {"Utf16LittleEndianTabs",
     "Date\tOpen\tHigh\tLow\tClose\tVolume\n"
     "2020-01-02\t74.06\t75.15\t73.80\t75.09\t135480400\n"
     "2020-01-03\t74.29\t75.14\t74.13\t74.36\t146322800\n",
     Coding::Utf16Le,
     2,
     {"2020-01-02", 74.06, 75.15, 73.80, 75.09},
     {"2020-01-03", 74.29, 75.14, 74.13, 74.36},
     ""},
    {"GbkTitleHeaderAndFooter",
     "上证指数 (000001)\r\n"
     "      日期\t    开盘\t    最高\t    最低\t    收盘\t    成交量\r\n"
     "2020/01/02\t3066.34\t3098.10\t3066.34\t3085.20\t292470208\r\n"
     "2020/01/03\t3089.02\t3093.82\t3074.52\t3083.79\t261496667\r\n"
     "2020/01/06\t3070.91\t3107.20\t3065.31\t3083.41\t312575842\r\n"
     "数据来源:通达信\r\n",
     Coding::Gbk,
     3,
     {"2020-01-02", 3066.34, 3098.10, 3066.34, 3085.20},
     {"2020-01-06", 3070.91, 3107.20, 3065.31, 3083.41},
     "数据来源"},
    {"Windows1251Header",
     "Дата;Откр.;Макс.;Мин.;Закр.\n"
     "03.01.2020;254,75;257,20;253,50;254,46\n"
     "06.01.2020;254,75;256,70;253,60;256,09\n",
     Coding::Cp1251,
     2,
     {"2020-01-03", 254.75, 257.20, 253.50, 254.46},
     {"2020-01-06", 254.75, 256.70, 253.60, 256.09},
     ""},
};

void PrintTo(const Kind& k, std::ostream* os)
{
    *os << k.name;
}

QByteArray Encoded(const Kind& k)
{
    const QString text = QString::fromUtf8(k.text);
    switch (k.coding) {
    case Coding::Utf8: return text.toUtf8();
    case Coding::Utf16Le: {
        QStringEncoder e(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
        return e.encode(text);
    }
    case Coding::Gbk: {
        QStringEncoder e("GB18030");
        return e.encode(text);
    }
    case Coding::Cp1251: {
        QStringEncoder e("windows-1251");
        return e.encode(text);
    }
    }
    return {};
}

class WorldFiles : public SessionTest, public ::testing::WithParamInterface<Kind> {
protected:
    QStringList Messages() const { return prompts.events.filter(QStringLiteral("message:")); }
};

void ExpectBar(const PriceRecord& r, const Bar& b)
{
    EXPECT_EQ(r.Date, DayOf(b.date)) << b.date;
    EXPECT_DOUBLE_EQ(r.Open, b.open) << b.date;
    EXPECT_DOUBLE_EQ(r.High, b.high) << b.date;
    EXPECT_DOUBLE_EQ(r.Low, b.low) << b.date;
    EXPECT_DOUBLE_EQ(r.Close, b.close) << b.date;
}
} // namespace

TEST_P(WorldFiles, ReadsItsDatesAndPrices)
{
    const Kind& k = GetParam();
    const QByteArray bytes = Encoded(k);
    if (k.coding != Coding::Utf8) {
        ASSERT_NE(bytes, QByteArray(k.text)); // really another encoding
    }
    Open(WriteFile(dir, QStringLiteral("export.csv"), bytes));
    const auto& g = s->GloVar;
    ASSERT_EQ(g.RecordCount, k.records) << prompts.events.join('|').toStdString();
    EXPECT_EQ(g.FirstFileDate, DayOf(k.first.date));
    EXPECT_EQ(g.LastFileDate, DayOf(k.last.date));
    ASSERT_TRUE(s->ui[Ctl::PlotBtn].enabled);
    s->PlotBtnClick();
    ASSERT_TRUE(g.ChartShown) << prompts.events.join('|').toStdString();
    ASSERT_EQ(g.LoadedCount, k.records);
    ExpectBar(g.Prices[1], k.first);
    ExpectBar(g.Prices[size_t(k.records)], k.last);
    const QString all = Messages().join('|');
    EXPECT_TRUE(all.contains(QString::fromUtf8(k.said))) << all.toStdString();
    // Nothing was misread: no line unreadable, no disagreeing prices.
    EXPECT_FALSE(all.contains(QStringLiteral("could not be read"))) << all.toStdString();
    EXPECT_FALSE(all.contains(QStringLiteral("High below Low"))) << all.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Kinds, WorldFiles, ::testing::ValuesIn(Kinds),
                         [](const testing::TestParamInfo<Kind>& row) {
                             return std::string(row.param.name);
                         });

TEST(DecimalMark, DecidedByWhatTheNumbersAre)
{
    const struct {
        const char* name;
        std::vector<std::string_view> fields;
        char fallback, mark;
        bool ambiguous;
    } rows[] = {
        {"points", {"259.1000000", "1234567"}, ',', '.', false},
        {"commas", {"573,65", "\"2,50\""}, '.', ',', false},
        {"both marks, comma last", {"2.371,07"}, '.', ',', false},
        {"both marks, point last", {"\"1,234.56\""}, ',', '.', false},
        {"repeated points are thousands", {"1.234.567"}, '.', ',', false},
        {"thousands dot decided by volume", {"106.814", "3,45M", "0,86%"}, '.', ',', false},
        {"three decimals alone", {"106.814", "105.903"}, ',', ',', true},
        {"three decimals with a plain price", {"106.814", "105.9"}, ',', '.', false},
        {"leading zero is a decimal", {"0.125"}, ',', '.', false},
        {"no marks", {"100", "2500"}, ',', ',', false},
        {"dates are no numbers", {"24.02.2006", "1.2.2020"}, ',', ',', false},
        {"times are no numbers", {"00:00", "10:30:00"}, '.', '.', false},
        {"currency and sign", {"-$1,234.50"}, ',', '.', false},
    };
    for (const auto& r : rows) {
        const DecimalMark m = DecimalMarkOf(r.fields, r.fallback);
        EXPECT_EQ(m.mark, r.mark) << r.name;
        EXPECT_EQ(m.ambiguous, r.ambiguous) << r.name;
    }
}

// The exports of the WorldFiles kinds are read there, prices and all.
TEST(HeaderNames, HeadersAsExportsWriteThem)
{
    const struct {
        const char* header;
        char separator;
        std::vector<int> columns; // date, open, high, low, close; empty: refused
    } rows[] = {
        {"Datum;Eröffnung;Hoch;Tief;Schlusskurs;Volumen", ';', {1, 2, 3, 4, 5}},
        {"Date;Ouverture;Plus Haut;Plus Bas;Clôture;Volume", ';', {1, 2, 3, 4, 5}},
        {"Fecha,Último,Apertura,Máximo,Mínimo,Vol.,% var.", ',', {1, 3, 4, 5, 2}},
        {"Data,Ultimo,Apertura,Massimo,Minimo,Vol.,Var. %", ',', {1, 3, 4, 5, 2}},
        {"Datum,Laatst,Openen,Hoog,Laag,Vol.,Verandering %", ',', {1, 3, 4, 5, 2}},
        {"Data,Ostatnio,Otwarcie,Max.,Min.,Wol.,Zmiana%", ',', {1, 3, 4, 5, 2}},
        {"Tarih,Şimdi,Açılış,Yüksek,Düşük,Hac.,Fark %", ',', {1, 3, 4, 5, 2}},
        {"日期\t开盘\t最高\t最低\t收盘\t成交量", '\t', {1, 2, 3, 4, 5}},
        {"日期,開盤價,最高價,最低價,收盤價,成交量", ',', {1, 2, 3, 4, 5}},
        {"日付,始値,高値,安値,終値,出来高,調整後終値", ',', {1, 2, 3, 4, 5}},
        {"날짜,시가,고가,저가,종가,거래량", ',', {1, 2, 3, 4, 5}},
        {"<DATE>;<TIME>;<OPEN>;<HIGH>;<LOW>;<CLOSE>", ';', {1, 3, 4, 5, 6}},
        {"Date,Time,Open,High,Low,Close", ',', {1, 3, 4, 5, 6}},
        {"date,adj close,close", ',', {1, 3, 3, 3, 3}},
        {"Date,Price", ',', {1, 2, 2, 2, 2}}, // closes only: a tick a day
        {"a,b,c", ',', {}},
        // High and Low named, the close under another name: the first price column left.
        {"Date,Open,High,Low,Settle,Volume", ',', {1, 2, 3, 4, 5}},
        {"Date,Volume,High,Low,Schluss", ',', {1, 5, 3, 4, 5}},     // no open: a tick at the close
        {"Date,Open,High,Low,Vol.,Change %", ',', {1, 2, 3, 4, 2}}, // nothing left but the open
        {"Date,High,Volume", ',', {}},
    };
    for (const auto& r : rows) {
        const std::optional<FileLayout> read = ColumnsFromHeader(r.header, r.separator, {});
        ASSERT_EQ(read.has_value(), !r.columns.empty()) << r.header;
        if (read) {
            EXPECT_EQ(std::vector<int>({read->dateColumn, read->openColumn, read->highColumn,
                                        read->lowColumn, read->closeColumn}),
                      r.columns)
                << r.header;
        }
    }
}

TEST(Encodings, DecodedOnceIntoUtf8)
{
    const QString header = QStringLiteral("Дата;Откр.;Макс.;Мин.;Закр.\n01.02.2020;1;2;0,5;1\n");
    const struct {
        const char* name;
        QByteArray bytes;
        const char* encoding; // empty: read as it is
    } rows[] = {
        {"UTF-8", header.toUtf8(), ""},
        {"UTF-8 with its mark", "\xEF\xBB\xBF" + header.toUtf8(), ""},
        {"UTF-16 LE",
         QStringEncoder(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom).encode(header),
         "UTF-16LE"},
        {"UTF-16 BE",
         QStringEncoder(QStringEncoder::Utf16BE, QStringEncoder::Flag::WriteBom).encode(header),
         "UTF-16BE"},
        {"Windows-1251", QStringEncoder("windows-1251").encode(header), "windows-1251"},
        {"GB18030", QStringEncoder("GB18030").encode(QStringLiteral("日期,开盘,最高,最低,收盘\n")),
         "GB18030"},
        {"Windows-1252",
         QStringEncoder("windows-1252").encode(QStringLiteral("Date;Ouverture;Clôture\n")),
         "windows-1252"},
        // One stray byte among whole UTF-8 letters: still UTF-8.
        {"UTF-8 with a stray byte", header.toUtf8() + "\xC3\x28\n", ""},
    };
    for (const auto& r : rows) {
        LineReader reader;
        ASSERT_TRUE(
            reader.open(PriceSource::InMemory({r.bytes.constData(), size_t(r.bytes.size())})));
        EXPECT_EQ(reader.encoding(), QString::fromLatin1(r.encoding)) << r.name;
        const std::optional<std::string_view> line = reader.next();
        ASSERT_TRUE(line) << r.name;
        const QString first = QString::fromUtf8(line->data(), qsizetype(line->size()));
        EXPECT_TRUE(first.startsWith(r.name == std::string("GB18030") ? QStringLiteral("日期")
                                     : r.name == std::string("Windows-1252")
                                         ? QStringLiteral("Date;Ouverture;Clôture")
                                         : QStringLiteral("Дата;Откр.")))
            << r.name << ": " << first.toStdString();
    }
}

namespace {
class MisreadGuard : public SessionTest {
protected:
    QStringList Messages() const { return prompts.events.filter(QStringLiteral("message:")); }
    // Thirty trading days of a wave: day i's open, high, low and close.
    static std::array<double, 4> Prices(int i)
    {
        const double c = std::round((100 + 10 * std::sin(i / 4.0) + i * 0.1) * 100) / 100;
        return {c - 0.5, c + 1.25, c - 1.5, c};
    }
    static QString DateText(int i) { return QDate(2020, 1, 1).addDays(i).toString(Qt::ISODate); }
};
} // namespace

TEST_F(MisreadGuard, ColumnsShiftedByOneAreReadRight)
{
    // The header names five columns, but each line has its volume before the prices.
    QByteArray bytes = "Date,Open,High,Low,Close,Volume\n";
    for (int i = 0; i < 30; ++i) {
        const auto p = Prices(i);
        bytes += QStringLiteral("%1,%2,%3,%4,%5,%6\n")
                     .arg(DateText(i))
                     .arg(135480400 + i * 1000)
                     .arg(p[0])
                     .arg(p[1])
                     .arg(p[2])
                     .arg(p[3])
                     .toUtf8();
    }
    Open(WriteFile(dir, QStringLiteral("shifted.csv"), bytes));
    ASSERT_EQ(s->GloVar.RecordCount, 30) << prompts.events.join('|').toStdString();
    EXPECT_EQ(std::vector<int>({s->GloVar.OpenColumn, s->GloVar.HighColumn, s->GloVar.LowColumn,
                                s->GloVar.CloseColumn}),
              std::vector<int>({3, 4, 5, 6}));
    ASSERT_FALSE(Messages().isEmpty());
    EXPECT_TRUE(Messages()[0].contains(QStringLiteral("read from fields 3, 4, 5 and 6 they pass")))
        << Messages()[0].toStdString();
    s->PlotBtnClick();
    ASSERT_TRUE(s->GloVar.ChartShown);
    const auto last = Prices(29);
    EXPECT_EQ(s->GloVar.Prices[30].Date, DayOf(DateText(29).toLatin1().constData()));
    EXPECT_DOUBLE_EQ(s->GloVar.Prices[30].Open, last[0]);
    EXPECT_DOUBLE_EQ(s->GloVar.Prices[30].Close, last[3]);
}

TEST_F(MisreadGuard, AReadingThatFailsEveryCheckIsRefusedNotCharted)
{
    const struct {
        const char* name;
        std::function<QString(int, const std::array<double, 4>&)> line;
        const char* check;
    } rows[] = {
        // Every line's prices in another order: no one reading fits them all.
        {"prices in no order",
         [](int i, const std::array<double, 4>& p) {
             const int r = i % 4;
             return QStringLiteral("%1,%2,%3,%4")
                 .arg(p[size_t(r)])
                 .arg(p[size_t((r + 1) % 4)])
                 .arg(p[size_t((r + 2) % 4)])
                 .arg(p[size_t((r + 3) % 4)]);
         },
         "lines looked at have High below Low"},
        // An open that is the same on every line: a column taken for another.
        {"constant open",
         [](int, const std::array<double, 4>& p) {
             return QStringLiteral("60,%1,%2,%3").arg(p[1] + 60).arg(p[2] - 60).arg(p[3]);
         },
         "the Open is the same on every line"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        OpenWeekdays(50);
        ASSERT_TRUE(s->ui[Ctl::PlotBtn].enabled);
        prompts.events.clear();
        QByteArray bytes = "Date,Open,High,Low,Close\n";
        for (int i = 0; i < 30; ++i)
            bytes += (DateText(i) + QLatin1Char(',') + r.line(i, Prices(i)) + QLatin1Char('\n'))
                         .toUtf8();
        Open(WriteFile(dir, QStringLiteral("wrong.csv"), bytes));
        EXPECT_EQ(s->GloVar.RecordCount, 0);
        EXPECT_FALSE(s->ui[Ctl::PlotBtn].enabled);
        ASSERT_EQ(Messages().size(), 1) << prompts.events.join('|').toStdString();
        EXPECT_TRUE(Messages()[0].contains(
            QStringLiteral("\"wrong.csv\" is not charted: under every reading tried")))
            << Messages()[0].toStdString();
        EXPECT_TRUE(Messages()[0].contains(QLatin1String(r.check))) << Messages()[0].toStdString();
        EXPECT_TRUE(
            Messages()[0].contains(QRegularExpression(QStringLiteral("Line \\d+ reads Open "))))
            << Messages()[0].toStdString();
    }
}

TEST_F(MisreadGuard, FourColumnsOfOneNumberAreAHistoryOfClosesAndDatesFarAheadAreSaid)
{
    QByteArray bytes = "Date;Open;High;Low;Close\n";
    for (int i = 0; i < 25; ++i) {
        const QString p =
            QString::number(Prices(i)[3], 'f', 2).replace(QLatin1Char('.'), QLatin1Char(','));
        bytes += QStringLiteral("%1;%2;%2;%2;%2\n")
                     .arg(QDate(2250, 1, 1).addDays(i).toString(QStringLiteral("dd.MM.yyyy")), p)
                     .toUtf8();
    }
    Open(WriteFile(dir, QStringLiteral("closes.csv"), bytes));
    ASSERT_EQ(s->GloVar.RecordCount, 25);
    const QString all = Messages().join(QLatin1Char('|'));
    EXPECT_TRUE(all.contains(QStringLiteral("a history of closes, drawn as one tick a day")))
        << all.toStdString();
    EXPECT_TRUE(all.contains(
        QStringLiteral("The dates of \"closes.csv\" run from 1 Jan 2250 to 25 Jan 2250, "
                       "beyond the years 1800 to 2200")))
        << all.toStdString();
    s->PlotBtnClick();
    ASSERT_TRUE(s->GloVar.ChartShown);
    EXPECT_DOUBLE_EQ(s->GloVar.Prices[25].High, Prices(24)[3]);
    EXPECT_DOUBLE_EQ(s->GloVar.Prices[25].Low, Prices(24)[3]);
}

TEST_F(MisreadGuard, ADecimalMarkNothingDecidesIsSaidOnce)
{
    // Every price has three digits after its point, and no other field tells.
    QByteArray bytes = "Date,Open,High,Low,Close\n";
    for (int i = 0; i < 30; ++i) {
        const int c = 106814 + i * 7;
        bytes += QStringLiteral("%1,%2.%3,%4.%5,%6.%7,%8.%9\n")
                     .arg(DateText(i))
                     .arg((c - 500) / 1000)
                     .arg((c - 500) % 1000, 3, 10, QLatin1Char('0'))
                     .arg((c + 900) / 1000)
                     .arg((c + 900) % 1000, 3, 10, QLatin1Char('0'))
                     .arg((c - 900) / 1000)
                     .arg((c - 900) % 1000, 3, 10, QLatin1Char('0'))
                     .arg(c / 1000)
                     .arg(c % 1000, 3, 10, QLatin1Char('0'))
                     .toUtf8();
    }
    Open(WriteFile(dir, QStringLiteral("index.csv"), bytes));
    ASSERT_EQ(s->GloVar.RecordCount, 30);
    // Besides what the file was read as (ISO dates), the one word on its numbers.
    const QStringList said = Messages().filter(QStringLiteral("decimal mark"));
    ASSERT_EQ(said.size(), 1) << Messages().join('|').toStdString();
    EXPECT_TRUE(said[0].contains(QStringLiteral("do not show their decimal mark (line 2: ")))
        << said[0].toStdString();
    EXPECT_TRUE(said[0].contains(QStringLiteral("a point is read as the decimal mark")));
    const qsizetype before = Messages().size();
    s->PlotBtnClick();
    ASSERT_TRUE(s->GloVar.ChartShown);
    EXPECT_EQ(Messages().size(), before); // said once
    EXPECT_DOUBLE_EQ(s->GloVar.Prices[1].Close, 106.814);
}
