#pragma once
// How the lines of a price file are laid out.

#include "data/Dates.h"

struct FileLayout {
    bool header = true;
    int dateColumn = 1;
    int openColumn = 2;
    int highColumn = 3;
    int lowColumn = 4;
    int closeColumn = 5;
    int dateFormat = 1;
    char separator = ',';
    // The decimal mark, '.' or ','; 0 until the file's numbers decide it,
    // and then as the separator suggests.
    char decimal = 0;

    [[nodiscard]] bool decimalComma() const { return decimal ? decimal == ',' : separator == ';'; }
    // The empty layout, chosen on purpose: every date is day 0.
    [[nodiscard]] bool noDates() const
    {
        return dateFormat < 0 || dateFormat == NoDateLayout || dateFormat >= DateLayoutCount;
    }
    bool operator==(const FileLayout&) const = default;
};
