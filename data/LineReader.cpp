#include "data/LineReader.h"

#include <QFile>

#include "data/MappedScan.h"
#include <algorithm>
#include <optional>
#include <vector>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString CannotOpen(const QString& path, const QString& why)
{
    return QStringLiteral("Cannot open file \"%1\". %2").arg(path, why);
}

const char* const CutShort = "The file was cut short while it was read.";

QString SystemError(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}
} // namespace

void LineReader::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

QString LineReader::open(const PriceSource& source)
{
    close();
    pos_ = len_ = 0;
    bufStart_ = filePos_ = 0;
    eof_ = false;
    tooLong_ = false;
    error_.clear();
    path_ = source.path;
    if (source.bytes) {
        data_ = source.bytes->data();
        len_ = source.bytes->size();
        eof_ = true;
        return QString();
    }
    const QByteArray name = QFile::encodeName(source.path);
    // Not blocking on open, so that a pipe put in the file's place cannot hang us.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return CannotOpen(source.path, SystemError(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        return CannotOpen(source.path, SystemError(err));
    }
    if (S_ISDIR(st.st_mode)) {
        ::close(fd);
        return CannotOpen(source.path, QStringLiteral("Is a directory"));
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return CannotOpen(
            source.path,
            QStringLiteral("It is not a regular file (a pipe, a device or a socket)."));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    fd_ = fd;
    buf_.resize(BlockSize);
    data_ = buf_.data();
    return QString();
}

bool LineReader::fill()
{
    if (eof_ || fd_ < 0)
        return false;
    ssize_t n = 0;
    do
        n = ::read(fd_, buf_.data(), buf_.size());
    while (n < 0 && errno == EINTR);
    if (n < 0) {
        failRead(SystemError(errno));
        return false;
    }
    if (n == 0) {
        eof_ = true;
        return false;
    }
    data_ = buf_.data();
    pos_ = 0;
    len_ = static_cast<size_t>(n);
    bufStart_ = filePos_;
    filePos_ += n;
    return true;
}

void LineReader::failRead(const QString& why)
{
    error_ = QStringLiteral("Read error in \"%1\". %2").arg(path_, why);
    eof_ = true;
    pos_ = len_;
}

std::optional<std::vector<LineEnds>> LineReader::restEnds()
{
    if (fd_ < 0) {
        const size_t from = pos_;
        pos_ = len_;
        if (from == len_)
            return std::vector<LineEnds>();
        return std::vector<LineEnds>{LineEndsOf(data_ + from, len_ - from, off_t(from))};
    }
    const int64_t from = position();
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        failRead(SystemError(errno));
        return std::nullopt;
    }
    eof_ = true;
    pos_ = len_ = 0;
    bufStart_ = filePos_ = std::max<int64_t>(from, st.st_size);
    if (st.st_size <= from)
        return std::vector<LineEnds>();
    auto ends = MappedLineEnds(fd_, from, st.st_size - from, window_);
    if (!ends)
        failRead(QLatin1String(CutShort));
    return ends;
}

void LineReader::moveTo(int64_t offset)
{
    if (fd_ < 0) {
        pos_ = size_t(offset);
        return;
    }
    eof_ = false;
    pos_ = len_ = 0;
    bufStart_ = filePos_ = offset;
    if (::lseek(fd_, offset, SEEK_SET) != offset)
        failRead(SystemError(errno));
}

std::string LineReader::bytesAt(int64_t offset, size_t n) const
{
    if (fd_ < 0)
        return std::string(data_ + offset, n);
    std::string s(n, '\0');
    s.resize(ReadAt(fd_, s.data(), n, off_t(offset)));
    return s;
}

int64_t LineReader::countRest(std::string& last)
{
    // Only the number of line ends matters, and where the last two are.
    const int64_t from = position();
    const auto windows = restEnds();
    if (!windows || windows->empty())
        return 0;
    int64_t ends = 0, lastEnd = -1, endBefore = -1;
    for (const LineEnds& w : *windows) {
        if (w.count > 0) {
            endBefore = w.beforeLast >= 0 ? w.beforeLast : lastEnd;
            lastEnd = w.last;
        }
        ends += w.count;
    }
    const int64_t stop = windows->back().start + int64_t(windows->back().size);
    // A last line without its line end is a line too.
    const bool tail = lastEnd != stop - 1;
    const int64_t start = lastEnd < 0 ? from : tail ? lastEnd + 1 : std::max(endBefore + 1, from);
    const int64_t end = tail ? stop : lastEnd;
    last = bytesAt(start, size_t(std::min<int64_t>(end - start, MaxLine)));
    while (!last.empty() && last.back() == '\r')
        last.pop_back();
    return ends + (tail ? 1 : 0);
}

int64_t LineReader::skip(int64_t n)
{
    int64_t done = 0;
    bool partial = false; // bytes of a line whose end is still to come
    // What is already read comes first; a few lines more are quicker read
    // than mapped.
    constexpr int64_t FewLines = 4096;
    while (done < n) {
        if (pos_ >= len_) {
            if (n - done > FewLines)
                break;
            if (!fill()) // a last line without its line end is a line too
                return done + (partial ? 1 : 0);
        }
        const void* nl = std::memchr(data_ + pos_, '\n', len_ - pos_);
        if (!nl) {
            partial = true;
            pos_ = len_;
            continue;
        }
        pos_ = size_t(static_cast<const char*>(nl) - data_) + 1;
        partial = false;
        ++done;
    }
    if (done == n)
        return done;
    // The rest by counting line ends, down to the window that ends line n.
    const auto windows = restEnds();
    if (!windows)
        return done;
    for (const LineEnds& w : *windows) {
        if (done + w.count < n) {
            done += w.count;
            continue;
        }
        // Line n ends in this window: where exactly.
        struct Finder : MappedVisitor {
            int64_t wanted = 0, at = -1;
            bool visit(const char* p, size_t size, off_t start) override
            {
                for (const char* q = p; (q = static_cast<const char*>(std::memchr(q, '\n', size_t(p + size - q)))); ++q)
                    if (--wanted == 0) {
                        at = start + (q - p);
                        return false;
                    }
                return true;
            }
        } f;
        f.wanted = n - done;
        if (fd_ < 0)
            f.visit(data_ + w.start, w.size, w.start);
        else if (!VisitMapped(fd_, w.start, off_t(w.size), window_, f))
            failRead(QLatin1String(CutShort));
        if (f.at < 0)
            return done;
        moveTo(f.at + 1);
        return n;
    }
    if (!windows->empty()) {
        const LineEnds& w = windows->back();
        partial = w.last != w.start + int64_t(w.size) - 1;
    }
    return done + (partial ? 1 : 0);
}

bool LineReader::next(std::string_view& line)
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
                return false;
            break;
        }
        any = true;
        const char* start = data_ + pos_;
        const void* nl = std::memchr(start, '\n', len_ - pos_);
        if (nl) {
            const size_t n = static_cast<const char*>(nl) - start;
            pos_ += n + 1;
            if (carry_.empty() && !tooLong_ && n <= MaxLine) {
                line = std::string_view(start, n);
            } else {
                keep(start, n);
                line = carry_;
            }
            goto done;
        }
        keep(start, len_ - pos_);
        pos_ = len_;
    }
    line = carry_;
done:
    while (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return true;
}
