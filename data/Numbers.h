#pragma once
// The one place where text becomes a number.

#include <QString>
#include <string_view>

// Blanks and tabs at both ends removed.
[[nodiscard]] std::string_view TrimBlanks(std::string_view s);
// A whole decimal number; blanks around and a leading plus sign allowed.
[[nodiscard]] bool ParseInt(std::string_view text, long long& out);
// The same for text typed into a field, within [min, max].
[[nodiscard]] bool ParseIntIn(const QString& text, long long min, long long max, long long& out);
// A finite decimal number with a point as separator; blanks and a plus sign allowed.
[[nodiscard]] bool ParsePrice(std::string_view text, double& out);
