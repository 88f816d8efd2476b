#include "chart/Output.h"

#include <QFileInfo>
#include <QImage>
#include <algorithm>

#include "data/WholeFile.h"

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

const char* ImageFormatOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare(QLatin1String("png"), Qt::CaseInsensitive) == 0)
        return "PNG";
    if (suffix.compare(QLatin1String("bmp"), Qt::CaseInsensitive) == 0)
        return "BMP";
    return nullptr;
}

QString WriteImageFile(const QImage& image, const QString& path, const char* format, bool scratch)
{
    return WriteWholeFile(
        path, [&](QIODevice& d) { return image.save(&d, format); },
        scratch ? SymLink::Replace : SymLink::Follow);
}
