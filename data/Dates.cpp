#include "data/Dates.h"

#include <QDate>
#include <QLocale>
#include <cmath>

#include "data/Numbers.h"

namespace {
constexpr qint64 JulianOfDayZero = 2415019; // 30 December 1899

// The two-digit year rule adds to whatever integer stands in the year part.
// Years that far out are no calendar date anyway; they stay out of range
// rather than overflow.
long long TwoDigitYear(long long y)
{
    if (y > 1'000'000'000LL || y < -1'000'000'000LL)
        return y;
    return (y >= 0 && y <= 50) ? y + 2000 : y + 1900;
}
} // namespace

std::optional<double> DayFromYmd(long long year, long long month, long long day)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31)
        return std::nullopt;
    const QDate d(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day));
    if (!d.isValid())
        return std::nullopt;
    return static_cast<double>(d.toJulianDay() - JulianOfDayZero);
}

int DayOfWeek(double day)
{
    const long long d = static_cast<long long>(std::floor(day));
    return static_cast<int>(((d - 1) % 7 + 7) % 7) + 1;
}

QString ShortDate(std::optional<double> day)
{
    if (!day || !std::isfinite(*day) || std::fabs(*day) > 3.0e6)
        return QString();
    const QDate d = QDate::fromJulianDay(static_cast<qint64>(std::floor(*day)) + JulianOfDayZero);
    // English month names whatever the locale, so that a picture is the
    // same on every machine.
    return QLocale::c().toString(d, QStringLiteral("d MMM yyyy"));
}

QString IsoDayText(std::optional<double> day)
{
    if (!day || !std::isfinite(*day) || std::fabs(*day) > 3.0e6)
        return QString();
    const QDate d = QDate::fromJulianDay(static_cast<qint64>(std::floor(*day)) + JulianOfDayZero);
    // Years outside 1..9999 have no four-digit text.
    return d.year() >= 1 && d.year() <= 9999 ? d.toString(Qt::ISODate) : QString();
}

QStringList DateLayoutNames()
{
    return {
        QStringLiteral("mm/dd/yy"),    QStringLiteral("mm/dd/yyyy"), QStringLiteral("dd/mm/yy"),
        QStringLiteral("dd/mm/yyyy"),  QStringLiteral("yyyymmdd"),   QString(),
        QStringLiteral("yyyy-mm-dd"),  QStringLiteral("dd.mm.yyyy"), QStringLiteral("mmm d, yyyy"),
        QStringLiteral("dd mmm yyyy"), QStringLiteral("d-mmm-yy"),   QStringLiteral("dd-mmm-yyyy"),
        QStringLiteral("yyyy-mmm-dd"), QStringLiteral("unix time")};
}

namespace {
// A run of minDigits..maxDigits digits at the start of s.
bool TakeDigits(std::string_view& s, size_t minDigits, size_t maxDigits, long long& out)
{
    size_t n = 0;
    while (n < s.size() && s[n] >= '0' && s[n] <= '9')
        ++n;
    if (n < minDigits || n > maxDigits)
        return false;
    out = 0;
    for (size_t i = 0; i < n; ++i)
        out = out * 10 + (s[i] - '0');
    s.remove_prefix(n);
    return true;
}

bool TakeChar(std::string_view& s, char c)
{
    if (s.empty() || s.front() != c)
        return false;
    s.remove_prefix(1);
    return true;
}

// yyyy-mm-dd with "-", "." or "/" between the parts; what follows the day
// (a time, say) is ignored when it does not go on with a digit.
std::optional<double> ParseIsoDate(std::string_view t)
{
    long long y = 0, m = 0, d = 0;
    if (!TakeDigits(t, 4, 4, y) || t.empty())
        return std::nullopt;
    const char sep = t.front();
    if (sep != '-' && sep != '.' && sep != '/')
        return std::nullopt;
    t.remove_prefix(1);
    if (!TakeDigits(t, 1, 2, m) || !TakeChar(t, sep) || !TakeDigits(t, 1, 2, d))
        return std::nullopt;
    return DayFromYmd(y, m, d);
}

// dd.mm.yyyy or dd.mm.yy; a time after the year is ignored.
std::optional<double> ParseDottedDate(std::string_view t)
{
    long long y = 0, m = 0, d = 0;
    if (!TakeDigits(t, 1, 2, d) || !TakeChar(t, '.') || !TakeDigits(t, 1, 2, m) ||
        !TakeChar(t, '.'))
        return std::nullopt;
    if (TakeDigits(t, 2, 2, y))
        y = TwoDigitYear(y);
    else if (!TakeDigits(t, 4, 4, y))
        return std::nullopt;
    return DayFromYmd(y, m, d);
}

// Seconds since 1970 from 1973 on (fewer digits are some other date), or
// milliseconds from 1973 on; at most a fraction of zeros or digits after.
std::optional<double> ParseEpoch(std::string_view t)
{
    long long v = 0;
    if (!TakeDigits(t, 9, 14, v))
        return std::nullopt;
    if (!t.empty()) {
        if (t.front() != '.')
            return std::nullopt;
        t.remove_prefix(1);
        long long frac = 0;
        if (!TakeDigits(t, 1, 6, frac) || !t.empty())
            return std::nullopt;
    }
    constexpr long long DaySeconds = 86400;
    constexpr long long EpochDay = 25569; // 1 January 1970
    const long long seconds = v >= 100'000'000'000LL ? v / 1000 : v;
    const long long day = seconds / DaySeconds + EpochDay;
    // Beyond year 9999 is no calendar date.
    return day < 2958466 ? std::optional<double>(double(day)) : std::nullopt;
}
// An English month name, abbreviated (with or without a point, "Sept" too)
// or in full, in any case; 0 when there is none.
long long TakeMonthName(std::string_view& s)
{
    static constexpr std::string_view Names[] = {"january",   "february", "march",    "april",
                                                 "may",       "june",     "july",     "august",
                                                 "september", "october",  "november", "december"};
    size_t n = 0;
    char word[12];
    while (n < s.size() && n < sizeof word &&
           ((s[n] >= 'a' && s[n] <= 'z') || (s[n] >= 'A' && s[n] <= 'Z'))) {
        word[n] = static_cast<char>(s[n] | 0x20);
        ++n;
    }
    if (n < 3 || (n < s.size() && ((s[n] >= 'a' && s[n] <= 'z') || (s[n] >= 'A' && s[n] <= 'Z'))))
        return 0;
    const std::string_view w(word, n);
    for (long long m = 0; m < 12; ++m) {
        const std::string_view full = Names[m];
        if (w == full || w == full.substr(0, 3) || (m == 8 && w == "sept")) {
            s.remove_prefix(n);
            if (!s.empty() && s.front() == '.' && n < full.size())
                s.remove_prefix(1);
            return m + 1;
        }
    }
    return 0;
}

// Nothing, or something that does not go on with the date (a time, say).
bool DateEnds(std::string_view s)
{
    return s.empty() || s.front() == ' ' || s.front() == 'T' || s.front() == '\t';
}

void SkipBlanks(std::string_view& s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
}

std::optional<double> ParseMonthNameDate(std::string_view t, int layout)
{
    long long y = 0, m = 0, d = 0;
    switch (layout) {
    case MonthNameDayYear: // May 23, 2022
        if (!(m = TakeMonthName(t)))
            return std::nullopt;
        SkipBlanks(t);
        if (!TakeDigits(t, 1, 2, d))
            return std::nullopt;
        TakeChar(t, ',');
        SkipBlanks(t);
        if (!TakeDigits(t, 4, 4, y))
            return std::nullopt;
        break;
    case DayMonthNameYear: // 05 Jul 2019
        if (!TakeDigits(t, 1, 2, d) || !TakeChar(t, ' '))
            return std::nullopt;
        SkipBlanks(t);
        if (!(m = TakeMonthName(t)) || !TakeChar(t, ' '))
            return std::nullopt;
        SkipBlanks(t);
        if (!TakeDigits(t, 4, 4, y))
            return std::nullopt;
        break;
    case DayMonthNameShortYear:  // 7-Feb-12
    case DayMonthNameYearDashes: // 23-May-2022
    {
        const bool shortYear = layout == DayMonthNameShortYear;
        if (!TakeDigits(t, 1, 2, d) || !TakeChar(t, '-') || !(m = TakeMonthName(t)) ||
            !TakeChar(t, '-') || !TakeDigits(t, shortYear ? 2 : 4, shortYear ? 2 : 4, y))
            return std::nullopt;
        if (shortYear)
            y = TwoDigitYear(y);
        break;
    }
    case YearMonthNameDay: // 2022-May-23
        if (!TakeDigits(t, 4, 4, y) || !TakeChar(t, '-') || !(m = TakeMonthName(t)) ||
            !TakeChar(t, '-') || !TakeDigits(t, 1, 2, d))
            return std::nullopt;
        break;
    default: return std::nullopt;
    }
    return DateEnds(t) ? DayFromYmd(y, m, d) : std::nullopt;
}
} // namespace

std::optional<double> ParseDate(std::string_view text, int dateFormat)
{
    if (dateFormat >= MonthNameDayYear && dateFormat <= YearMonthNameDay)
        return ParseMonthNameDate(TrimBlanks(text), dateFormat);
    if (dateFormat == YearMonthDay)
        return ParseIsoDate(TrimBlanks(text));
    if (dateFormat == DayMonthYearDots)
        return ParseDottedDate(TrimBlanks(text));
    if (dateFormat == EpochTime)
        return ParseEpoch(TrimBlanks(text));
    if (dateFormat >= 0 && dateFormat <= 3) {
        const size_t s1 = text.find('/');
        if (s1 == std::string_view::npos)
            return std::nullopt;
        const std::optional<long long> a = ParseInt(text.substr(0, s1));
        if (!a)
            return std::nullopt;
        std::string_view rest = text.substr(s1 + 1);
        const size_t s2 = rest.find('/');
        if (s2 == std::string_view::npos)
            return std::nullopt;
        const std::string_view year = TrimBlanks(rest.substr(s2 + 1));
        const std::optional<long long> b = ParseInt(rest.substr(0, s2));
        std::optional<long long> c = ParseInt(year);
        if (!b || !c)
            return std::nullopt;
        if (dateFormat == 0 || dateFormat == 2 || year.size() <= 2)
            c = TwoDigitYear(*c);
        return dateFormat <= 1 ? DayFromYmd(*c, *a, *b) : DayFromYmd(*c, *b, *a);
    }
    if (dateFormat == 4) {
        auto part = [&](size_t from, size_t len) {
            return from < text.size() ? text.substr(from, len) : std::string_view();
        };
        const std::optional<long long> a = ParseInt(part(0, 4)), b = ParseInt(part(4, 2)),
                                       c = ParseInt(part(6, 2));
        if (!a || !b || !c)
            return std::nullopt;
        // More digits are no yyyymmdd (seconds since 1970, say).
        if (text.size() > 8 && text[8] >= '0' && text[8] <= '9')
            return std::nullopt;
        return DayFromYmd(*a, *b, *c);
    }
    return std::nullopt;
}
