#include "chart/LetterInk.h"

#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

QImage MaskOfRun(const QRawFont& font, const QList<quint32>& glyphs,
                 const QList<QPointF>& positions, QSize size, QPointF origin)
{
    QImage mask(size, QImage::Format_Mono);
    mask.setColorTable({0xff000000u, 0xffffffffu});
    mask.fill(1);
    QGlyphRun run;
    run.setRawFont(font);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    QPainter p(&mask);
    p.setPen(QPen(Qt::black));
    p.drawGlyphRun(origin, run);
    return mask;
}

std::vector<InkRun> InkOfGlyph(const QRawFont& font, quint32 glyph)
{
    // Room on every side for the largest letter of a chart's faces.
    const int room = 4 * qCeil(font.pixelSize()) + 8;
    const QImage mask =
        MaskOfRun(font, {glyph}, {QPointF(0, 0)}, QSize(2 * room, 2 * room), QPointF(room, room));
    std::vector<InkRun> out;
    for (int y = 0; y < mask.height(); ++y) {
        const uchar* row = mask.constScanLine(y);
        const auto ink = [row](int x) { return !((row[x >> 3] >> (7 - (x & 7))) & 1); };
        for (int x = 0; x < mask.width(); ++x) {
            if (!ink(x))
                continue;
            const int start = x;
            while (x + 1 < mask.width() && ink(x + 1))
                ++x;
            out.push_back({int16_t(y - room), int16_t(start - room), int16_t(x - start + 1)});
        }
    }
    return out;
}

std::vector<OutlinePoint> OutlineOfGlyph(const QRawFont& font, quint32 glyph)
{
    const QPainterPath path = font.pathForGlyph(glyph);
    std::vector<OutlinePoint> out;
    out.reserve(size_t(path.elementCount()));
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        const OutlinePoint::Kind kind = e.isMoveTo()   ? OutlinePoint::Move
                                        : e.isLineTo() ? OutlinePoint::Line
                                                       : OutlinePoint::Curve;
        out.push_back({kind, e.x, e.y});
    }
    return out;
}

QPainterPath PathOfOutline(const OutlinePoint* points, int count)
{
    QPainterPath path;
    const OutlinePoint* const end = points + count;
    for (const OutlinePoint* at = points; at < end; ++at) {
        switch (at->kind) {
        case OutlinePoint::Move: path.moveTo(at->x, at->y); break;
        case OutlinePoint::Line: path.lineTo(at->x, at->y); break;
        case OutlinePoint::Curve:
            if (end - at < 3)
                return path;
            path.cubicTo(at[0].x, at[0].y, at[1].x, at[1].y, at[2].x, at[2].y);
            at += 2;
            break;
        }
    }
    return path;
}
