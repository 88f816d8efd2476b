#include "data/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
QString Fail(const QString& path, const QString& why)
{
    return QStringLiteral("Cannot create file %1. %2").arg(path, why);
}

// Written, and the final flush too: a full disk shows here at the latest.
bool WrittenWhole(QFileDevice& f, const std::function<bool(QIODevice&)>& write)
{
    return write(f) && f.error() == QFileDevice::NoError && f.flush() &&
           f.error() == QFileDevice::NoError;
}

QString WhyNot(const QFileDevice& f)
{
    return f.error() != QFileDevice::NoError ? f.errorString()
                                             : QStringLiteral("It could not be written.");
}

// The program's own scratch pictures: the same whole-or-nothing rename, but
// not forced to disk, as they are rewritten at every plot.
QString WriteScratch(const QString& path, const std::function<bool(QIODevice&)>& write)
{
    const QFileInfo info(path);
    QTemporaryFile f(info.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX").arg(info.fileName())));
    f.setAutoRemove(true);
    if (!f.open())
        return Fail(path, f.errorString());
    if (!WrittenWhole(f, write))
        return Fail(path, WhyNot(f));
    f.close();
    // rename() replaces a link in the way rather than what it points to.
    if (std::rename(QFile::encodeName(f.fileName()).constData(), QFile::encodeName(path).constData()) != 0)
        return Fail(path, QString::fromLocal8Bit(std::strerror(errno)));
    f.setAutoRemove(false);
    return QString();
}
} // namespace

QString WriteWholeFile(const QString& path, const std::function<bool(QIODevice&)>& write,
                       SymLink link)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        return Fail(path, QStringLiteral("Is a directory"));
    if (link == SymLink::Replace)
        return WriteScratch(path, write);
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return Fail(path, f.errorString());
    if (!WrittenWhole(f, write)) {
        const QString why = WhyNot(f);
        f.cancelWriting();
        return Fail(path, why);
    }
    if (!f.commit())
        return Fail(path, f.errorString());
    return QString();
}
