#pragma once
// File names as the system spells them. A name that is not valid in the
// local encoding (UTF-8) keeps each stray byte as a character of its own,
// U+DC80..U+DCFF, so that the file it names is found and written again byte
// for byte rather than under a name with U+FFFD in it.

#include <QByteArray>
#include <QString>
#include <optional>

[[nodiscard]] QString DecodeFileName(const QByteArray& bytes);
[[nodiscard]] QByteArray EncodeFileName(const QString& name);

// Why path cannot be read as a file, as a sentence ("It is a folder."),
// if it cannot: none for a regular file.
[[nodiscard]] std::optional<QString> NotAFileReason(const QString& path);

// text on one line: its line breaks become spaces.
[[nodiscard]] QString OneLine(QString text);
