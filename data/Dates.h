#pragma once
#include <QString>
#include <string_view>

// Calendar day numbers count whole days from 30 December 1899 (day 0).

// Day number of a real calendar date, or 0 when the parts do not form one.
[[nodiscard]] double DayFromYmd(long long year, long long month, long long day);
// 1 = Sunday .. 7 = Saturday.
[[nodiscard]] int DayOfWeek(double day);
// The system's short date text.
[[nodiscard]] QString ShortDate(double day);
// Date text of a price file line under a layout (0..4); 0 when it is no date.
[[nodiscard]] double ParseDate(std::string_view text, int dateFormat);
