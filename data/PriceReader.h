#pragma once
// Scanning a price file and loading a record range into day slots. The file
// is read afresh every time; nothing of it is kept in between. Results are
// values: the caller decides what the user sees.

#include <QString>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/FileLayout.h"
#include "data/LineReader.h"
#include "data/PriceRecord.h"

// The low value every extreme search starts from.
constexpr double LowStart = 99999999.0;

struct LineFields {
    std::string_view date, open, high, low, close;
};

// The next field of rest at the separator; a field in double quotes may
// hold the separator and comes without its quotes. False at the line's end
// (a line ending in a separator has no empty last field).
bool NextField(std::string_view& rest, char separator, std::string_view& field);
// The wanted fields of this line only.
void SplitLine(std::string_view line, const FileLayout& layout, LineFields& out);
// The date text as the scan takes it (field dateColumn, at least field 1).
[[nodiscard]] std::string_view ScanDateField(std::string_view line, const FileLayout& layout);

// A line that could not be read, for the message that names it.
struct LineNote {
    int64_t number = 0; // line of the file, counted from 1 (the header included)
    std::string text;
};

struct ScanResult {
    QString error;     // empty when the file was read
    int32_t count = 0; // data lines; an empty file after the header counts one
    // In date order: with the newest day first these come from the last and
    // the first line.
    double firstDate = 0;
    double lastDate = 0;
    bool newestFirst = false;
    LineNote firstLine, lastLine;
};
[[nodiscard]] ScanResult ScanPriceData(const PriceSource& source, const FileLayout& layout);

struct RangeResult {
    QString error;
    double high = 0;
    double low = LowStart;
};
// The extremes of every line, starting from the given ones.
[[nodiscard]] RangeResult ScanWholeRange(const PriceSource& source, const FileLayout& layout,
                                         double high, double low);

struct LoadRequest {
    int32_t firstRecord = 1; // records count in date order
    int32_t lastRecord = 0;
    bool holidaySpace = false;
    int32_t blankDaysRight = 0;
    // The file lists its newest day first; its records are recordCount lines.
    bool newestFirst = false;
    int32_t recordCount = 0;
};
struct LoadResult {
    QString error;
    int32_t loadedCount = 0;
    int32_t totalSlots = 0;
    double high = 0;
    double low = LowStart;
    // Lines whose date or a price did not read (or that were too long), and
    // the first of them.
    int64_t unreadable = 0;
    LineNote firstUnreadable;
};
// Fills slots 1.. in date order (slot 0 stays unused); a file shortened
// since its scan ends the range where it ends.
[[nodiscard]] LoadResult LoadRange(const PriceSource& source, const FileLayout& layout,
                                   const LoadRequest& request, std::vector<PriceRecord>& prices);
