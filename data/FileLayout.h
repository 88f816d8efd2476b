#pragma once
// How the lines of a price file are laid out.

struct FileLayout {
    bool header = true;
    int dateColumn = 1;
    int openColumn = 2;
    int highColumn = 3;
    int lowColumn = 4;
    int closeColumn = 5;
    int dateFormat = 1;

    // The layout of the shared settings.
    [[nodiscard]] static FileLayout Current();
};
