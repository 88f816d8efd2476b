#pragma once
// The names price files give their columns, in the languages traders use.

#include <QString>
#include <string>
#include <string_view>
#include <vector>

enum class Column { None, Date, Time, Open, High, Low, Close, AdjClose, Volume };

struct ColumnName {
    const char* name; // as Normal() leaves it: lower case, no blanks, points or brackets
    Column column;
    // Among names of one column the lower wins: "Close" over "Last" over "Price".
    int rank;
    const char* language;
};

// Every name known, for the header and for the test over it.
[[nodiscard]] const std::vector<ColumnName>& ColumnNames();

// A header field as the table holds it: brackets, quotes, blanks,
// underscores, points, footnote marks and a byte-order mark dropped, in
// lower case.
[[nodiscard]] std::string NormalName(std::string_view field);

// The column a normalised name stands for, and its rank; None when unknown.
[[nodiscard]] Column ColumnOf(const std::string& normal, int* rank = nullptr);
// The language whose names make up most of a header's known ones, or empty.
[[nodiscard]] QString HeaderLanguage(const std::vector<std::string>& normals);
