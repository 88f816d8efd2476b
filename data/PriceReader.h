#pragma once
// Scanning a price file and loading a record range into the day slots.
// The file is read afresh every time; nothing of it is kept in between.

#include <string_view>

class Prompts;
struct UiModel;

struct LineFields {
    std::string_view date, open, high, low, close;
};

// Splits at every comma (no quoting); the wanted fields of this line only.
void SplitLine(std::string_view line, LineFields& out);
// The date text as the scan takes it (field DateColumn, at least field 1).
[[nodiscard]] std::string_view ScanDateField(std::string_view line, int dateColumn);

void ScanPriceFile(UiModel& ui, Prompts& prompts);
// False when the file could not be read (the error box was shown).
bool ScanWholeFileRange(Prompts& prompts);
bool LoadChartRange(UiModel& ui, Prompts& prompts);
