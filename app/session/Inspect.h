#pragma once
// --inspect FILE: how the program reads a price file, as one JSON object.

#include <QByteArray>
#include <QString>

struct Inspection {
    QByteArray json;   // one line
    bool read = false; // the file reads: there is something to chart
};

// Opens the file as File does in the window, with the layout kept in
// settingsFolder's fsetup.dat (the defaults when there is none).
[[nodiscard]] Inspection InspectPriceFile(const QString& path, const QString& settingsFolder);
