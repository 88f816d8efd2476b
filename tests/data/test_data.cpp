#include <QDate>
#include <QFile>
#include <algorithm>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <tuple>
#include <unistd.h>

#include "data/Dates.h"
#include "data/LineEnds.h"
#include "data/Numbers.h"
#include "data/PriceReader.h"
#include "data/Result.h"
#include "data/Settings.h"
#include "tests/Failure.h"
#include "tests/Support.h"

namespace {
double Day(int y, int m, int d)
{
    return double(QDate(1899, 12, 30).daysTo(QDate(y, m, d)));
}

struct DateCase {
    int format;
    const char* text;
    std::optional<double> expected;
};
} // namespace

TEST(ParseDate, EveryLayoutAndTwoDigitYears)
{
    // Each later layout's plain form is read from a real export in the price file tests.
    const double jan2 = Day(2024, 1, 2), may23 = Day(2022, 5, 23), jan2020 = Day(2020, 1, 2);
    const DateCase cases[] = {
        {0, "6/30/50", Day(2050, 6, 30)},
        {0, "6/30/51", Day(1951, 6, 30)},
        {0, "1/2/1999", Day(3899, 1, 2)},
        {2, "31/12/99", Day(1999, 12, 31)},
        {2, "12/31/99", std::nullopt},
        {1, "2/29/2001", std::nullopt},
        {4, "20010402", Day(2001, 4, 2)},
        {4, "2001042", Day(2001, 4, 2)},
        {4, "2001-04-02", std::nullopt},
        {4, "20010402extra", Day(2001, 4, 2)},
        {1, "2/14", std::nullopt},
        {1, "a/b/c", std::nullopt},
        {5, "02/14/2025", std::nullopt},
        {-1, "02/14/2025", std::nullopt},
        {1, "99999999999999999999/1/2000", std::nullopt},
        {0, "9/9/9223372036854775807", std::nullopt},
        {2, "9/9/-9223372036854775808", std::nullopt},
        {YearMonthDay, "2024/1/2", jan2},
        {YearMonthDay, "2024-01-02 00:00:00", jan2},
        {YearMonthDay, " 2024-01-02 ", jan2},
        {YearMonthDay, "24-01-02", std::nullopt},
        {YearMonthDay, "2024-01-022", std::nullopt},
        {YearMonthDay, "2024-01/02", std::nullopt},
        {DayMonthYearDots, "2.1.2024 09:30", jan2},
        {MonthNameDayYear, "may 23 2022", may23},
        {MonthNameDayYear, "MAY 23,2022", may23},
        {MonthNameDayYear, "Mai 23, 2022", std::nullopt},
        {MonthNameDayYear, "Ma 23, 2022", std::nullopt},
        {MonthNameDayYear, "May 23, 2022x", std::nullopt},
        {DayMonthNameYear, "23 May 22", std::nullopt},
        {DayMonthNameYear, "1 Sept. 2021", Day(2021, 9, 1)},
        {DayMonthNameShortYear, "23-May-2022", std::nullopt},
        {DayMonthNameYearDashes, "23-May-22", std::nullopt},
        {YearMonthNameDay, "2022-may-23 16:00", may23},
        {YearMonthNameDay, "2022-05-23", std::nullopt},
        // Times of day, zones and epoch times as trading terminals write them.
        {EpochTime, "1577923200", jan2020},
        {EpochTime, "1577923200.0", jan2020},
        {EpochTime, "1577923200000", jan2020},
        {EpochTime, "1578009599", jan2020},    // the day's last second
        {EpochTime, "20200102", std::nullopt}, // yyyymmdd is no epoch time
        {YearMonthDayDigits, "1577923200", std::nullopt},
        {YearMonthDay, "2020-01-02T23:30:00Z", jan2020},
        {YearMonthDay, "2020-01-02 00:00:00+01:00", jan2020},
        {MonthDayYear, " 01/03/05", Day(2005, 1, 3)},
        {MonthDayShortYear, "01/03/05 ", Day(2005, 1, 3)},
        {DayMonthYear, "03/01/99", Day(1999, 1, 3)},
        {DayMonthYear, "03/01/2051", Day(2051, 1, 3)},
        {DayMonthYearDots, "24.02.06", Day(2006, 2, 24)},
        {DayMonthYearDots, "24.02.2006 10:00", Day(2006, 2, 24)},
    };
    for (const DateCase& c : cases)
        EXPECT_EQ(ParseDate(c.text, c.format), c.expected) << c.format << " " << c.text;
    for (int f = -1; f < DateLayoutCount; ++f)
        EXPECT_FALSE(ParseDate("", f)) << f;
    EXPECT_EQ(DateLayoutNames().size(), int(DateLayoutCount));
}

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        st = Settings{};
        path = dir.filePath(QStringLiteral("fsetup.dat"));
    }
    QTemporaryDir dir;
    QString path;
    Settings st;
};

TEST_F(SettingsFile, PartialAndBadLinesKeepTheirDefaults)
{
    WriteFile(dir, QStringLiteral("fsetup.dat"), "0\r\n7\r\n9\r\n");
    st = ReadSettingsFile(path, st);
    EXPECT_EQ(std::tuple(st.layout.header, st.layout.dateColumn, st.layout.openColumn,
                         st.layout.highColumn, st.fanAngles[2]),
              std::tuple(false, 7, 9, 3, 62.0));

    st = Settings{};
    WriteFile(dir, QStringLiteral("fsetup.dat"),
              "yes\nx\n2\n3\n4\n5\n4\n12,5\nabc\n70.25\nextra\n");
    st = ReadSettingsFile(path, st);
    // Anything but "0" is a header; a decimal comma is read too.
    EXPECT_EQ(std::tuple(st.layout.header, st.layout.dateColumn, st.layout.dateFormat,
                         st.fanAngles[0], st.fanAngles[1], st.fanAngles[2]),
              std::tuple(true, 1, 4, 12.5, 45.0, 70.25));
}

// Each separator is written in the price file tests' exports.
TEST_F(SettingsFile, WriteRoundTripsWithPointsAndCrLf)
{
    st.layout.header = false;
    st.layout.dateFormat = -1;
    st.layout.separator = ';';
    st.fanAngles[1] = 12.345678901234567;
    ASSERT_EQ(Failure(WriteSettingsFile(path, st)), QString());
    EXPECT_EQ(ReadBytes(path),
              "0\r\n1\r\n2\r\n3\r\n4\r\n5\r\n-1\r\n38\r\n12.3456789012346\r\n62\r\n;\r\n");
    const Settings back = ReadSettingsFile(path, Settings{});
    EXPECT_EQ(std::tuple(back.layout.header, back.layout.dateFormat, back.layout.separator),
              std::tuple(false, -1, ';'));
    EXPECT_NEAR(back.fanAngles[1], 12.3456789012346, 1e-12);
    // A file of ten lines from before reads as comma-separated.
    WriteFile(dir, QStringLiteral("fsetup.dat"),
              "1\r\n1\r\n2\r\n3\r\n4\r\n5\r\n1\r\n38\r\n45\r\n62\r\n");
    EXPECT_EQ(ReadSettingsFile(path, Settings{}).layout.separator, ',');
    EXPECT_EQ(SeparatorFromText("semicolon"), ';');
    EXPECT_EQ(SeparatorFromText("\t"), '\t'); // before blanks are trimmed
}

// Writing what the file already holds leaves it alone (the same inode, no
// temporary); any change, even one of the same length, replaces it whole.
TEST_F(SettingsFile, TheSameSettingsLeaveTheFileAsItIs)
{
    ASSERT_EQ(Failure(WriteSettingsFile(path, st)), QString());
    const auto inode = [&] {
        struct stat sb {};
        return ::stat(QFile::encodeName(path).constData(), &sb) == 0 ? sb.st_ino : ino_t(0);
    };
    const ino_t first = inode();
    ASSERT_NE(first, ino_t(0));
    ASSERT_EQ(Failure(WriteSettingsFile(path, st)), QString());
    EXPECT_EQ(inode(), first);

    const QByteArray before = ReadBytes(path);
    st.fanAngles[0] = 39; // same length as 38
    ASSERT_EQ(Failure(WriteSettingsFile(path, st)), QString());
    EXPECT_NE(inode(), first);
    const QByteArray after = ReadBytes(path);
    EXPECT_EQ(after.size(), before.size());
    EXPECT_NE(after, before);
    EXPECT_EQ(ReadSettingsFile(path, Settings{}).fanAngles[0], 39.0);
}

TEST(PriceLine, SplittingAndConversion)
{
    // Quoted fields and tabs are split in the real exports of the price file
    // tests; a line's missing fields are empty, not the line before's.
    LineFields f;
    SplitLine("01/02/2005,1.5,2.5,0.5,2", FileLayout{}, f);
    SplitLine("01/03/2005,,3", FileLayout{}, f);
    EXPECT_EQ(f.low, "");
    FileLayout second;
    second.dateColumn = 2;
    EXPECT_EQ(ScanDateField("a,b,c", second), "b");
    // A doubled quote does not close a quoted field, nor its separator end it.
    EXPECT_EQ(ScanDateField("\"a\"\",b\",c", second), "c");
    second.dateColumn = 3;
    EXPECT_EQ(ScanDateField("a", second), "");

    // ReadPrice takes what files hold (currency, thousands, a decimal comma);
    // ParsePrice only a plain number, as typed into a field.
    const struct {
        const char* text;
        bool plain, comma;
        std::optional<double> value;
    } rows[] = {
        {" $191.38 ", false, false, 191.38},
        {"-$3.5", false, false, -3.5},
        {"1.234,5", false, true, 1234.5},
        {"\xE2\x82\xAC 12,25", false, true, 12.25},
        {"x\"\"y", false, false, std::nullopt},
        {"$", false, false, std::nullopt},
        {"1..2x", false, false, std::nullopt},
        {"nan", false, false, std::nullopt},
        {"$12345678901234567890123456789012345678901234567890123456789012345", false, false,
         std::nullopt},
        {" 101.25 ", true, false, 101.25},
        {"+3", true, false, 3},
        {"1,5", true, false, std::nullopt},
        {"abc", true, false, std::nullopt},
        {"nan", true, false, std::nullopt},
        {"1e999", true, false, std::nullopt},
    };
    for (const auto& r : rows) {
        const std::optional<double> read =
            r.plain ? ParsePrice(r.text) : ReadPrice(r.text, r.comma);
        EXPECT_EQ(read, r.value) << r.text << (r.plain ? " plain" : "");
    }
}

class Reader : public SessionTest {};

TEST_F(Reader, TheEmptyDateLayoutReadsEveryDateAsZero)
{
    s->GloVar.DateFormat = NoDateLayout; // and the file is still accepted
    OpenWeekdays(10);
    EXPECT_EQ(s->GloVar.RecordCount, 10);
    InitDefaults(s->GloVar);
    ASSERT_TRUE(s->LoadChartRange());
    for (int i = 1; i <= s->GloVar.LoadedCount; ++i)
        EXPECT_EQ(s->GloVar.Prices[i].Date, 0);
}

TEST_F(Reader, ASingleRecordIsNamedAndNotPlotted)
{
    Open(WriteFile(dir, QStringLiteral("one.txt"), "h\n01/03/2005,1,2,0.5,1.5\n"));
    EXPECT_EQ(s->GloVar.RecordCount, 1);
    EXPECT_TRUE(s->ui[Ctl::DateBtn].enabled);
    EXPECT_FALSE(s->ui[Ctl::PlotBtn].enabled);
    EXPECT_EQ(prompts.events,
              QStringList(QStringLiteral(
                  "message:Aurigon:\"one.txt\" holds one record: a chart needs two.")));
}

TEST_F(Reader, HolidaySlotsAreDatedByTheDaysTheyStandFor)
{
    // Wed 5 Jan 2005, Tue 11 Jan, Thu 13 Jan, Tue 18 Jan, Mon 24 Jan, Wed 26 Jan;
    // Monday to Wednesday adds nothing.
    Open(WriteFile(dir, QStringLiteral("h.txt"),
                   "h\r\n01/05/2005,1,2,1,2\r\n01/11/2005,1,3,1,2\r\n01/13/2005,1,2,1,2\r\n"
                   "01/18/2005,1,2,1,2\r\n01/24/2005,1,2,1,2\r\n01/26/2005,1,2,0.5,2\r\n"));
    auto& g = s->GloVar;
    g.FirstRecord = 1;
    g.LeaveHolidaySpace = true;
    g.BlankDaysRight = 5;
    InitDefaults(s->GloVar);
    ASSERT_TRUE(s->LoadChartRange());
    std::vector<double> blanks;
    for (int i = 1; i <= g.LoadedCount; ++i)
        if (g.Prices[i].IsBlank)
            blanks.push_back(g.Prices[i].Date);
    const std::vector<double> want = {Day(2005, 1, 6),  Day(2005, 1, 7),  Day(2005, 1, 10),
                                      Day(2005, 1, 14), Day(2005, 1, 17), Day(2005, 1, 19),
                                      Day(2005, 1, 20), Day(2005, 1, 21)};
    EXPECT_EQ(blanks, want);
    ASSERT_EQ(g.TotalSlots, 19);
    const double right[] = {Day(2005, 1, 27), Day(2005, 1, 28), Day(2005, 1, 31), Day(2005, 2, 1),
                            Day(2005, 2, 2)};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(g.Prices[15 + i].Date, right[i]) << i;
    EXPECT_EQ(g.ChartLow, 0.5); // the blank slots take no part in the range
}

TEST_F(Reader, MissingAndBadPricesAreLeftOut)
{
    Open(WriteFile(dir, QStringLiteral("p.txt"),
                   "h\n01/03/2005,10,12,9,11\n01/04/2005,abc,,8x,\n01/05/2005,10,50\n"
                   "01/06/2005,10,12,9.5,11\n"));
    auto& g = s->GloVar;
    g.FirstRecord = 1;
    InitDefaults(s->GloVar);
    ASSERT_TRUE(s->LoadChartRange());
    ASSERT_EQ(g.LoadedCount, 4);
    EXPECT_EQ(g.Prices[2].Valid, 0);
    EXPECT_EQ(g.Prices[3].Valid, OpenOk | HighOk); // no stale low or close from line 1
    EXPECT_EQ(g.Prices[3].Low, 0);
    EXPECT_EQ(g.ChartHigh, 50);
    EXPECT_EQ(g.ChartLow, 9);
}

TEST_F(Reader, WholeFileScaleAndLongFiles)
{
    OpenWeekdays(3000);
    auto& g = s->GloVar;
    ASSERT_TRUE(
        s->ScanWholeFileRange()); // its low: Window.OneScaleShowsAGreenBarAndHasAnAreaToClick
    EXPECT_EQ(g.FileHigh, 100 + 2999 + 1);
    g.WholeScale = true;
    g.FirstRecord = 1; // more than any fixed slot array would hold, with blanks
    g.LeaveHolidaySpace = true;
    g.BlankDaysRight = 50;
    InitDefaults(s->GloVar);
    ASSERT_TRUE(s->LoadChartRange());
    EXPECT_EQ(g.LoadedCount, 3000); // weekdays only: no holidays to fill
    EXPECT_EQ(g.TotalSlots, 3050);
    EXPECT_EQ(g.ChartHigh, g.FileHigh);
}

TEST(LineReaderCount, CountingTheRestAgreesWithReadingEveryLine)
{
    QTemporaryDir dir;
    QByteArray big;
    for (int i = 0; big.size() < 2500000; ++i)
        big += QByteArray::number(i) + (i % 7 ? ",x,y\r\n" : ",a-much-longer-line-of-text,z\n");
    const QByteArray cases[] = {
        "", "a", "a\n", "a\nb", "a\nb\n", "a\r\nb\r\n", "a\n\n", "\n\n\n", "h\nlast-without-end",
        big, big + "tail-without-end", QByteArray(LineReader::BlockSize - 1, 'q') + "\nrest\n",
        "h\r1\r2\r", "h\r\r1\r2", QByteArray(5000, '\r') + "x",
        // About the first 64 KB, which open() reads anyway.
        QByteArray(65535, 'a') + "\nb\n", QByteArray(65535, 'a') + "\r\nb\r\n",
        "\xEF\xBB\xBFh\n1\n", "\xEF\xBB\xBF" + big.replace('\n', '\r').replace("\r\r", "\r")};
    // A block of one page puts lines across block edges.
    for (const size_t window : {LineReader::BlockSize, size_t(4096)})
        for (const QByteArray& bytes : cases) {
            const QString path = WriteFile(dir, QStringLiteral("f.txt"), bytes);
            LineReader one;
            ASSERT_TRUE(one.open(path));
            std::vector<std::string> all; // every line as next() reads it
            while (const std::optional<std::string_view> line = one.next())
                all.emplace_back(*line);
            const int64_t lines = int64_t(all.size());
            {
                // Counted, and the last lines read back, straight after opening.
                LineReader fresh(window);
                ASSERT_TRUE(fresh.open(path));
                std::string last = "none";
                EXPECT_EQ(fresh.countRest(last), lines) << bytes.left(20).constData();
                EXPECT_EQ(last, lines > 0 ? all.back() : "none") << bytes.left(20).constData();
                LineReader back(window), after(window);
                ASSERT_TRUE(back.open(path));
                ASSERT_TRUE(after.open(path));
                (void)after.next();
                EXPECT_EQ(back.lastLines(3, 0), after.lastLines(3, 0))
                    << bytes.left(20).constData();
            }
            // Skipping k lines, reading the next, counting the rest: what next() gives.
            for (int64_t k : {int64_t(0), int64_t(1), lines / 2, lines - 1, lines, lines + 3}) {
                SCOPED_TRACE(testing::Message() << bytes.left(20).constData() << " k " << k);
                LineReader r(window);
                ASSERT_TRUE(r.open(path));
                EXPECT_EQ(r.skip(k), std::clamp<int64_t>(k, 0, lines));
                const std::optional<std::string_view> line = r.next();
                const bool more = line.has_value();
                EXPECT_EQ(more, k >= 0 && k < lines);
                if (more) {
                    EXPECT_EQ(*line, all[size_t(k)]);
                }
                std::string last = "none";
                EXPECT_EQ(r.countRest(last), more ? lines - k - 1 : 0);
                EXPECT_EQ(last, more && k + 1 < lines ? all.back() : "none");
            }
        }
}

TEST(LineReaderCount, TheMarksOfACountFallAtLineStartsAndGrowthIsCounted)
{
    // A count made block by block (on two cores: the file is long enough),
    // its marks checked against the bytes themselves; lines added after the
    // file was opened count too.
    QTemporaryDir dir;
    QByteArray bytes;
    for (int i = 0; bytes.size() < int(LineReader::ParallelBytes + 3 * LineReader::BlockSize) + 777;
         ++i)
        bytes += "01/02/2003," + QByteArray::number(i % 97) + ",2,3,4\n";
    const QString path = WriteFile(dir, QStringLiteral("f.txt"), bytes);
    const int64_t lines = bytes.count('\n');
    for (const size_t window : {LineReader::BlockSize, size_t(4096)}) {
        SCOPED_TRACE(window);
        LineReader r(window);
        ASSERT_TRUE(r.open(path));
        ASSERT_TRUE(r.next());
        std::string last;
        int64_t lastAt = -1;
        std::vector<LineMark> marks;
        EXPECT_EQ(r.countRest(last, &lastAt, &marks), lines - 1);
        EXPECT_FALSE(r.error());
        EXPECT_EQ(last, bytes.mid(lastAt).chopped(1).toStdString());
        EXPECT_EQ(r.position(), bytes.size());
        ASSERT_GE(marks.size(), bytes.size() / window);
        int64_t counted = 0, upTo = 0; // line ends before upTo
        for (const LineMark& m : marks) {
            ASSERT_GT(m.offset, upTo);
            ASSERT_LE(m.offset, bytes.size());
            EXPECT_EQ(bytes[qsizetype(m.offset - 1)], '\n') << m.offset;
            counted += std::count(bytes.begin() + upTo, bytes.begin() + m.offset, '\n');
            upTo = m.offset;
            EXPECT_EQ(m.lines, counted - 1) << m.offset;
        }
    }
    LineReader grown;
    ASSERT_TRUE(grown.open(path));
    ASSERT_TRUE(grown.next());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("09/09/2009,5,6,7,8\n");
    f.close();
    std::string last;
    EXPECT_EQ(grown.countRest(last), lines);
    EXPECT_EQ(last, "09/09/2009,5,6,7,8");
}

TEST(LineEnds, CountedAsOneByOneAtEveryLengthAndStart)
{
    // Lengths about the 16- and 32-byte steps and past the 255 steps a lane
    // can hold, from starts off their alignment; all line ends, none, some.
    std::string some(70000, 'x');
    for (size_t i = 0; i < some.size(); i += 1 + i % 37)
        some[i] = '\n';
    const struct {
        const char* name;
        std::string text;
    } rows[] = {{"every byte", std::string(70000, '\n')},
                {"none", std::string(70000, 'x')},
                {"some", some}};
    for (const auto& r : rows)
        for (const size_t start : {0, 1, 15, 31})
            for (const size_t n : {0, 1, 15, 16, 17, 31, 32, 33, 63, 100, 8160, 8192, 16320, 65000})
                EXPECT_EQ(CountLineEnds(r.text.data() + start, n),
                          std::count(r.text.begin() + start, r.text.begin() + start + n, '\n'))
                    << r.name << " from " << start << ", " << n << " bytes";
}

TEST(LineEnds, AMappedFileCutShortUnderTheCountSaysSo)
{
    // The pages past a file's end are mapped but cannot be read: the count
    // says the file was cut short, rather than the program dying of it.
    QTemporaryDir dir;
    const QString path = WriteFile(dir, QStringLiteral("f.txt"), QByteArray(3 * 4096, '\n'));
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    ASSERT_GE(fd, 0);
    const struct {
        const char* name;
        int64_t offset;
        size_t n;
        Mapped says;
        int64_t count;
    } rows[] = {
        {"all of it", 0, 3 * 4096, Mapped::Done, 3 * 4096},
        {"off a page edge", 4100, 4000, Mapped::Done, 4000},
        {"past its end", 4096, 5 * 4096, Mapped::CutShort, 0},
        {"nothing", 0, 0, Mapped::Unmappable, 0},
    };
    // On the main thread and on another, as a long count does.
    const auto look = [&] {
        for (const auto& r : rows) {
            LineEndsSeen seen;
            EXPECT_EQ(SeeMappedLineEnds(fd, r.offset, r.n, '\n', seen), r.says) << r.name;
            EXPECT_EQ(seen.count, r.count) << r.name;
        }
    };
    look();
    std::thread(look).join();
    ::close(fd);
}

// The texts users see for each kind of failure; a file name with a
// placeholder in it stays as it is.
TEST(ErrorMessage, NamesTheFileTheLineAndTheReason)
{
    using D = Error::Doing;
    const struct {
        const char* name;
        Error error;
        const char* text;
    } rows[] = {
        {"open",
         {D::Opening, "/p/a%2b.txt", 0, "Is a directory"},
         "Cannot open file \"/p/a%2b.txt\". Is a directory"},
        {"read at a line",
         {D::Reading, "p.txt", 7, "It was cut short."},
         "Read error in \"p.txt\", line 7. It was cut short."},
        {"count",
         {D::Counting, "p.txt", 0, "has too many lines."},
         "The file \"p.txt\" has too many lines."},
        {"create",
         {D::Creating, "out %1.png", 0, "No space left on device"},
         "Cannot create file out %1.png. No space left on device"},
        {"save study", {D::SavingStudy, "s.json", 3, "x."}, "Cannot save study s.json, line 3. x."},
        {"a study's prices",
         {D::OpeningStudyPrices, "s.aurigon", 0, "Gone."},
         "Cannot open the price file of study s.aurigon. Gone."},
        {"refused in its own words", {D::Plain, "a.png", 0, "a.png is b."}, "a.png is b."},
    };
    for (const auto& r : rows)
        EXPECT_EQ(r.error.message(), QString::fromUtf8(r.text)) << r.name;
}
