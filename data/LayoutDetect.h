#pragma once
// Working out the layout of a price file from its header and first and last
// lines, for a file that does not fit the layout in force.

#include <QString>
#include <optional>
#include <string_view>
#include <vector>

#include "data/FileLayout.h"
#include "data/PriceReader.h"

struct LayoutCheck {
    enum Outcome {
        Fits,     // the layout in force reads the file (or the file is empty)
        Detected, // layout holds what the file was read as
        NoDate,   // no date of the first data line reads under any layout
        Refused,  // the prices fail a check under every reading tried: refusal says which
    };
    Outcome outcome = Fits;
    FileLayout layout;
    // Day and month could stand either way in every line: the order is a guess.
    bool guessedOrder = false;
    LineNote firstData;
    // Of the lines looked at, those whose High is below their Low or whose
    // Open or Close lies outside them under the chosen columns, when no
    // other assignment of the columns fits better; and how many were looked at.
    int inconsistent = 0;
    int looked = 0;
    // The language of the header's names, when they are known ones.
    QString language;
    // The check the prices failed (with Refused, firstData is a line that
    // fails it, and read what was read there); or how another reading of
    // the columns passed it.
    QString refusal, read, reread;
    // Open, High, Low and Close are one number on every line: a history of closes.
    bool closesOnly = false;
};

// Columns named by header lines (Date, Open, High, Low, Close in any case,
// quoted, in <>; "Close/Last", "Last", "Price" and, failing a close, "Adj
// Close" too; real prices before adjusted ones). With High and Low named and
// no close, the first other price column of the first line, or the open,
// stands for it. Returns layout with those columns, nothing when they name
// no date, or no close nor High and Low.
[[nodiscard]] std::optional<FileLayout>
ColumnsFromHeader(const std::vector<std::string_view>& lines, char separator, FileLayout layout);
[[nodiscard]] std::optional<FileLayout> ColumnsFromHeader(std::string_view header, char separator,
                                                          const FileLayout& layout);

// The layout as a person says it: "semicolons, decimal comma, dd.mm.yyyy,
// newest first, header in Portuguese".
[[nodiscard]] QString LayoutInWords(const FileLayout& l, bool newestFirst, const QString& language);

// The first and the last five records of a file as a layout reads them,
// under the layout in words: what the layout dialog shows.
[[nodiscard]] QString PreviewOf(const PriceSource& source, const FileLayout& layout);

// More than a few of n lines disagree: the columns may be wrong.
[[nodiscard]] bool TooInconsistent(int64_t disagreeing, int64_t n);

[[nodiscard]] Result<LayoutCheck> CheckLayout(const PriceSource& source, const FileLayout& current);
