#pragma once
// The chart as a vector picture: the canvas's recorded drawing operations
// drawn again on an SVG or PDF page of the chart's size.

#include <QString>
#include <optional>

#include "data/Result.h"

class Canvas;

enum class VectorFormat { Svg, Pdf };

// "SVG" or "PDF" for a name ending in .svg or .pdf (any case).
[[nodiscard]] std::optional<VectorFormat> VectorFormatOf(const QString& path);

// Writes the canvas, which must be recording, whole or not at all. SVG draws
// its letters as outlines of the bundled faces; PDF embeds the faces. title
// names the document.
Result<void> WriteVectorFile(const Canvas& canvas, const QString& path, VectorFormat format,
                             const QString& title);
