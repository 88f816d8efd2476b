#include "chart/Output.h"

#include <QFileInfo>
#include <QImage>
#include <QSaveFile>
#include <algorithm>

QRect PrintPlacement(QSize page, QSize image)
{
    if (image.isEmpty() || page.isEmpty())
        return QRect();
    const int n = std::min(page.width() / image.width(), page.height() / image.height());
    int w = n * image.width();
    int h = n * image.height();
    if (n == 0) {
        const QSize fit = image.scaled(page, Qt::KeepAspectRatio);
        w = fit.width();
        h = fit.height();
    }
    const int left = (page.width() - w) / 2;
    const int top = (page.height() - h) / 2;
    return QRect(left, top, w, h);
}

QString WriteImageFile(const QImage& image, const QString& path, const char* format)
{
    if (QFileInfo(path).isDir())
        return QStringLiteral("Cannot create file %1. Is a directory").arg(path);
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return QStringLiteral("Cannot create file %1. %2").arg(path, f.errorString());
    if (!image.save(&f, format)) {
        f.cancelWriting();
        const QString why = f.error() != QFileDevice::NoError ? f.errorString()
                                                              : QStringLiteral("The picture could not be encoded.");
        return QStringLiteral("Cannot create file %1. %2").arg(path, why);
    }
    if (!f.commit())
        return QStringLiteral("Cannot create file %1. %2").arg(path, f.errorString());
    return QString();
}
