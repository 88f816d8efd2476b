#include "app/automation/ScriptParse.h"
#include "data/ReadableFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "data/FileNames.h"

std::optional<QStringList> SplitScriptLine(const QString& line)
{
    QStringList words;
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(QLatin1Char('#')))
        return words;
    QString cur;
    bool inWord = false, quoted = false;
    for (const QChar ch : t) {
        if (quoted) {
            if (ch == QLatin1Char('"'))
                quoted = false;
            else
                cur += ch;
        } else if (ch == QLatin1Char('"')) {
            quoted = true;
            inWord = true;
        } else if (ch == QLatin1Char(' ') || ch == QLatin1Char('\t')) {
            if (inWord)
                words << cur;
            cur.clear();
            inWord = false;
        } else {
            cur += ch;
            inWord = true;
        }
    }
    if (quoted)
        return std::nullopt;
    if (inWord)
        words << cur;
    return words;
}

std::optional<Assignment> SplitAssignment(const QString& word)
{
    const qsizetype eq = word.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return std::nullopt;
    return Assignment{word.left(eq), word.mid(eq + 1)};
}

std::optional<int> ParseScriptInt(const QString& word)
{
    bool ok = false;
    const int v = word.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return v;
}

std::optional<QSize> ParsePageSize(const QString& word)
{
    const QStringList wh = word.toLower().split(QLatin1Char('x'));
    if (wh.size() != 2)
        return std::nullopt;
    const std::optional<int> w = ParseScriptInt(wh[0]), h = ParseScriptInt(wh[1]);
    if (!w || !h || *w < 1 || *h < 1 || *w > 100000 || *h > 100000)
        return std::nullopt;
    return QSize(*w, *h);
}

namespace {
// At most limit + 1 bytes: one more than allowed shows there were too many.
int ReadUpTo(int fd, qsizetype limit, QByteArray& out)
{
    constexpr qsizetype Chunk = 1 << 16;
    while (out.size() <= limit) {
        const qsizetype had = out.size();
        out.resize(had + std::min(Chunk, limit + 1 - had));
        const ssize_t n = ::read(fd, out.data() + had, size_t(out.size() - had));
        if (n < 0 && errno == EINTR) {
            out.resize(had);
            continue;
        }
        out.resize(had + std::max<ssize_t>(n, 0));
        if (n <= 0)
            return n < 0 ? errno : 0;
    }
    return 0;
}
} // namespace

Result<QStringList> ReadScriptFile(const QString& path)
{
    const auto cannot = [&path](const QString& why) {
        return Error{
            Error::Doing::Plain, path, 0,
            QStringLiteral("cannot read the script %1: %2")
                .arg(path == QLatin1String("-") ? QStringLiteral("on standard input") : path, why)};
    };
    QByteArray bytes;
    int err = 0;
    if (path == QLatin1String("-")) {
        err = ReadUpTo(STDIN_FILENO, MaxScriptBytes, bytes);
    } else {
        ReadableFile file(path);
        if (!file.regular()) {
            const Result<void> regular = CheckRegularFile(path);
            return cannot(!regular       ? regular.error().reason
                          : file.error() ? QString::fromLocal8Bit(std::strerror(file.error()))
                                         : QStringLiteral("It is not a regular file."));
        }
        file.block();
        err = ReadUpTo(file.fd(), MaxScriptBytes, bytes);
    }
    if (err)
        return cannot(QString::fromLocal8Bit(std::strerror(err)));
    return ScriptLines(path, bytes);
}

Result<QStringList> ScriptLines(const QString& path, const QByteArray& bytes)
{
    const QString name = path == QLatin1String("-") ? QStringLiteral("on standard input") : path;
    if (bytes.size() > MaxScriptBytes)
        return Error{Error::Doing::Plain, path, 0,
                     QStringLiteral("the script %1 is larger than %2 MB")
                         .arg(name)
                         .arg(MaxScriptBytes >> 20)};
    // Stray bytes are kept as such, so that a path in a script that is not
    // UTF-8 still names its file.
    QStringList lines = DecodeFileName(bytes).split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString& l = lines[i];
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
        if (l.size() > MaxScriptLine)
            return Error{Error::Doing::Plain, path, i + 1,
                         QStringLiteral("line %1 of the script %2 is longer than %3 characters")
                             .arg(i + 1)
                             .arg(name)
                             .arg(MaxScriptLine)};
    }
    return lines;
}
