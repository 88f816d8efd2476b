#include "data/Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

std::optional<long long> ParseIntIn(const QString& text, long long min, long long max)
{
    const QByteArray b = text.toUtf8();
    const std::optional<long long> v = ParseInt(std::string_view(b.constData(), size_t(b.size())));
    if (!v || *v < min || *v > max)
        return std::nullopt;
    return v;
}

std::optional<double> numbers_detail::ReadWrittenPrice(std::string_view text, bool decimalComma)
{
    text = TrimBlanks(text);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = TrimBlanks(text.substr(1, text.size() - 2));
    // A number long enough to need more room is no price anyone writes.
    char buf[64];
    size_t n = 0;
    bool digits = false;
    auto skipCurrency = [&](std::string_view& t) {
        for (std::string_view sign : {"$", "\xE2\x82\xAC", "\xC2\xA3", "\xC2\xA5"}) {
            if (t.substr(0, sign.size()) == sign) {
                t.remove_prefix(sign.size());
                return;
            }
        }
    };
    skipCurrency(text);
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        if (text.front() == '-')
            buf[n++] = '-';
        text.remove_prefix(1);
        skipCurrency(text);
    }
    for (char ch : text) {
        if (n + 1 >= sizeof buf)
            return std::nullopt;
        if (ch >= '0' && ch <= '9') {
            buf[n++] = ch;
            digits = true;
        } else if (ch == (decimalComma ? ',' : '.')) {
            buf[n++] = '.';
        } else if (ch == (decimalComma ? '.' : ',') || ch == '\'' || ch == ' ') {
            // a thousands separator
        } else if (ch == 'e' || ch == 'E' || ch == '-' || ch == '+') {
            buf[n++] = ch;
        } else {
            return std::nullopt;
        }
    }
    if (!digits)
        return std::nullopt;
    double v = 0;
    auto [p, ec] = std::from_chars(buf, buf + n, v, std::chars_format::general);
    if (ec != std::errc() || p != buf + n || !std::isfinite(v))
        return std::nullopt;
    return v;
}

namespace {
// The digits and marks of a number field: quotes, blanks, a sign, a
// currency sign, a percent sign and a K/M/B suffix read past; empty when
// anything else is in it.
std::string_view NumberBody(std::string_view t)
{
    t = TrimBlanks(t);
    if (t.size() >= 2 && t.front() == '"' && t.back() == '"')
        t = TrimBlanks(t.substr(1, t.size() - 2));
    if (!t.empty() && (t.front() == '-' || t.front() == '+'))
        t.remove_prefix(1);
    for (std::string_view sign : {"$", "\xE2\x82\xAC", "\xC2\xA3", "\xC2\xA5"})
        if (t.substr(0, sign.size()) == sign)
            t.remove_prefix(sign.size());
    while (!t.empty() && (t.back() == '%' || t.back() == 'K' || t.back() == 'M' ||
                          t.back() == 'B' || t.back() == 'k' || t.back() == ' '))
        t.remove_suffix(1);
    if (t.empty() || t.front() < '0' || t.front() > '9')
        return {};
    for (char c : t)
        if (!((c >= '0' && c <= '9') || c == '.' || c == ','))
            return {};
    return t;
}

// Every mark of m in t comes before exactly three digits, with one to three before the first.
bool ThousandsGroups(std::string_view t, char m)
{
    const size_t first = t.find(m);
    if (first == 0 || first > 3)
        return false;
    size_t digits = 0;
    for (size_t i = first + 1; i <= t.size(); ++i) {
        if (i == t.size() || t[i] == m) {
            if (digits != 3)
                return false;
            digits = 0;
        } else if (t[i] >= '0' && t[i] <= '9') {
            ++digits;
        } else {
            return false;
        }
    }
    return true;
}
} // namespace

DecimalMark DecimalMarkOf(const std::vector<std::string_view>& fields, char fallback)
{
    DecimalMark out;
    out.mark = fallback;
    int point = 0, comma = 0;
    bool unclear = false;
    for (size_t i = 0; i < fields.size(); ++i) {
        const std::string_view t = NumberBody(fields[i]);
        if (t.empty())
            continue;
        const size_t points = size_t(std::count(t.begin(), t.end(), '.'));
        const size_t commas = size_t(std::count(t.begin(), t.end(), ','));
        if (points > 0 && commas > 0) {
            const size_t last = t.find_last_of(".,");
            (t[last] == ',' ? comma : point) += 1;
        } else if (points + commas >= 2) {
            // Repeated: thousands, unless it is no number (a date with points).
            const char m = points ? '.' : ',';
            if (ThousandsGroups(t, m))
                (m == '.' ? comma : point) += 1;
        } else if (points + commas == 1) {
            const char m = points ? '.' : ',';
            const size_t at = t.find(m);
            if (t.size() - at - 1 == 3 && ThousandsGroups(t, m) && t.front() != '0') {
                if (!unclear)
                    out.ambiguousField = i;
                unclear = true;
            } else {
                (m == '.' ? point : comma) += 1;
            }
        }
    }
    if (point != comma)
        out.mark = point > comma ? '.' : ',';
    else
        out.ambiguous = unclear || point > 0;
    return out;
}

int16_t Sat16(long long v)
{
    return static_cast<int16_t>(std::clamp<long long>(v, std::numeric_limits<int16_t>::min(),
                                                      std::numeric_limits<int16_t>::max()));
}
