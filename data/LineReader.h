#pragma once
// Sequential reading of a text file in large blocks, one line at a time,
// without an allocation per line. Lines end in LF; a CR before it is dropped.

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Where lines come from: a file by its path, or bytes already in memory.
struct PriceSource {
    QString path;
    std::optional<std::string_view> bytes;

    PriceSource(const QString& p) : path(p) {} // NOLINT: a path is a source
    [[nodiscard]] static PriceSource InMemory(std::string_view b)
    {
        PriceSource s(QStringLiteral("(memory)"));
        s.bytes = b;
        return s;
    }
};

class LineReader {
public:
    static constexpr size_t BlockSize = 1 << 20;
    // A longer line is cut here and reported as too long; memory stays bounded.
    static constexpr size_t MaxLine = 1 << 20;
    // Counting and skipping look at the file through a read-only mapping of
    // this much at a time (a multiple of the page size).
    static constexpr size_t MapWindow = 2 << 20;

    explicit LineReader(size_t mapWindow = MapWindow) : window_(mapWindow) {}
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;
    ~LineReader() { close(); }

    // Returns an error text, empty on success. Only regular files are read:
    // a pipe or a device would block or never end.
    QString open(const PriceSource& source);
    // False at the end of the file or after a read error (see error()).
    bool next(std::string_view& line);
    // Counts the lines still to come, as next() would return them, without
    // looking at each: the last of them (its start, at most MaxLine) goes
    // into last, untouched when there is none.
    int64_t countRest(std::string& last);
    // Passes over n lines as n calls of next() would; returns how many there were.
    int64_t skip(int64_t n);
    // The line just read was longer than MaxLine; it holds its start only.
    [[nodiscard]] bool lineTooLong() const { return tooLong_; }
    [[nodiscard]] const QString& error() const { return error_; }
    void close();

private:
    bool fill();
    // The line ends of everything after the current line, a window at a
    // time; the reader is then at the end (see moveTo). Nothing on a read error.
    std::optional<std::vector<struct LineEnds>> restEnds();
    // Where the next line starts (in the file or the bytes), and moving there.
    [[nodiscard]] int64_t position() const { return (fd_ < 0 ? 0 : bufStart_) + int64_t(pos_); }
    void moveTo(int64_t offset);
    [[nodiscard]] std::string bytesAt(int64_t offset, size_t n) const;
    void failRead(const QString& why);

    size_t window_;
    int fd_ = -1;
    int64_t bufStart_ = 0; // where the buffer starts in the file
    int64_t filePos_ = 0;  // where the next read starts
    QString path_;
    std::vector<char> buf_;
    const char* data_ = nullptr;
    size_t pos_ = 0;
    size_t len_ = 0;
    bool eof_ = false;
    bool tooLong_ = false;
    std::string carry_;
    QString error_;
};
