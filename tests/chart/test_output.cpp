#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "chart/Output.h"
#include "tests/Support.h"

namespace {
// A one-bit chart whose words past the width hold what memory held.
QImage MonoWithPadding(int width, uchar padding)
{
    QImage img(width, 3, QImage::Format_Mono);
    img.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    img.fill(1);
    for (int y = 0; y < img.height(); ++y) {
        uchar* line = img.scanLine(y);
        if (const int tail = width % 8) {
            const uchar past = uchar(0xff >> tail);
            line[width / 8] = uchar((line[width / 8] & ~past) | (padding & past));
        }
        for (int i = (width + 7) / 8; i < img.bytesPerLine(); ++i)
            line[i] = padding;
        img.setPixel(y, y, 0); // a pixel of its own on each line
    }
    return img;
}
} // namespace

TEST(ImageFiles, TheSameChartGivesTheSameBmpWhateverLiesPastItsWidth)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (int width : {980, 977, 64, 33, 8}) {
        const QString a = dir.filePath(QStringLiteral("a.bmp")),
                      b = dir.filePath(QStringLiteral("b.bmp"));
        const QImage first = MonoWithPadding(width, 0x5a), second = MonoWithPadding(width, 0x00);
        ASSERT_TRUE(WriteImageFile(first, a, "BMP"));
        ASSERT_TRUE(WriteImageFile(second, b, "BMP"));
        EXPECT_EQ(ReadBytes(a), ReadBytes(b)) << width;
        // The pixels themselves are written as they are.
        const QImage back = QImage(a).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(back.size(), first.size());
        EXPECT_EQ(back.pixel(1, 1), qRgb(0, 0, 0)) << width;
        EXPECT_EQ(back.pixel(width - 1, 2), qRgb(255, 255, 255)) << width;
        // The picture handed in is left as it was.
        if (width % 32 != 0) {
            EXPECT_EQ(first.constScanLine(0)[first.bytesPerLine() - 1], 0x5a) << width;
        }
    }
}
