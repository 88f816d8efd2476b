#pragma once
// Splitting automation script lines into words; core so it can be fuzzed.

#include <QString>
#include <QStringList>
#include <optional>

// Words separated by blanks; a word in double quotes may hold blanks. Returns
// nothing for an unterminated quote. Blank and comment lines give no words.
[[nodiscard]] std::optional<QStringList> SplitScriptLine(const QString& line);

// "NAME=TEXT" into its two halves; false when there is no '='.
bool SplitAssignment(const QString& word, QString& name, QString& text);

// "WIDTHxHEIGHT" with both in 1..100000.
bool ParsePageSize(const QString& word, int& width, int& height);

// A whole decimal number within int's range.
bool ParseScriptInt(const QString& word, int& value);
