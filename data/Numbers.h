#pragma once
// The one place where text becomes a number.

#include <QString>
#include <cstdint>
#include <string_view>

// Blanks and tabs at both ends removed.
[[nodiscard]] std::string_view TrimBlanks(std::string_view s);
// A whole decimal number; blanks around and a leading plus sign allowed.
[[nodiscard]] bool ParseInt(std::string_view text, long long& out);
// The same for text typed into a field, within [min, max].
[[nodiscard]] bool ParseIntIn(const QString& text, long long min, long long max, long long& out);
// A finite decimal number with a point as separator; blanks and a plus sign allowed.
[[nodiscard]] bool ParsePrice(std::string_view text, double& out);
// A price field as files write it: quotes, blanks, a leading currency sign
// and thousands separators are read past; with decimalComma a comma is the
// decimal separator and a point separates thousands.
[[nodiscard]] bool ReadPrice(std::string_view text, bool decimalComma, double& out);

// Pixel values the figures keep in 16 bits saturate instead of wrapping.
[[nodiscard]] int16_t Sat16(long long v);
