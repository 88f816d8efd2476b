#pragma once
// Every file the program writes is written whole or not at all: into a
// temporary file beside it, every write and the final flush checked, then
// renamed over the old one. A failure leaves the old file as it was.

#include <QString>
#include <functional>

class QIODevice;

enum class SymLink {
    Follow,  // a link is kept and its target replaced (fsetup.dat, a user's file)
    Replace, // the link itself is replaced (the program's own scratch pictures,
             // which are not forced to disk either)
};

// write puts the content on the device and says whether it could.
// Returns an error text naming the file and the reason, empty on success.
[[nodiscard]] QString WriteWholeFile(const QString& path,
                                     const std::function<bool(QIODevice&)>& write,
                                     SymLink link = SymLink::Follow);
