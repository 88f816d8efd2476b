#include "chart/Output.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cstring>

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

namespace {
// Qt maps a PNG quality of 80 to zlib level 1.
constexpr int PngQuality = 80;
} // namespace

const char* ImageFormatOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare(QLatin1String("png"), Qt::CaseInsensitive) == 0)
        return "PNG";
    if (suffix.compare(QLatin1String("bmp"), Qt::CaseInsensitive) == 0)
        return "BMP";
    return nullptr;
}

namespace {
// A one-bit line is stored in whole words, and a BMP carries the bits past
// the width too. They are no pixels, and a picture taken over from another
// may hold anything there: set as a fresh chart has them, so that the same
// chart always gives the same file.
QImage WithSetPadding(const QImage& image)
{
    const int w = image.width();
    if (image.format() != QImage::Format_Mono || w % 32 == 0)
        return image;
    QImage out = image;
    const int partial = w / 8, tail = w % 8;
    for (int y = 0; y < out.height(); ++y) {
        uchar* line = out.scanLine(y);
        int from = partial;
        if (tail != 0)
            line[from++] |= uchar(0xff >> tail);
        std::fill(line + from, line + out.bytesPerLine(), uchar(0xff));
    }
    return out;
}
} // namespace

Result<void> WriteImageFile(const QImage& image, const QString& path, const char* format,
                            bool scratch)
{
    // PNG at zlib's fastest level: a chart is mostly paper and long runs, so
    // the file grows by about a quarter while writing it takes a third of the time.
    const int quality = format && qstricmp(format, "PNG") == 0 ? PngQuality : -1;
    const QImage written = WithSetPadding(image);
    return WriteWholeFile(
        path, [&](QIODevice& d) { return written.save(&d, format, quality); },
        scratch ? SymLink::Replace : SymLink::Follow);
}

void CopyForDisplay(const QImage& src, QImage& dst, const QRegion& region)
{
    const QRect within = src.rect().intersected(dst.rect());
    if (region.isEmpty() || within.isEmpty())
        return;
    if (src.format() == QImage::Format_Mono && src.colorCount() == 2 &&
        dst.format() == QImage::Format_RGB32) {
        const QRgb colour[2] = {src.color(0) | 0xff000000u, src.color(1) | 0xff000000u};
        // Eight pixels for each value of a byte, made once for all the parts.
        std::array<std::array<QRgb, 8>, 256> eight;
        for (int b = 0; b < 256; ++b)
            for (int k = 0; k < 8; ++k)
                eight[size_t(b)][size_t(k)] = colour[(b >> (7 - k)) & 1];
        const uchar* from = src.constBits();
        uchar* to = dst.bits();
        for (const QRect& part : region) {
            const QRect in = part.intersected(within);
            if (in.isEmpty())
                continue;
            const int wholeFrom = (in.left() + 7) & ~7, wholeTo = (in.right() + 1) & ~7;
            for (int y = in.top(); y <= in.bottom(); ++y) {
                const uchar* bits = from + y * src.bytesPerLine();
                auto* out = reinterpret_cast<QRgb*>(to + y * dst.bytesPerLine());
                const auto one = [&](int x) {
                    out[x] = colour[(bits[x >> 3] >> (7 - (x & 7))) & 1];
                };
                if (wholeFrom >= wholeTo) {
                    for (int x = in.left(); x <= in.right(); ++x)
                        one(x);
                    continue;
                }
                for (int x = in.left(); x < wholeFrom; ++x)
                    one(x);
                for (int x = wholeFrom; x < wholeTo; x += 8)
                    std::memcpy(out + x, eight[bits[x >> 3]].data(), sizeof(QRgb) * 8);
                for (int x = wholeTo; x <= in.right(); ++x)
                    one(x);
            }
        }
        return;
    }
    if (src.format() == dst.format() && src.depth() == 32) {
        const uchar* from = src.constBits();
        uchar* to = dst.bits();
        for (const QRect& part : region) {
            const QRect in = part.intersected(within);
            for (int y = in.top(); y <= in.bottom(); ++y)
                std::memcpy(to + y * dst.bytesPerLine() + size_t(in.left()) * 4,
                            from + y * src.bytesPerLine() + size_t(in.left()) * 4,
                            size_t(in.width()) * 4);
        }
        return;
    }
    QPainter p(&dst);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    for (const QRect& part : region)
        if (const QRect in = part.intersected(within); !in.isEmpty())
            p.drawImage(in.topLeft(), src, in);
}
