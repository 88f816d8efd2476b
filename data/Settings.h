#pragma once
// fsetup.dat: the price file layout and the three fan-line angles.

#include <QString>
#include <array>
#include <optional>

#include <string_view>

#include "data/FileLayout.h"
#include "data/LineReader.h"
#include "data/Result.h"

// What fsetup.dat keeps: the price file layout and the fan-line angles.
struct Settings {
    FileLayout layout;
    std::array<double, 3> fanAngles{38.0, 45.0, 62.0};
    bool operator==(const Settings&) const = default;
};

// Reads the file over the settings given; a missing file or a bad line
// keeps the value it would set.
[[nodiscard]] Settings ReadSettingsFile(const QString& path, Settings over);
// The same from any source of lines (bytes in memory for the fuzzer).
[[nodiscard]] Settings ReadSettings(const PriceSource& source, Settings over);
// The file's content: lines 2 to 6 as given, or from the settings.
[[nodiscard]] QByteArray SettingsText(const Settings& s, const std::array<QString, 5>& fieldTexts);
[[nodiscard]] QByteArray SettingsText(const Settings& s);

// The separator as line 11 writes it, and back; anything else is a comma.
[[nodiscard]] QString SeparatorText(char separator);
[[nodiscard]] char SeparatorFromText(std::string_view text);

// Writes all eleven lines (the separator last, so readers that stop at ten
// keep working) through a temporary file renamed over the old one, so
// a failed write leaves the old file whole. fieldTexts are lines 2 to 6 as
// they should appear.
Result<void> WriteSettingsFile(const QString& path, const Settings& s,
                               const std::array<QString, 5>& fieldTexts);
// The same with lines 2 to 6 from the settings.
Result<void> WriteSettingsFile(const QString& path, const Settings& s);

// Shortest general form, up to 15 significant digits, point separator.
[[nodiscard]] QString FormatAngle(double v);
// A point or a comma is the decimal separator.
[[nodiscard]] std::optional<double> ParseAngle(const QString& text);
