#include "data/LineReader.h"

#include <QFile>
#include <algorithm>
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
        error_ = QStringLiteral("Read error in \"%1\". %2").arg(path_, SystemError(errno));
        eof_ = true;
        return false;
    }
    if (n == 0) {
        eof_ = true;
        return false;
    }
    data_ = buf_.data();
    pos_ = 0;
    len_ = static_cast<size_t>(n);
    return true;
}

int64_t LineReader::countRest(std::string& last)
{
    int64_t count = 0;
    std::string tail;    // what follows the last line end seen
    std::string before;  // the whole line that ended there
    bool ended = false;
    auto keep = [](std::string& s, const char* from, size_t n) {
        s.append(from, std::min(n, MaxLine - std::min(MaxLine, s.size())));
    };
    for (;;) {
        if (pos_ >= len_ && !fill())
            break;
        const char* start = data_ + pos_;
        const size_t n = len_ - pos_;
        pos_ = len_;
        const char* lastNl = static_cast<const char*>(memrchr(start, '\n', n));
        if (!lastNl) {
            keep(tail, start, n);
            continue;
        }
        for (const char* p = start; (p = static_cast<const char*>(std::memchr(p, '\n', size_t(lastNl + 1 - p))));
             ++p)
            ++count;
        const char* prevNl = lastNl > start
                                 ? static_cast<const char*>(memrchr(start, '\n', size_t(lastNl - start)))
                                 : nullptr;
        if (prevNl) {
            before.clear();
            keep(before, prevNl + 1, size_t(lastNl - prevNl - 1));
        } else {
            before = std::move(tail);
            keep(before, start, size_t(lastNl - start));
        }
        ended = true;
        tail.clear();
        keep(tail, lastNl + 1, size_t(start + n - lastNl - 1));
    }
    if (!tail.empty()) {
        ++count;
        last = std::move(tail);
    } else if (ended) {
        last = std::move(before);
    }
    while (!last.empty() && last.back() == '\r')
        last.pop_back();
    return count;
}

int64_t LineReader::skip(int64_t n)
{
    int64_t done = 0;
    bool partial = false; // bytes of a line whose end is still to come
    while (done < n) {
        if (pos_ >= len_ && !fill())
            break;
        const char* p = data_ + pos_;
        const char* end = data_ + len_;
        while (done < n && p < end) {
            const void* nl = std::memchr(p, '\n', size_t(end - p));
            if (!nl) {
                p = end;
                partial = true;
                break;
            }
            p = static_cast<const char*>(nl) + 1;
            partial = false;
            ++done;
        }
        pos_ = size_t(p - data_);
    }
    // A last line without a line end is a line too.
    if (done < n && partial)
        ++done;
    return done;
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
