#pragma once
// Every file the program writes is written whole or not at all: into a
// temporary file of a unique name beside it, every write and the final flush
// checked, then renamed over the old one. A failure leaves the old file as it
// was. Only a regular file is replaced; a pipe the user names is written into
// while someone reads it, and a device or anything else is refused.

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

#include "data/Result.h"

class QIODevice;
class QTemporaryFile;

enum class SymLink {
    Follow,  // a link is kept and its target replaced (fsetup.dat, a user's file)
    Replace, // the link itself is replaced (the program's own scratch pictures,
             // which are not forced to disk either)
};

// write puts the content on the device and says whether it could.
Result<void> WriteWholeFile(const QString& path, const std::function<bool(QIODevice&)>& write,
                            SymLink link = SymLink::Follow);
Result<void> WriteWholeBytes(const QString& path, const QByteArray& bytes,
                             SymLink link = SymLink::Follow);

// SIGTERM, SIGINT and SIGHUP end the program as they would, but never leave
// a temporary of a write behind: the handler removes the one being written
// and the write stops. Outside a write the signal goes to the event loop
// through a pipe (listen on EndingSignalPipe(), then call EndIfSignalled());
// a program with no event loop listening ends at once.
void CatchEndingSignals(bool eventLoopListens);
[[nodiscard]] int EndingSignalPipe();
// Ends the program as the signal that came would; returns when none came.
void EndIfSignalled();

// An empty file of a unique name beside path, made exclusively and removed
// with the object: for a writer that takes only a file name (the printer),
// whose result then goes to path through WriteWholeBytes.
Result<std::unique_ptr<QTemporaryFile>> TemporaryBeside(const QString& path);
