#include "data/FileGrowth.h"
#include "data/ReadableFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "data/Dates.h"
#include "data/FileNames.h"
#include "data/LineReader.h"
#include "data/PriceReader.h"

namespace {
// Enough of each end to catch a file rewritten with other bytes; a file
// rewritten in its middle alone, at the same length, keeps its size only
// when its time of change is set back too.
constexpr int64_t CompareBlock = 1 << 16;

bool ReadExactly(int fd, std::string& into, int64_t at, int64_t n)
{
    into.resize(size_t(n));
    int64_t done = 0;
    while (done < n) {
        const ssize_t got = ::pread(fd, into.data() + done, size_t(n - done), at + done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        done += got;
    }
    return true;
}

Error ReadFailed(const QString& path, int err)
{
    return Error{Error::Doing::Reading, path, 0,
                 QString::fromLocal8Bit(std::strerror(err)) + QLatin1Char('.')};
}
} // namespace

Result<FileIdentity> IdentityOf(const QString& path, int64_t size, int64_t modified, bool blocks)
{
    const ReadableFile file(path);
    if (!file.regular())
        return ReadFailed(path, file.error() ? file.error() : EINVAL);
    const int fd = file.fd();
    const struct stat& st = file.status();
    FileIdentity id;
    id.inode = uint64_t(st.st_ino);
    id.device = uint64_t(st.st_dev);
    id.size = size >= 0 ? std::min<int64_t>(size, st.st_size) : int64_t(st.st_size);
    id.modified =
        size >= 0 ? modified : int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    if (!blocks)
        return id;
    // The last line end: an append starts after it.
    std::string block;
    const int64_t at = std::max<int64_t>(0, id.size - CompareBlock);
    bool ok = ReadExactly(fd, block, at, id.size - at);
    if (ok) {
        const size_t eol = block.find_last_of("\n\r");
        // No line end in the last block: nothing is known to stay.
        id.lineEnd = eol == std::string::npos ? 0 : at + int64_t(eol) + 1;
        const int64_t tailAt = std::max<int64_t>(0, id.lineEnd - CompareBlock);
        ok = ReadExactly(fd, id.tail, tailAt, id.lineEnd - tailAt) &&
             ReadExactly(fd, id.head, 0, std::min<int64_t>(CompareBlock, id.lineEnd));
    }
    const int err = errno;
    if (!ok)
        return ReadFailed(path, err ? err : EIO);
    return id;
}

FileChange ChangeSince(const FileIdentity& scanned, const FileIdentity& now)
{
    if (scanned.size < 0 || now.size < 0 || now.inode != scanned.inode ||
        now.device != scanned.device)
        return FileChange::Other;
    if (now.size == scanned.size && now.modified == scanned.modified)
        return FileChange::Same;
    if (now.size <= scanned.size || now.lineEnd < scanned.lineEnd)
        return FileChange::Other;
    // The old bytes up to the old last line end: its first and last block.
    if (now.head.compare(0, scanned.head.size(), scanned.head) != 0 ||
        now.head.size() < scanned.head.size())
        return FileChange::Other;
    const int64_t tailAt = scanned.lineEnd - int64_t(scanned.tail.size());
    const int64_t nowTailAt = now.lineEnd - int64_t(now.tail.size());
    if (tailAt < nowTailAt)
        return FileChange::Other; // cannot tell from the blocks kept: read it again
    const std::string_view nowTail(now.tail);
    if (nowTail.substr(size_t(tailAt - nowTailAt), scanned.tail.size()) != scanned.tail)
        return FileChange::Other;
    return FileChange::Appended;
}

Result<AppendedLines> ReadAppended(const QString& path, const FileLayout& given, int64_t from,
                                   std::optional<double> lastDate)
{
    AppendedLines r;
    const FileLayout layout = WithDecimalMark(PriceSource(path), given);
    LineReader reader;
    if (auto opened = reader.open(PriceSource(path)); !opened)
        return opened.error();
    r.size = reader.size();
    r.modified = reader.modified();
    if (!reader.encoding().isEmpty()) {
        r.encoded = true;
        return r;
    }
    if (!reader.seek(from))
        return reader.error() ? *reader.error() : ReadFailed(path, EIO);
    while (const std::optional<std::string_view> next = reader.next()) {
        const std::string_view line = *next;
        ++r.lines;
        if (KindOf(line, layout) != LineKind::Record)
            continue;
        LineFields f;
        SplitLine(line, layout, f);
        const std::optional<double> date = ParseDate(f.date, layout.dateFormat);
        if (!layout.noDates() && (!date || (lastDate && *date < *lastDate)))
            r.inOrder = false;
        if (date)
            lastDate = date;
        r.lastRecord = r.lines;
        r.lastDate = lastDate;
    }
    if (reader.error())
        return *reader.error();
    return r;
}
