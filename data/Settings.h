#pragma once
// fsetup.dat: the price file layout and the three fan-line angles.

#include <QString>
#include <array>

#include "data/LineReader.h"
#include <string_view>

// Reads the file over the current settings; a missing file or a bad line
// keeps the value it would set.
void ReadSettingsFile(const QString& path);
// The same from any source of lines (bytes in memory for the fuzzer).
void ReadSettings(const PriceSource& source);
// The file's content: lines 2 to 6 as given, or from the current settings.
[[nodiscard]] QByteArray SettingsText(const std::array<QString, 5>& fieldTexts);
[[nodiscard]] QByteArray SettingsText();

// The separator as line 11 writes it, and back; anything else is a comma.
[[nodiscard]] QString SeparatorText(char separator);
[[nodiscard]] char SeparatorFromText(std::string_view text);

// Writes all eleven lines (the separator last, so readers that stop at ten
// keep working) through a temporary file renamed over the old one, so
// a failed write leaves the old file whole. fieldTexts are lines 2 to 6 as
// they should appear. Returns an error text, empty on success.
[[nodiscard]] QString WriteSettingsFile(const QString& path,
                                        const std::array<QString, 5>& fieldTexts);
// The same with lines 2 to 6 from the current settings.
[[nodiscard]] QString WriteSettingsFile(const QString& path);

// Shortest general form, up to 15 significant digits, point separator.
[[nodiscard]] QString FormatAngle(double v);
// A point or a comma is the decimal separator.
[[nodiscard]] bool ParseAngle(const QString& text, double& out);
