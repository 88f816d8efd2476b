#pragma once
// Sequential reading of a text file in large blocks, one line at a time,
// without an allocation per line. Lines end in LF; a CR before it is dropped.

#include <QFile>
#include <QString>
#include <string>
#include <string_view>
#include <vector>

class LineReader {
public:
    static constexpr size_t BlockSize = 1 << 20;

    // Returns an error text, empty on success.
    QString open(const QString& path);
    // False at the end of the file or after a read error (see error()).
    bool next(std::string_view& line);
    [[nodiscard]] const QString& error() const { return error_; }
    void close() { file_.close(); }

private:
    bool fill();

    QFile file_;
    std::vector<char> buf_;
    size_t pos_ = 0;
    size_t len_ = 0;
    bool eof_ = false;
    std::string carry_;
    QString error_;
};
