#pragma once
// Scanning a price file and loading a record range into day slots. The file
// is read afresh every time; nothing of it is kept in between. What the
// file holds, or why it could not be read, comes back as a Result: the
// caller decides what the user sees.

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/FileLayout.h"
#include "data/LineReader.h"
#include "data/PriceRecord.h"
#include "data/Result.h"

// The low value every extreme search starts from.
constexpr double LowStart = 99999999.0;

struct LineFields {
    std::string_view date, open, high, low, close;
};

// The next field of rest at the separator; a field in double quotes may
// hold the separator and comes without its quotes; rest moves past it.
// Nothing at the line's end (a line ending in a separator has no empty last
// field).
[[nodiscard]] std::optional<std::string_view> NextField(std::string_view& rest, char separator);
// The wanted fields of this line only.
void SplitLine(std::string_view line, const FileLayout& layout, LineFields& out);
// The date text as the scan takes it (field dateColumn, at least field 1).
[[nodiscard]] std::string_view ScanDateField(std::string_view line, const FileLayout& layout);

// A line that could not be read, for the message that names it.
struct LineNote {
    int64_t number = 0; // line of the file, counted from 1 (the header included)
    std::string text;
};

// What a line holds under a layout: a record (a date, unless the layout
// has none, and price fields), price fields without a date that reads, or
// no prices at all (an empty line, separators, a row of "null" or "-").
enum class LineKind { Record, NoDate, NoPrices };
[[nodiscard]] LineKind KindOf(std::string_view line, const FileLayout& layout);
// A line of names only: words, no number and no date (a ticker line such
// as "Ticker,0700.HK,...", "Date,,,,").
[[nodiscard]] bool NamesOnly(std::string_view line);

// The layout with the file's decimal mark decided from the numbers of its
// first lines (the date field left out); a mark already set is kept. When
// nothing decides it, the line that left it open goes into unclear.
[[nodiscard]] FileLayout WithDecimalMark(const PriceSource& source, const FileLayout& layout,
                                         LineNote* unclear = nullptr);

struct FileScan {
    int32_t count =
        0; // records, from the first to the last; an empty file after the header counts one
    // In date order: with the newest day first these come from the last and
    // the first records.
    std::optional<double> firstDate, lastDate; // none when that end's date does not read
    bool newestFirst = false;
    LineNote firstLine, lastLine;
    // Lines after the header line and before the first record: more header
    // lines (names only) and lines that hold no record.
    int64_t skipLines = 0;
    // Lines at the file's ends that hold no record, left out (header lines
    // not among them), and the first of them.
    int64_t endsLeftOut = 0;
    LineNote firstLeftOut;
    // The first line among those looked at whose date goes against the
    // file's order, with its date and the one before it.
    LineNote outOfOrder;
    double outOfOrderDate = 0, outOfOrderAfter = 0;
    // The decimal mark read, and the line that left it open when nothing decided it.
    char decimal = '.';
    LineNote decimalUnclear;
    int64_t size = 0; // of the file when it was scanned
    int64_t modified = 0;
    int64_t lines = 0; // in the file, when it holds a record (0 otherwise)
    // Line starts through the file, with the lines before them (the header's too).
    std::vector<LineMark> marks;
};
[[nodiscard]] Result<FileScan> ScanPriceData(const PriceSource& source, const FileLayout& layout);
struct PriceExtremes {
    double high = 0;
    double low = LowStart;
};
// The extremes of every line, starting from the given ones.
[[nodiscard]] Result<PriceExtremes>
ScanWholeRange(const PriceSource& source, const FileLayout& layout, double high, double low);

struct LoadRequest {
    int32_t firstRecord = 1; // records count in date order
    int32_t lastRecord = 0;
    bool holidaySpace = false;
    int32_t blankDaysRight = 0;
    // The file lists its newest day first; its records are recordCount lines.
    bool newestFirst = false;
    int32_t recordCount = 0;
    // Lines between the header line and the first record.
    int64_t skipLines = 0;
    // From the scan: where lines start, kept while the file is unchanged.
    std::vector<LineMark> marks;
    int64_t scannedSize = -1;
    int64_t scannedModified = 0;
    // The field that holds the volume (0: none read).
    int32_t volumeColumn = 0;
};
struct LoadedRange {
    int32_t loadedCount = 0;
    int32_t totalSlots = 0;
    double high = 0;
    double low = LowStart;
    // Lines whose date or a price did not read (or that were too long), and
    // the first of them.
    int64_t unreadable = 0;
    LineNote firstUnreadable;
    // Lines of the range that hold no prices, kept as slots without a bar.
    int64_t noPrices = 0;
    LineNote firstNoPrices;
    // A record whose date comes before the one above it; the range is then
    // put in date order.
    LineNote outOfOrder;
    double outOfOrderDate = 0, outOfOrderAfter = 0;
    // Records whose High is below their Low, or whose Open or Close lies
    // outside them, and the first of them.
    int64_t inconsistent = 0;
    LineNote firstInconsistent;
    // The file ended before the range did: it changed since its scan.
    bool endedEarly = false;
    int64_t size = 0; // of the file when it was loaded
};
// Fills slots 1.. in date order (slot 0 stays unused); a file shortened
// since its scan ends the range where it ends.
[[nodiscard]] Result<LoadedRange> LoadRange(const PriceSource& source, const FileLayout& layout,
                                            const LoadRequest& request,
                                            std::vector<PriceRecord>& prices);
