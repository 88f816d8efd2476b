#pragma once
// Scanning a price file and loading a record range into day prices. The file
// is read afresh every time; nothing of it is kept in between. Results are
// values: the caller decides what the user sees.

#include <QString>
#include <cstdint>
#include <string_view>
#include <vector>

#include "data/FileLayout.h"
#include "data/PriceRecord.h"

// The low value every extreme search starts from.
constexpr double LowStart = 99999999.0;

struct LineFields {
    std::string_view date, open, high, low, close;
};

// Splits at every comma (no quoting); the wanted fields of this line only.
void SplitLine(std::string_view line, const FileLayout& layout, LineFields& out);
// The date text as the scan takes it (field dateColumn, at least field 1).
[[nodiscard]] std::string_view ScanDateField(std::string_view line, int dateColumn);

struct ScanResult {
    QString error; // empty when the file was read
    int32_t count = 0; // data lines; an empty file after the header counts one
    double firstDate = 0;
    double lastDate = 0;
};
[[nodiscard]] ScanResult ScanPriceData(const QString& path, const FileLayout& layout);

struct RangeResult {
    QString error;
    double high = 0;
    double low = LowStart;
};
// The extremes of every line, starting from the given ones.
[[nodiscard]] RangeResult ScanWholeRange(const QString& path, const FileLayout& layout,
                                         double high, double low);

struct LoadRequest {
    int32_t firstRecord = 1;
    int32_t lastRecord = 0;
    bool holidaySpace = false;
    int32_t blankDaysRight = 0;
};
struct LoadResult {
    QString error;
    int32_t loadedCount = 0;
    int32_t totalSlots = 0;
    double high = 0;
    double low = LowStart;
};
// Fills prices 1.. (slot 0 stays unused); a file shortened since its scan
// ends the range where it ends.
[[nodiscard]] LoadResult LoadRange(const QString& path, const FileLayout& layout,
                                   const LoadRequest& request, std::vector<PriceRecord>& prices);
