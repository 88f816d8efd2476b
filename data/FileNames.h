#pragma once
// File names as the system spells them. A name that is not valid in the
// local encoding (UTF-8) keeps each stray byte as a character of its own,
// U+DC80..U+DCFF, so that the file it names is found and written again byte
// for byte rather than under a name with U+FFFD in it.

#include "data/Result.h"

#include <QByteArray>
#include <QString>
#include <optional>

[[nodiscard]] QString DecodeFileName(const QByteArray& bytes);
[[nodiscard]] QByteArray EncodeFileName(const QString& name);

// Succeeds for a regular file; otherwise an Error opening path whose reason
// says why, as a sentence ("It is a folder, not a file.").
[[nodiscard]] Result<void> CheckRegularFile(const QString& path);

// Whether a and b name one file (the same device and inode), links and
// hard links included; false when either is not there.
[[nodiscard]] bool SameFile(const QString& a, const QString& b);

// The files the program keeps by a fixed name in a folder (view and layout
// settings): only a regular file, or nothing yet, may be read or replaced
// there. Succeeds when it may; otherwise an Error opening path whose reason
// says what lies there instead.
[[nodiscard]] Result<void> CheckKeptFile(const QString& path);
// At most limit bytes of such a file: opened without waiting, so that a pipe
// or device at the name hangs nothing, and read only when it is a regular file.
[[nodiscard]] std::optional<QByteArray> ReadKeptFile(const QString& path, qint64 limit);

// text on one line: its line breaks become spaces.
[[nodiscard]] QString OneLine(QString text);
