// A range read from the scan's line marks is the range read by counting
// every line from the start: the same records, the same line numbers.
#include <string>
#include <tuple>
#include <utime.h>

#include "data/LineReader.h"
#include "data/PriceReader.h"
#include "tests/Support.h"

namespace {
struct Shape {
    const char* name;
    const char* eol;
    bool bom;
    bool lastEnded; // the last line has its line end
    bool newestFirst;
};

// Several blocks of lines in the default layout, with a line that reads as
// no record every thousand lines, so that notes carry line numbers.
QByteArray PriceText(const Shape& s, int records)
{
    QByteArray text = s.bom ? QByteArray("\xEF\xBB\xBF") : QByteArray();
    text += QByteArray("Date,Open,High,Low,Close") + s.eol;
    for (int i = 0; i < records; ++i) {
        const int k = s.newestFirst ? records - 1 - i : i;
        const int y = 1950 + k / 336, m = k / 28 % 12 + 1, d = k % 28 + 1;
        const double c = 100 + (k * 7919 % 13 - 6) * 0.1;
        text += QByteArray::number(m).rightJustified(2, '0') + '/' +
                QByteArray::number(d).rightJustified(2, '0') + '/' + QByteArray::number(y) + ',' +
                (k % 1000 == 999 ? QByteArray("x") : QByteArray::number(c, 'f', 2)) + ',' +
                QByteArray::number(c + 1.5, 'f', 2) + ',' + QByteArray::number(c - 1.5, 'f', 2) +
                ',' + QByteArray::number(c + 0.25, 'f', 2);
        if (i + 1 < records || s.lastEnded)
            text += s.eol;
    }
    return text;
}

void ExpectSameLoad(const Result<LoadedRange>& a, const std::vector<PriceRecord>& pa,
                    const Result<LoadedRange>& b, const std::vector<PriceRecord>& pb)
{
    ASSERT_TRUE(a && b);
    const auto load = [](const LoadedRange& r) {
        return std::tuple(r.loadedCount, r.endedEarly, r.unreadable, r.firstUnreadable.number,
                          r.firstUnreadable.text);
    };
    EXPECT_EQ(load(*a), load(*b));
    ASSERT_EQ(pa.size(), pb.size());
    for (size_t i = 1; i < pa.size(); ++i)
        EXPECT_EQ(std::tuple(pa[i].Date, pa[i].Close, pa[i].Valid),
                  std::tuple(pb[i].Date, pb[i].Close, pb[i].Valid))
            << "slot " << i;
}

class LineMarks : public testing::TestWithParam<Shape> {};

TEST_P(LineMarks, ARangeReadFromTheMarksIsTheRangeCountedFromTheStart)
{
    const Shape& s = GetParam();
    QTemporaryDir dir;
    constexpr int Records = 100000; // about three and a half blocks
    const QString path = WriteFile(dir, QStringLiteral("p.txt"), PriceText(s, Records));
    const Result<FileScan> scan = ScanPriceData(path, FileLayout{});
    ASSERT_TRUE(scan);
    ASSERT_EQ(scan->count, Records);
    ASSERT_GE(scan->marks.size(), 3u); // a wrong mark shows as a range read wrong
    const int64_t firstMarked = scan->marks.front().lines; // counted from line 1
    for (auto [first, last] : std::initializer_list<std::pair<int, int>>{
             {1, 5},
             {int(firstMarked) - 3, int(firstMarked) + 3}, // across the first mark
             {int(firstMarked), int(firstMarked)},         // the record just at it
             {Records - 260, Records},                     // found back from the last line end
             {Records - 1, Records},
             {Records, Records},
             {Records - 30000, Records - 29990}, // nearer to a mark than to the end
             {Records - 10, Records + 5}}) {     // past the end
        LoadRequest req;
        req.firstRecord = first;
        req.lastRecord = last;
        req.newestFirst = scan->newestFirst;
        req.recordCount = scan->count;
        req.skipLines = scan->skipLines;
        std::vector<PriceRecord> counted, marked;
        const Result<LoadedRange> a = LoadRange(path, FileLayout{}, req, counted);
        req.marks = scan->marks;
        req.scannedSize = scan->size;
        req.scannedModified = scan->modified;
        const Result<LoadedRange> b = LoadRange(path, FileLayout{}, req, marked);
        SCOPED_TRACE(testing::Message() << "records " << first << "-" << last);
        ExpectSameLoad(a, counted, b, marked);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, LineMarks,
                         testing::Values(Shape{"LF", "\n", false, true, false},
                                         Shape{"CRLF", "\r\n", false, true, false},
                                         Shape{"CR", "\r", false, true, false},
                                         Shape{"LastLineUnended", "\n", false, false, false},
                                         Shape{"ByteOrderMark", "\r\n", true, true, false},
                                         Shape{"NewestFirst", "\n", false, true, true}),
                         [](const testing::TestParamInfo<Shape>& i) {
                             return std::string(i.param.name);
                         });

// Marks of a file that changed since are not used: the range is counted out
// in the file as it is now, even when its size stayed the same.
TEST(LineMarksOfAChangedFile, AreNotFollowed)
{
    QTemporaryDir dir;
    const Shape lf{"LF", "\n", false, true, false};
    const QString path = WriteFile(dir, QStringLiteral("p.txt"), PriceText(lf, 60000));
    const Result<FileScan> scan = ScanPriceData(path, FileLayout{});
    ASSERT_TRUE(scan);
    ASSERT_FALSE(scan->marks.empty());
    // The first record's date on a line of its own: one more line before
    // every mark, and the same size.
    QByteArray changed = PriceText(lf, 60000);
    changed[changed.indexOf(',', changed.indexOf('\n') + 1)] = '\n';
    WriteFile(dir, QStringLiteral("p.txt"), changed);
    // A later time of change, however coarse the file system's clock.
    const QByteArray name = QFile::encodeName(path);
    utimbuf later{};
    later.actime = later.modtime = time_t(scan->modified / 1000000000 + 10);
    ASSERT_EQ(::utime(name.constData(), &later), 0);
    LoadRequest req;
    req.firstRecord = 59990;
    req.lastRecord = 59995;
    req.recordCount = scan->count;
    req.marks = scan->marks;
    req.scannedSize = scan->size;
    req.scannedModified = scan->modified;
    std::vector<PriceRecord> marked, counted;
    const Result<LoadedRange> b = LoadRange(path, FileLayout{}, req, marked);
    req.marks.clear();
    const Result<LoadedRange> a = LoadRange(path, FileLayout{}, req, counted);
    ExpectSameLoad(a, counted, b, marked);
}

// Going straight to a line in the middle: the line ends are those the whole
// first block shows, whether or not its first bytes hold a line feed.
struct Ends {
    const char* name;
    int crLines;   // lines ended by a carriage return alone, first
    char expected; // how the line at the far offset ends
};

class SeekLineEnds : public testing::TestWithParam<Ends> {};

TEST_P(SeekLineEnds, AreTheFirstBlocks)
{
    const Ends& e = GetParam();
    QByteArray text;
    for (int i = 0; i < e.crLines; ++i)
        text += "r" + QByteArray::number(i).rightJustified(7, '0') + '\r';
    const bool anyFeed = e.expected == '\n';
    const QByteArray far = "far line";
    int64_t farAt = -1;
    for (int i = 0; i < 2000; ++i) {
        if (i == 1000)
            farAt = text.size();
        text += (i == 1000 ? far : "n" + QByteArray::number(i).rightJustified(7, '0')) +
                (anyFeed ? '\n' : '\r');
    }
    QTemporaryDir dir;
    const QString path = WriteFile(dir, QStringLiteral("p.txt"), text);
    LineReader reader;
    ASSERT_TRUE(reader.open(path));
    ASSERT_TRUE(reader.seek(farAt));
    const std::optional<std::string_view> line = reader.next();
    ASSERT_TRUE(line);
    EXPECT_EQ(std::string(*line), far.toStdString());
    EXPECT_EQ(reader.position(), farAt + far.size() + 1);
}

// Back from a line end: the start of the line after each line end before
// it, across the pieces read, for every way lines end.
TEST_P(LineMarks, BackFromALineEndAreTheLineStartsBeforeIt)
{
    const Shape& s = GetParam();
    QTemporaryDir dir;
    const QByteArray text = PriceText(s, 5000); // a few of the pieces read back
    const QString path = WriteFile(dir, QStringLiteral("p.txt"), text);
    const char eol = QByteArray(s.eol).back();
    std::vector<int64_t> ends; // where each line end is
    for (qsizetype i = text.indexOf(eol); i >= 0; i = text.indexOf(eol, i + 1))
        ends.push_back(i);
    ASSERT_GT(ends.size(), 1000u);
    for (size_t j : {ends.size() - 1, ends.size() / 2, size_t(1), size_t(0)})
        for (int64_t n : {int64_t(0), int64_t(1), int64_t(2), int64_t(j) / 3, int64_t(j)}) {
            LineReader reader;
            ASSERT_TRUE(reader.open(path));
            const std::optional<int64_t> start = reader.startAfterEndsBefore(ends[j], n);
            SCOPED_TRACE(testing::Message() << "line end " << j << ", " << n << " back");
            if (n > int64_t(j)) {
                EXPECT_FALSE(start); // fewer line ends before it
                continue;
            }
            ASSERT_TRUE(start);
            EXPECT_EQ(*start, ends[j - size_t(n)] + 1);
            EXPECT_FALSE(reader.error());
        }
    LineReader reader;
    ASSERT_TRUE(reader.open(path));
    EXPECT_FALSE(reader.startAfterEndsBefore(ends.back(), int64_t(ends.size())));
    EXPECT_FALSE(reader.startAfterEndsBefore(text.size(), 0)); // not within the file
}

INSTANTIATE_TEST_SUITE_P(Files, SeekLineEnds,
                         testing::Values(Ends{"LineFeedsFromTheStart", 0, '\n'},
                                         // Past the bytes read first, but within the first block.
                                         Ends{"FirstLineFeedPastTheStart", 10000, '\n'},
                                         Ends{"CarriageReturnsOnly", 10000, '\r'}),
                         [](const testing::TestParamInfo<Ends>& i) {
                             return std::string(i.param.name);
                         });
} // namespace
