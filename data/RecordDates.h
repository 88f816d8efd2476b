#pragma once
// Record numbers and their days, for choosing a chart range by date.
// Records count in date order from 1, as the range fields number them.

#include <QString>
#include <optional>
#include <vector>

#include "data/FileLayout.h"
#include "data/LineReader.h"
#include "data/Result.h"

struct RecordDates {
    // days[k - 1] is record k's day; none when its date did not read.
    std::vector<std::optional<double>> days;

    [[nodiscard]] int count() const { return static_cast<int>(days.size()); }
    // The day of record k; none outside 1..count().
    [[nodiscard]] std::optional<double> dayOf(long long record) const;
    // The first record on or after day / the last on or before it; 0 when none.
    [[nodiscard]] int firstOnOrAfter(double day) const;
    [[nodiscard]] int lastOnOrBefore(double day) const;
};

// The days of the file's recordCount records, which start skipLines lines
// after the header line.
[[nodiscard]] Result<RecordDates> ReadRecordDates(const PriceSource& source,
                                                  const FileLayout& layout, int recordCount,
                                                  bool newestFirst, int64_t skipLines = 0);

// A yyyy-mm-dd text as a day number; none when it is no such date.
[[nodiscard]] std::optional<double> DayFromIsoText(const QString& text);
// Empty for none.
[[nodiscard]] QString IsoText(std::optional<double> day);

// What "Select Date Range" shows of the file and the range in force.
struct DatesShown {
    QString fileName;
    int recordCount = 0;
    std::optional<double> firstFileDate, lastFileDate;
    int firstRecord = 0, lastRecord = 0, blankDaysRight = 0;
    bool leaveHolidaySpace = false, wholeScale = false;
};

// The range typed into "Select Date Range" taken, or refused (the person was
// told) with the field they go back to.
enum class DatesAnswer { Taken, FixFirst, FixLast };
