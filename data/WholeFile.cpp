#include "data/WholeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QString WriteWholeFile(const QString& path, const std::function<bool(QIODevice&)>& write,
                       SymLink link)
{
    auto fail = [&path](const QString& why) {
        return QStringLiteral("Cannot create file %1. %2").arg(path, why);
    };
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        return fail(QStringLiteral("Is a directory"));
    if (link == SymLink::Replace && info.isSymLink() && !QFile::remove(path))
        return fail(QStringLiteral("The symbolic link in its place cannot be removed."));
    QSaveFile f(path);
    // Unbuffered, so that a full disk shows at the write that meets it.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(f.errorString());
    const bool written = write(f);
    if (!written || f.error() != QFileDevice::NoError || !f.flush()) {
        const QString why = f.error() != QFileDevice::NoError
                                ? f.errorString()
                                : QStringLiteral("It could not be written.");
        f.cancelWriting();
        return fail(why);
    }
    if (!f.commit())
        return fail(f.errorString());
    return QString();
}
