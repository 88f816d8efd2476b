#pragma once
// The one place where text becomes a number.

#include <QString>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// Blanks and tabs at both ends removed.
[[nodiscard]] std::string_view TrimBlanks(std::string_view s);
// A whole decimal number; blanks around and a leading plus sign allowed.
[[nodiscard]] std::optional<long long> ParseInt(std::string_view text);
// The same for text typed into a field, within [min, max].
[[nodiscard]] std::optional<long long> ParseIntIn(const QString& text, long long min,
                                                  long long max);
// A finite decimal number with a point as separator; blanks and a plus sign allowed.
[[nodiscard]] std::optional<double> ParsePrice(std::string_view text);
// A price field as files write it: quotes, blanks, a leading currency sign
// and thousands separators are read past; with decimalComma a comma is the
// decimal separator and a point separates thousands.
[[nodiscard]] std::optional<double> ReadPrice(std::string_view text, bool decimalComma);

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
