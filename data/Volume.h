#pragma once
// The traded volume beside the prices: which field holds it, and its
// numbers as downloads write them ("41.2M", "2.51B", "1,234,500").

#include <QString>
#include <optional>
#include <string_view>

#include "data/FileLayout.h"
#include "data/LineReader.h"

// A volume field: a price-like number, optionally followed by K, M or B
// (thousands, millions, billions). Nothing for anything else or below zero.
[[nodiscard]] std::optional<double> ReadVolume(std::string_view text, bool decimalComma);
// The field named as volume in a header line, none of the layout's own
// columns; 0 when there is none.
[[nodiscard]] int VolumeColumnIn(std::string_view header, const FileLayout& layout);
// The same, from the first line of a file whose layout has a header; 0
// without a header or when the file cannot be read.
[[nodiscard]] int VolumeColumnOfFile(const PriceSource& source, const FileLayout& layout);
// A volume written short: 950, 41.2K, 41.2M, 2.51B (three significant digits).
[[nodiscard]] QString VolumeText(double v);
