#include "data/LineReader.h"

#include <QFileInfo>
#include <cstring>

QString LineReader::open(const QString& path)
{
    file_.close();
    pos_ = len_ = 0;
    eof_ = false;
    error_.clear();
    if (QFileInfo(path).isDir())
        return QStringLiteral("Cannot open file \"%1\". Is a directory").arg(path);
    file_.setFileName(path);
    if (!file_.open(QIODevice::ReadOnly))
        return QStringLiteral("Cannot open file \"%1\". %2").arg(path, file_.errorString());
    buf_.resize(BlockSize);
    return QString();
}

bool LineReader::fill()
{
    if (eof_)
        return false;
    const qint64 n = file_.read(buf_.data(), static_cast<qint64>(buf_.size()));
    if (n < 0) {
        error_ = QStringLiteral("Read error in \"%1\". %2").arg(file_.fileName(), file_.errorString());
        eof_ = true;
        return false;
    }
    if (n == 0) {
        eof_ = true;
        return false;
    }
    pos_ = 0;
    len_ = static_cast<size_t>(n);
    return true;
}

bool LineReader::next(std::string_view& line)
{
    carry_.clear();
    bool any = false;
    for (;;) {
        if (pos_ >= len_ && !fill()) {
            if (!any)
                return false;
            break;
        }
        any = true;
        const char* start = buf_.data() + pos_;
        const void* nl = std::memchr(start, '\n', len_ - pos_);
        if (nl) {
            const size_t n = static_cast<const char*>(nl) - start;
            pos_ += n + 1;
            if (carry_.empty()) {
                line = std::string_view(start, n);
            } else {
                carry_.append(start, n);
                line = carry_;
            }
            goto done;
        }
        carry_.append(start, len_ - pos_);
        pos_ = len_;
    }
    line = carry_;
done:
    while (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return true;
}
