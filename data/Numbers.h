#pragma once
// The one place where text becomes a number.

#include <QString>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// Blanks and tabs at both ends removed.
[[nodiscard]] inline std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// The parsers below read every price field of a file: they are defined here
// so that the reader's loop gets them inlined, their optional in registers.
namespace numbers_detail {
// The digits of a number: blanks around and a leading plus sign dropped.
[[nodiscard]] inline std::string_view Unsigned(std::string_view text)
{
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    return text;
}
// ReadPrice for what is not a plain number.
[[nodiscard]] std::optional<double> ReadWrittenPrice(std::string_view text, bool decimalComma);
} // namespace numbers_detail

// A whole decimal number; blanks around and a leading plus sign allowed.
[[nodiscard]] inline std::optional<long long> ParseInt(std::string_view text)
{
    text = numbers_detail::Unsigned(text);
    if (text.empty())
        return std::nullopt;
    const char* end = text.data() + text.size();
    long long v = 0;
    auto [p, ec] = std::from_chars(text.data(), end, v);
    if (ec != std::errc() || p != end)
        return std::nullopt;
    return v;
}
// The same for text typed into a field, within [min, max].
[[nodiscard]] std::optional<long long> ParseIntIn(const QString& text, long long min,
                                                  long long max);
// A finite decimal number with a point as separator; blanks and a plus sign allowed.
[[nodiscard]] inline std::optional<double> ParsePrice(std::string_view text)
{
    text = numbers_detail::Unsigned(text);
    if (text.empty())
        return std::nullopt;
    const char* end = text.data() + text.size();
    double v = 0;
    auto [p, ec] = std::from_chars(text.data(), end, v, std::chars_format::general);
    if (ec != std::errc() || p != end || !std::isfinite(v))
        return std::nullopt;
    return v;
}
// A price field as files write it: quotes, blanks, a leading currency sign
// and thousands separators are read past; with decimalComma a comma is the
// decimal separator and a point separates thousands.
[[nodiscard]] inline std::optional<double> ReadPrice(std::string_view text, bool decimalComma)
{
    if (!decimalComma)
        if (const std::optional<double> plain = ParsePrice(text))
            return plain;
    return numbers_detail::ReadWrittenPrice(text, decimalComma);
}

// What the numeric fields of a file say of its decimal mark. A field with
// both marks names it by the last; one mark repeated before groups of three
// digits separates thousands; a single mark before other than three digits
// is the decimal mark. Single marks before three digits decide nothing.
struct DecimalMark {
    char mark = '.';
    // Nothing decided it, though some field had a mark: mark is the fallback.
    bool ambiguous = false;
    size_t ambiguousField = 0; // index of the first such field
};
[[nodiscard]] DecimalMark DecimalMarkOf(const std::vector<std::string_view>& fields, char fallback);

// Pixel values the figures keep in 16 bits saturate instead of wrapping.
[[nodiscard]] int16_t Sat16(long long v);
