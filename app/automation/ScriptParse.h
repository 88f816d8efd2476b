#pragma once
// Splitting automation script lines into words; core so it can be fuzzed.

#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

#include "data/Result.h"

// Words separated by blanks; a word in double quotes may hold blanks. Returns
// nothing for an unterminated quote. Blank and comment lines give no words.
[[nodiscard]] std::optional<QStringList> SplitScriptLine(const QString& line);

// "NAME=TEXT" into its two halves; nothing when there is no '=' after a name.
struct Assignment {
    QString name, text;
};
[[nodiscard]] std::optional<Assignment> SplitAssignment(const QString& word);

// "WIDTHxHEIGHT" with both in 1..100000.
[[nodiscard]] std::optional<QSize> ParsePageSize(const QString& word);

// A whole decimal number within int's range.
[[nodiscard]] std::optional<int> ParseScriptInt(const QString& word);

// A script is read whole before it runs, so it is held to a size: at most
// MaxScriptBytes, no line longer than MaxScriptLine characters.
constexpr qsizetype MaxScriptBytes = 16 << 20;
constexpr qsizetype MaxScriptLine = 64 << 10;

// The lines of the script at path ("-": standard input). Only a regular
// file or standard input is read.
[[nodiscard]] Result<QStringList> ReadScriptFile(const QString& path);
// The same for the script's bytes, already read (at most MaxScriptBytes + 1).
[[nodiscard]] Result<QStringList> ScriptLines(const QString& path, const QByteArray& bytes);
