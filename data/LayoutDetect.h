#pragma once
// Working out the layout of a price file from its header and first lines,
// for a file that does not fit the layout in force.

#include <QString>
#include <string_view>

#include "data/FileLayout.h"
#include "data/PriceReader.h"

struct LayoutCheck {
    enum Outcome {
        Fits,     // the layout in force reads the file (or the file is empty)
        Detected, // layout holds what the file was read as
        NoDate,   // no date of the first data line reads under any layout
    };
    Outcome outcome = Fits;
    QString error; // the file could not be read
    FileLayout layout;
    // Day and month could stand either way in every line: the order is a guess.
    bool guessedOrder = false;
    LineNote firstData;
};

// Columns named by a header line (Date, Open, High, Low, Close; "<DATE>",
// "Close/Last", "Last", "Price" and, failing a close, "Adj Close" too).
// False when the line names no date and no close.
bool ColumnsFromHeader(std::string_view header, char separator, FileLayout& layout);

[[nodiscard]] LayoutCheck CheckLayout(const PriceSource& source, const FileLayout& current);
