#include "data/LineReader.h"
#include "data/ReadableFile.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>

#include "data/FileNames.h"
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

#include "data/HeaderNames.h"
#include "data/LineEnds.h"

namespace {
Error CannotOpen(const QString& path, const QString& why)
{
    return Error{Error::Doing::Opening, path, 0, why};
}

QString SystemError(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

// Lines end in CR only when the first block holds CRs and no LF.
char LineEndOf(const char* p, size_t n)
{
    return !std::memchr(p, '\n', n) && std::memchr(p, '\r', n) ? '\r' : '\n';
}
// A byte-order mark before the first line is no part of it.
size_t BomLength(const char* p, size_t n)
{
    return n >= 3 && std::memcmp(p, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
}
} // namespace

namespace {
// Text is UTF-8 unless more of its sequences beyond ASCII are broken than
// whole: a stray byte in a UTF-8 file does not make it another encoding. A
// sequence cut off at the end counts for nothing.
bool Utf8(std::string_view s)
{
    size_t i = 0, whole = 0, broken = 0;
    const size_t n = s.size();
    while (i < n) {
        // Plain ASCII eight bytes at a time: most price files are nothing else.
        uint64_t word = 0;
        while (i + 8 <= n &&
               (std::memcpy(&word, s.data() + i, 8), (word & 0x8080808080808080ULL) == 0))
            i += 8;
        if (i >= n)
            break;
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        const size_t len = c >= 0xF0 && c <= 0xF4  ? 4
                           : c >= 0xE0 && c < 0xF0 ? 3
                           : c >= 0xC2 && c < 0xE0 ? 2
                                                   : 0;
        size_t k = 1;
        while (len > 0 && k < len && i + k < n &&
               (static_cast<unsigned char>(s[i + k]) & 0xC0) == 0x80)
            ++k;
        if (len > 0 && k == len) {
            ++whole;
            i += len;
        } else if (len > 0 && i + k >= n) {
            break;
        } else {
            ++broken;
            ++i;
        }
    }
    return broken <= whole;
}

// Known column names among the words of text.
int KnownNames(const QString& text)
{
    int n = 0;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype l = 0; l < lines.size() && l < 30; ++l)
        for (const QString& w : lines[l].split(
                 QRegularExpression(QStringLiteral("[,;\t|\\s\\x{3000}]+")), Qt::SkipEmptyParts))
            n += ColumnOf(NormalName(w.toStdString())) != Column::None;
    return n;
}
} // namespace

QString TextEncodingOf(std::string_view start)
{
    if (start.size() >= 2) {
        const auto a = static_cast<unsigned char>(start[0]),
                   b = static_cast<unsigned char>(start[1]);
        if (a == 0xFF && b == 0xFE)
            return QStringLiteral("UTF-16LE");
        if (a == 0xFE && b == 0xFF)
            return QStringLiteral("UTF-16BE");
    }
    if (Utf8(start))
        return {};
    // The first lines decide; a tie goes to the earlier.
    const std::string_view head = start.substr(0, 8192);
    QString best;
    int most = -1;
    for (const char* name : {"windows-1252", "GB18030", "windows-1251"}) {
        QStringDecoder d(name);
        if (!d.isValid())
            continue;
        const QString text = d.decode(QByteArrayView(head.data(), qsizetype(head.size())));
        const int n = KnownNames(text);
        if (n > most)
            best = QString::fromLatin1(name), most = n;
    }
    return best;
}

std::string DecodeToUtf8(std::string_view bytes, const QString& encoding)
{
    QStringDecoder d(encoding.toLatin1().constData());
    if (!d.isValid())
        return std::string(bytes);
    const QString text = d.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), size_t(utf8.size()));
}

void LineReader::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

Result<void> LineReader::open(const PriceSource& source)
{
    close();
    pos_ = len_ = 0;
    bufStart_ = filePos_ = size_ = modified_ = 0;
    eof_ = false;
    tooLong_ = false;
    eol_ = '\n';
    newlineAtStart_ = false;
    error_.reset();
    decoded_.clear();
    encoding_.clear();
    path_ = source.path;
    if (source.bytes) {
        data_ = source.bytes->data();
        len_ = size_t(source.bytes->size());
        encoding_ = TextEncodingOf(std::string_view(data_, std::min<size_t>(len_, 1 << 16)));
        if (!encoding_.isEmpty()) {
            decoded_ = DecodeToUtf8(std::string_view(data_, len_), encoding_);
            data_ = decoded_.data();
            len_ = decoded_.size();
        }
        readFromMemory();
        return {};
    }
    ReadableFile file(source.path);
    if (file.error())
        return CannotOpen(source.path, SystemError(file.error()));
    const struct stat st = file.status();
    if (S_ISDIR(st.st_mode))
        return CannotOpen(source.path, QStringLiteral("Is a directory"));
    if (!file.regular())
        return CannotOpen(
            source.path,
            QStringLiteral("It is not a regular file (a pipe, a device or a socket)."));
    file.block();
    fd_ = file.release();
    size_ = int64_t(st.st_size);
    modified_ = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    // Text that is not UTF-8 is decoded whole, once, and read from memory.
    // Otherwise the first bytes, read once, are the first block: most
    // readers want only a file's first lines.
    constexpr size_t Start = size_t(1) << 16;
    const bool intoBuffer = block_ >= Start;
    // Left uninitialised: a small file touches only the pages it fills.
    if (!buf_)
        buf_.reset(new char[block_]);
    const std::unique_ptr<char[]> own(intoBuffer ? nullptr : new char[Start]);
    char* const start = intoBuffer ? buf_.get() : own.get();
    const size_t got = ReadAt(fd_, start, Start, 0);
    encoding_ = TextEncodingOf(std::string_view(start, got));
    newlineAtStart_ = std::memchr(start, '\n', got) != nullptr;
    if (!encoding_.isEmpty()) {
        std::string bytes(size_t(size_), '\0');
        bytes.resize(ReadAt(fd_, bytes.data(), bytes.size(), 0));
        if (int64_t(bytes.size()) != size_) {
            close();
            return CannotOpen(source.path,
                              QStringLiteral("The file was cut short while it was read."));
        }
        decoded_ = DecodeToUtf8(bytes, encoding_);
        close();
        data_ = decoded_.data();
        len_ = decoded_.size();
        readFromMemory();
        return {};
    }
    data_ = buf_.get();
    // A line feed among them settles how lines end, as the whole first block
    // would; without one, the first block is read whole as before.
    if (intoBuffer && newlineAtStart_ && ::lseek(fd_, off_t(got), SEEK_SET) == off_t(got)) {
        eol_ = '\n';
        pos_ = BomLength(data_, got);
        len_ = got;
        filePos_ = int64_t(got);
    }
    return {};
}

void LineReader::readFromMemory()
{
    size_ = int64_t(len_);
    eof_ = true;
    eol_ = LineEndOf(data_, std::min(len_, block_));
    pos_ = BomLength(data_, len_);
}

bool LineReader::fill()
{
    if (eof_ || fd_ < 0)
        return false;
    ssize_t n = 0;
    do
        n = ::read(fd_, buf_.get(), block_);
    while (n < 0 && errno == EINTR);
    if (n < 0) {
        failRead(SystemError(errno));
        return false;
    }
    if (n == 0) {
        if (filePos_ < size_)
            failRead(QStringLiteral("The file was cut short while it was read."));
        eof_ = true;
        return false;
    }
    data_ = buf_.get();
    pos_ = 0;
    if (filePos_ == 0) {
        eol_ = LineEndOf(buf_.get(), size_t(n));
        pos_ = BomLength(data_, size_t(n));
    }
    len_ = static_cast<size_t>(n);
    bufStart_ = filePos_;
    filePos_ += n;
    return true;
}

void LineReader::failRead(const QString& why)
{
    error_ = Error{Error::Doing::Reading, path_, 0, why};
    eof_ = true;
    pos_ = len_;
}

void LineReader::strip(std::string_view& line) const
{
    if (eol_ == '\n')
        while (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
}

void LineReader::strip(std::string& line) const
{
    if (eol_ == '\n')
        while (!line.empty() && line.back() == '\r')
            line.pop_back();
}

std::string LineReader::bytesAt(int64_t offset, size_t n) const
{
    if (fd_ < 0)
        return std::string(data_ + offset, n);
    std::string s(n, '\0');
    s.resize(ReadAt(fd_, s.data(), n, off_t(offset)));
    return s;
}

template <class Seen> bool LineReader::mapRest(const Seen& seen)
{
    // The start of the file decides its line ends and mark; read as usual.
    if (fd_ < 0 || eof_ || filePos_ == 0)
        return false;
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        return false;
    const int64_t end = int64_t(st.st_size);
    if (end < size_ || end < filePos_) {
        failRead(QStringLiteral("The file was cut short while it was read."));
        return true;
    }
    // Block by block as fill() reads, so that the marks fall where they
    // would, and no more of the file is mapped at once than a block a core;
    // a round at a time, so that what is kept of the blocks stays small.
    struct Look {
        int64_t at;
        size_t n;
        LineEndsSeen seen;
        Mapped m = Mapped::Done;
    };
    constexpr size_t Round = 256;
    std::array<Look, Round> looks;
    const auto lookAt = [this, &looks](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) {
            Look& l = looks[i];
            l.m = SeeMappedLineEnds(fd_, l.at, l.n, eol_, l.seen);
            if (l.m != Mapped::Done)
                return;
        }
    };
    const bool twoCores = std::thread::hardware_concurrency() > 1;
    while (filePos_ < end) {
        size_t count = 0;
        for (int64_t at = filePos_; at < end && count < Round; at += int64_t(block_))
            looks[count++] = {at, size_t(std::min<int64_t>(int64_t(block_), end - at)), {}};
        const int64_t span = looks[count - 1].at + int64_t(looks[count - 1].n) - filePos_;
        // A long stretch is looked at from its two halves at once: mapping
        // the pages costs the system more than counting them costs us.
        size_t half = count;
        std::thread other;
        if (twoCores && count > 1 && span >= int64_t(ParallelBytes)) {
            try {
                other = std::thread(lookAt, count / 2, count);
                half = count / 2;
            } catch (const std::system_error&) {
                // no thread to be had: all of it here
            }
        }
        lookAt(0, half);
        if (other.joinable())
            other.join();
        // In file order, as if looked at one after another.
        for (size_t i = 0; i < count; ++i) {
            const Look& l = looks[i];
            if (l.m == Mapped::CutShort) {
                failRead(QStringLiteral("The file was cut short while it was read."));
                return true;
            }
            if (l.m == Mapped::Unmappable) { // read the rest from here instead
                if (::lseek(fd_, off_t(filePos_), SEEK_SET) != off_t(filePos_))
                    failRead(SystemError(errno));
                return true;
            }
            seen(l.at, l.n, l.seen);
            filePos_ += int64_t(l.n);
        }
    }
    ::lseek(fd_, off_t(filePos_), SEEK_SET);
    data_ = buf_.get();
    bufStart_ = filePos_;
    pos_ = len_ = 0;
    eof_ = true;
    return true;
}

int64_t LineReader::countRest(std::string& last, int64_t* lastAt, std::vector<LineMark>* marks)
{
    // Only the number of line ends matters, and where the last two are.
    const int64_t from = position();
    int64_t ends = 0, lastEnd = -1, endBefore = -1, stop = from;
    const auto seen = [&](int64_t at, size_t n, const LineEndsSeen& s) {
        if (s.count > 0) {
            endBefore = s.count > 1 ? at + s.before : lastEnd;
            lastEnd = at + s.last;
            if (marks)
                marks->push_back({ends + s.count, lastEnd + 1});
        }
        ends += s.count;
        stop = at + int64_t(n);
    };
    if (pos_ < len_) {
        seen(position(), len_ - pos_, SeeLineEnds(data_ + pos_, len_ - pos_, eol_));
        pos_ = len_;
    }
    // The rest where the system keeps it, when it can be mapped: one look
    // at each byte instead of a copy and a look.
    if (!mapRest(seen) || !eof_) { // not mapped, or not all of it
        // past a byte-order mark at the start
        while (fill()) {
            seen(position(), len_ - pos_, SeeLineEnds(data_ + pos_, len_ - pos_, eol_));
            pos_ = len_;
        }
    }
    if (error_ || stop == from)
        return 0;
    // A last line without its line end is a line too.
    const bool tail = lastEnd != stop - 1;
    const int64_t start = lastEnd < 0 ? from : tail ? lastEnd + 1 : std::max(endBefore + 1, from);
    const int64_t end = tail ? stop : lastEnd;
    last = bytesAt(start, size_t(std::min<int64_t>(end - start, MaxLine)));
    strip(last);
    if (lastAt)
        *lastAt = start;
    return ends + (tail ? 1 : 0);
}

std::optional<LineReader::LineAt> LineReader::lineBefore(int64_t end)
{
    if (end < 0)
        return std::nullopt;
    if (end == 0)
        return LineAt{};
    if (!knowLineEnds())
        return std::nullopt;
    // Back to the line end before it, at most MaxLine; a line is short, so
    // are the pieces read.
    const int64_t notBefore = std::max<int64_t>(0, end - int64_t(MaxLine));
    const std::optional<int64_t> e = lineEndBefore(end, 1, notBefore, 4096);
    if (!e)
        return std::nullopt;
    const int64_t start = *e >= 0 ? *e + 1 : notBefore;
    LineAt line{bytesAt(start, size_t(std::min<int64_t>(end - start, MaxLine))), start};
    strip(line.text);
    return line;
}

std::optional<int64_t> LineReader::startAfterEndsBefore(int64_t endAt, int64_t n)
{
    if (endAt < 0 || endAt >= size_ || n < 0 || !knowLineEnds())
        return std::nullopt;
    if (n == 0)
        return endAt + 1;
    const std::optional<int64_t> e = lineEndBefore(endAt, n, 0, 64 << 10);
    if (!e || *e < 0)
        return std::nullopt;
    return *e + 1;
}

std::optional<int64_t> LineReader::lineEndBefore(int64_t to, int64_t n, int64_t notBefore,
                                                 int64_t piece)
{
    // Back a piece at a time, each line end counted down.
    for (int64_t from = to; from > notBefore;) {
        const int64_t at = std::max(notBefore, from - piece);
        const std::string bytes = bytesAt(at, size_t(from - at));
        if (int64_t(bytes.size()) != from - at) {
            failRead(QStringLiteral("The file was cut short while it was read."));
            return std::nullopt;
        }
        for (size_t left = bytes.size(); left > 0;) {
            const void* e = memrchr(bytes.data(), eol_, left);
            if (!e)
                break;
            left = size_t(static_cast<const char*>(e) - bytes.data());
            if (--n == 0)
                return at + int64_t(left);
        }
        from = at;
    }
    return -1;
}

bool LineReader::knowLineEnds()
{
    if (fd_ < 0 || filePos_ != 0 || eof_)
        return true;
    // The first block tells how lines end, unless its first bytes already
    // hold a line feed (and so would it).
    if (newlineAtStart_) {
        eol_ = '\n';
        return true;
    }
    return fill() || !error_;
}

bool LineReader::seek(int64_t offset)
{
    if (offset < 0 || offset > size_ || error_)
        return false;
    if (fd_ < 0) { // bytes in memory
        pos_ = size_t(offset);
        return true;
    }
    if (!knowLineEnds())
        return false;
    if (::lseek(fd_, offset, SEEK_SET) != offset) {
        failRead(SystemError(errno));
        return false;
    }
    bufStart_ = filePos_ = offset;
    pos_ = len_ = 0;
    eof_ = false;
    return true;
}

int64_t LineReader::skip(int64_t n)
{
    int64_t done = 0;
    bool partial = false; // bytes of a line whose end is still to come
    while (done < n) {
        if (pos_ >= len_ && !fill()) // a last line without its line end is a line too
            return done + (partial ? 1 : 0);
        const char* p = data_ + pos_;
        const size_t avail = len_ - pos_;
        // Whole blocks by their count of line ends; the block that ends line
        // n, and a few lines, one line end at a time.
        if (n - done > 64) {
            const int64_t c = CountLineEnds(p, avail, eol_);
            if (done + c < n) {
                done += c;
                partial = p[avail - 1] != eol_;
                pos_ = len_;
                continue;
            }
            for (const char* q = p;; ++q) {
                q = static_cast<const char*>(std::memchr(q, eol_, size_t(p + avail - q)));
                if (++done == n) {
                    pos_ = size_t(q - data_) + 1;
                    return n;
                }
            }
        }
        const void* nl = std::memchr(p, eol_, avail);
        if (!nl) {
            partial = true;
            pos_ = len_;
            continue;
        }
        pos_ = size_t(static_cast<const char*>(nl) - data_) + 1;
        partial = false;
        ++done;
    }
    return done;
}

std::optional<std::string_view> LineReader::next()
{
    carry_.clear();
    tooLong_ = false;
    bool any = false;
    auto keep = [this](const char* from, size_t n) {
        const size_t room = MaxLine - std::min(MaxLine, carry_.size());
        if (n > room)
            tooLong_ = true;
        carry_.append(from, std::min(n, room));
    };
    for (;;) {
        if (pos_ >= len_ && !fill()) {
            if (!any)
                return std::nullopt;
            break;
        }
        any = true;
        const char* start = data_ + pos_;
        const void* nl = std::memchr(start, eol_, len_ - pos_);
        if (nl) {
            const size_t n = static_cast<const char*>(nl) - start;
            pos_ += n + 1;
            std::string_view line(start, n);
            if (!carry_.empty() || tooLong_ || n > MaxLine) {
                keep(start, n);
                line = carry_;
            }
            strip(line);
            return line;
        }
        keep(start, len_ - pos_);
        pos_ = len_;
    }
    std::string_view line = carry_;
    strip(line);
    return line;
}

std::vector<std::string> LineReader::lastLines(int n, int64_t notBefore)
{
    std::vector<std::string> out;
    // A line end at the very end closes the last line; nothing follows it.
    int64_t end = size_;
    if (end > notBefore)
        if (const std::optional<LineAt> last = lineBefore(end);
            last && last->text.empty() && last->start == end)
            --end;
    while (int(out.size()) < n && end >= notBefore && end > 0) {
        std::optional<LineAt> line = lineBefore(end);
        if (!line || line->start < notBefore)
            break;
        out.push_back(std::move(line->text));
        end = line->start - 1;
    }
    std::reverse(out.begin(), out.end());
    return out;
}
