#include "data/FileNames.h"
#include "data/ReadableFile.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr char16_t StrayFirst = 0xDC80, StrayLast = 0xDCFF;

// Length of the well-formed UTF-8 sequence at p, 0 when there is none.
qsizetype Utf8Length(const uchar* p, qsizetype left)
{
    const uchar b = p[0];
    qsizetype n = 0;
    uchar lo = 0x80, hi = 0xBF; // the second byte's range
    if (b < 0x80)
        return 1;
    if (b >= 0xC2 && b <= 0xDF)
        n = 2;
    else if (b >= 0xE0 && b <= 0xEF) {
        n = 3;
        lo = b == 0xE0 ? 0xA0 : 0x80;
        hi = b == 0xED ? 0x9F : 0xBF; // no encoded surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4;
        lo = b == 0xF0 ? 0x90 : 0x80;
        hi = b == 0xF4 ? 0x8F : 0xBF;
    } else
        return 0;
    if (left < n || p[1] < lo || p[1] > hi)
        return 0;
    for (qsizetype i = 2; i < n; ++i)
        if ((p[i] & 0xC0) != 0x80)
            return 0;
    return n;
}
} // namespace

QString DecodeFileName(const QByteArray& bytes)
{
    QString plain = QFile::decodeName(bytes);
    if (QFile::encodeName(plain) == bytes)
        return plain;
    QString out;
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        const qsizetype n = Utf8Length(p + i, size - i);
        if (n == 0) {
            out += QChar(char16_t(0xDC00 + p[i]));
            ++i;
            continue;
        }
        out += QString::fromUtf8(bytes.constData() + i, n);
        i += n;
    }
    return out;
}

QByteArray EncodeFileName(const QString& name)
{
    const auto stray = [](QChar c) {
        return c.unicode() >= StrayFirst && c.unicode() <= StrayLast;
    };
    if (std::none_of(name.begin(), name.end(), stray))
        return QFile::encodeName(name);
    QByteArray out;
    qsizetype run = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i < name.size() && !stray(name[i]))
            continue;
        out += name.mid(run, i - run).toUtf8();
        if (i < name.size())
            out += char(name[i].unicode() - 0xDC00);
        run = i + 1;
    }
    return out;
}

Result<void> CheckRegularFile(const QString& path)
{
    const auto fails = [&path](QString why) {
        return Error{Error::Doing::Opening, path, 0, std::move(why)};
    };
    struct stat st {};
    if (::stat(EncodeFileName(path).constData(), &st) != 0)
        return fails(errno == ENOENT
                         ? QStringLiteral("There is no such file.")
                         : QString::fromLocal8Bit(std::strerror(errno)) + QLatin1Char('.'));
    if (S_ISREG(st.st_mode))
        return {};
    if (S_ISDIR(st.st_mode))
        return fails(QStringLiteral("It is a folder, not a file."));
    if (S_ISFIFO(st.st_mode))
        return fails(QStringLiteral("It is a pipe, not a regular file."));
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        return fails(QStringLiteral("It is a device, not a regular file."));
    return fails(QStringLiteral("It is not a regular file."));
}

bool SameFile(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    struct stat sa {};
    struct stat sb {};
    return ::stat(EncodeFileName(a).constData(), &sa) == 0 &&
           ::stat(EncodeFileName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

Result<void> CheckKeptFile(const QString& path)
{
    struct stat st {};
    if (::stat(EncodeFileName(path).constData(), &st) != 0 && errno == ENOENT)
        return {};
    return CheckRegularFile(path);
}

std::optional<QByteArray> ReadKeptFile(const QString& path, qint64 limit)
{
    const ReadableFile file(path);
    if (!file.regular())
        return std::nullopt;
    QByteArray out(qsizetype(std::clamp<qint64>(limit, 0, 1 << 20)), '\0');
    qsizetype got = 0;
    while (got < out.size()) {
        const ssize_t n = ::read(file.fd(), out.data() + got, size_t(out.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += n;
    }
    out.truncate(got);
    return out;
}

QString OneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}
