#pragma once
#include <QString>
#include <QStringList>
#include <optional>
#include <string_view>

// Calendar day numbers count whole days from 30 December 1899 (day 0); the
// days before it are negative. Every number is a day, so "no date" is kept
// apart from them as an empty optional.
// A year written with one or two digits is 2000-2050 for 00-50 and
// 1951-1999 otherwise, in every layout.

// Day number of a real calendar date; none when the parts do not form one.
[[nodiscard]] std::optional<double> DayFromYmd(long long year, long long month, long long day);
// 1 = Sunday .. 7 = Saturday.
[[nodiscard]] int DayOfWeek(double day);
// A chart's date label, "8 Feb 2024": English month names in every locale.
// Empty for none.
[[nodiscard]] QString ShortDate(std::optional<double> day);

// The date layouts by their index in the layout dialog. The first six are
// kept where fsetup.dat files of old expect them; later ones are appended.
enum DateLayout : int {
    MonthDayShortYear = 0,  // mm/dd/yy
    MonthDayYear = 1,       // mm/dd/yyyy
    DayMonthShortYear = 2,  // dd/mm/yy
    DayMonthYear = 3,       // dd/mm/yyyy
    YearMonthDayDigits = 4, // yyyymmdd
    NoDateLayout = 5,       // the empty item: no line has a date, every slot is day 0
    YearMonthDay = 6,       // yyyy-mm-dd, also with . or /; a time after the day is ignored
    DayMonthYearDots = 7,   // dd.mm.yyyy (dd.mm.yy too)
    // English month names, abbreviated or in full, in any case.
    MonthNameDayYear = 8,        // mmm d, yyyy (May 23, 2022)
    DayMonthNameYear = 9,        // dd mmm yyyy (05 Jul 2019)
    DayMonthNameShortYear = 10,  // d-mmm-yy (7-Feb-12); two-digit year rule
    DayMonthNameYearDashes = 11, // dd-mmm-yyyy (23-May-2022)
    YearMonthNameDay = 12,       // yyyy-mmm-dd (2022-May-23)
    // Seconds or milliseconds since 1 January 1970 UTC, told apart by size;
    // a fraction (".0") allowed. The calendar day in UTC.
    EpochTime = 13,
    DateLayoutCount = 14,
};
// The items of the layout list, in index order.
[[nodiscard]] QStringList DateLayoutNames();

// Date text of a price file line under a layout; none when it is no date.
[[nodiscard]] std::optional<double> ParseDate(std::string_view text, int dateFormat);
// yyyy-mm-dd of a day number; empty for none or a day beyond the calendar.
[[nodiscard]] QString IsoDayText(std::optional<double> day);
