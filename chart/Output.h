#pragma once
#include <QRect>
#include <QRegion>
#include <QSize>
#include <QString>

#include "data/Result.h"

class QImage;

// Where the chart lands on a printed page: enlarged by the largest whole
// factor that fits, centred; a page smaller than the chart gets it scaled
// down to fit, proportions kept.
[[nodiscard]] QRect PrintPlacement(QSize page, QSize image);

// "PNG" or "BMP" for a name ending in .png or .bmp (any case); null otherwise.
[[nodiscard]] const char* ImageFormatOf(const QString& path);

// Writes a picture whole or not at all: a failure leaves any old file as it
// was. format is "BMP" or "PNG".
// scratch: the program's own file, whose symbolic link is replaced, not followed.
Result<void> WriteImageFile(const QImage& image, const QString& path, const char* format,
                            bool scratch = false);

// Copies the pixels of src within r into dst, a picture of 32-bit colour of
// the same size, for showing on screen. A one-bit picture is expanded here
// rather than by Qt, which would hand large areas to its thread pool.
void CopyForDisplay(const QImage& src, QImage& dst, const QRegion& r);
