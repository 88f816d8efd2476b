#include "chart/Vector.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include "chart/Canvas.h"
#include "data/WholeFile.h"

std::optional<VectorFormat> VectorFormatOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0)
        return VectorFormat::Svg;
    if (suffix.compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0)
        return VectorFormat::Pdf;
    return std::nullopt;
}

namespace {
bool DrawSvg(const Canvas& canvas, QIODevice& d, const QString& title)
{
    QSvgGenerator svg;
    svg.setOutputDevice(&d);
    svg.setSize(QSize(canvas.width(), canvas.height()));
    svg.setViewBox(QRect(0, 0, canvas.width(), canvas.height()));
    svg.setResolution(96);
    svg.setTitle(title);
    QPainter p;
    if (!p.begin(&svg))
        return false;
    canvas.replay(p, Canvas::Letters::Outlines);
    return p.end();
}

bool DrawPdf(const Canvas& canvas, QIODevice& d, const QString& title)
{
    QPdfWriter pdf(&d);
    pdf.setCreator(QStringLiteral("aurigon"));
    pdf.setTitle(title);
    // One point a pixel: the page is the chart.
    pdf.setResolution(72);
    pdf.setPageLayout(
        QPageLayout(QPageSize(QSizeF(canvas.width(), canvas.height()), QPageSize::Point),
                    QPageLayout::Portrait, QMarginsF()));
    QPainter p;
    if (!p.begin(&pdf))
        return false;
    canvas.replay(p, Canvas::Letters::Glyphs);
    return p.end();
}
} // namespace

Result<void> WriteVectorFile(const Canvas& canvas, const QString& path, VectorFormat format,
                             const QString& title)
{
    return WriteWholeFile(path, [&](QIODevice& d) {
        return format == VectorFormat::Svg ? DrawSvg(canvas, d, title) : DrawPdf(canvas, d, title);
    });
}
