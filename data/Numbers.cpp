#include "data/Numbers.h"

#include <charconv>
#include <cmath>

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool ParseInt(std::string_view text, long long& out)
{
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && p == end;
}

bool ParseIntIn(const QString& text, long long min, long long max, long long& out)
{
    const QByteArray b = text.toUtf8();
    long long v = 0;
    if (!ParseInt(std::string_view(b.constData(), size_t(b.size())), v) || v < min || v > max)
        return false;
    out = v;
    return true;
}

bool ParsePrice(std::string_view text, double& out)
{
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    const char* end = text.data() + text.size();
    double v = 0;
    auto [p, ec] = std::from_chars(text.data(), end, v, std::chars_format::general);
    if (ec != std::errc() || p != end || !std::isfinite(v))
        return false;
    out = v;
    return true;
}
