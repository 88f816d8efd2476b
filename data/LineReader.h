#pragma once
// Sequential reading of a text file in large blocks, one line at a time,
// without an allocation per line. Lines end in LF, a CR before it dropped;
// a file with CRs and no LF in its first block has lines ending in CR.

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/Result.h"

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

// The encoding of text that is not UTF-8, judged from its start: UTF-16 by
// its byte-order mark, else GB18030, Windows-1251 or Windows-1252, whichever
// makes known column names of the first lines. Empty for UTF-8 and ASCII.
[[nodiscard]] QString TextEncodingOf(std::string_view start);
// The whole text decoded from that encoding into UTF-8.
[[nodiscard]] std::string DecodeToUtf8(std::string_view bytes, const QString& encoding);

// Where a line starts, and how many lines come before it: a scan leaves one
// every block, so that a later read of a range far into the file need not
// count its way there again.
struct LineMark {
    int64_t lines = 0;
    int64_t offset = 0;
    bool operator==(const LineMark&) const = default;
};

class LineReader {
public:
    // One buffer of this size is read into again and again: small enough to
    // stay in the processor's cache while its line ends are counted.
    static constexpr size_t BlockSize = 1 << 20;
    // A longer line is cut here and reported as too long; memory stays bounded.
    static constexpr size_t MaxLine = 1 << 20;
    // A count of this much or more is shared between two of the processor's cores.
    static constexpr size_t ParallelBytes = size_t(8) << 20;

    explicit LineReader(size_t blockSize = BlockSize) : block_(blockSize) {}
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;
    ~LineReader() { close(); }

    // Only regular files are read: a pipe or a device would block or never end.
    // Text in UTF-16 (with its byte-order mark) or in a code page other than
    // UTF-8 is read as UTF-8, decoded once here.
    Result<void> open(const PriceSource& source);
    // The encoding the text was decoded from; empty for UTF-8 (and ASCII).
    [[nodiscard]] const QString& encoding() const { return encoding_; }
    // The next line; nothing at the end of the file or after a read error
    // (see error()). It lasts until the next call.
    [[nodiscard]] std::optional<std::string_view> next();
    // Counts the lines still to come, as next() would return them, without
    // looking at each: the last of them (its start, at most MaxLine) goes
    // into last, untouched when there is none. Its offset goes into lastAt.
    // A mark is added to marks at the last line start of each block, its
    // lines counted from here.
    int64_t countRest(std::string& last, int64_t* lastAt = nullptr,
                      std::vector<LineMark>* marks = nullptr);
    // Goes on reading at offset, which must be where a line starts.
    bool seek(int64_t offset);
    // Passes over n lines as n calls of next() would; returns how many there were.
    int64_t skip(int64_t n);
    // The line just read was longer than MaxLine; it holds its start only.
    [[nodiscard]] bool lineTooLong() const { return tooLong_; }
    // What went wrong while reading, if anything did.
    [[nodiscard]] const std::optional<Error>& error() const { return error_; }
    // Where the next line starts, in the file or the bytes.
    [[nodiscard]] int64_t position() const { return bufStart_ + int64_t(pos_); }
    // The file's size and its time of last change when it was opened.
    [[nodiscard]] int64_t size() const { return size_; }
    [[nodiscard]] int64_t modified() const { return modified_; }
    // The line that ends just before offset end (which lies past the lines
    // read so far), read from the file, and the offset where it starts.
    // Nothing before the file's start or on a read error.
    struct LineAt {
        std::string text;
        int64_t start = 0;
    };
    [[nodiscard]] std::optional<LineAt> lineBefore(int64_t end);
    // Where the line starts that follows the n-th line end before the line
    // end at offset endAt (n = 0: the line after endAt's), found back from
    // endAt; nothing when there are fewer, or on a read error.
    [[nodiscard]] std::optional<int64_t> startAfterEndsBefore(int64_t endAt, int64_t n);
    // The file's last n lines (fewer when the file has fewer), none starting
    // before offset notBefore, in file order.
    [[nodiscard]] std::vector<std::string> lastLines(int n, int64_t notBefore);
    void close();

private:
    bool fill();
    // Settles how lines end before reading anywhere but from the start;
    // false on a read error.
    bool knowLineEnds();
    // The whole text is data_[0, len_): read from memory from here on.
    void readFromMemory();
    // countRest's reading of the rest, mapped instead of read a block at a
    // time; false when the file cannot be mapped.
    template <class Seen> bool mapRest(const Seen& seen);
    [[nodiscard]] std::string bytesAt(int64_t offset, size_t n) const;
    // The offset of the n-th line end (n > 0) before offset to, looked for
    // back to notBefore, piece bytes at a time; -1 when there are fewer,
    // nothing on a read error.
    [[nodiscard]] std::optional<int64_t> lineEndBefore(int64_t to, int64_t n, int64_t notBefore,
                                                       int64_t piece);
    void failRead(const QString& why);
    void strip(std::string_view& line) const;
    void strip(std::string& line) const;

    size_t block_;
    int fd_ = -1;
    int64_t size_ = 0;     // reading that ends before this was cut short
    int64_t modified_ = 0; // nanoseconds
    int64_t bufStart_ = 0; // where the buffer starts in the file
    int64_t filePos_ = 0;  // where the next read starts
    QString path_;
    std::unique_ptr<char[]> buf_;
    const char* data_ = nullptr;
    size_t pos_ = 0;
    size_t len_ = 0;
    bool eof_ = false;
    bool tooLong_ = false;
    char eol_ = '\n';
    // A line feed among the first bytes settles how lines end without
    // reading the whole first block.
    bool newlineAtStart_ = false;
    std::string carry_;
    std::optional<Error> error_;
    std::string decoded_;
    QString encoding_;
};
