#include "chart/LetterInk.h"

#include <QGlyphRun>
#include <QImage>
#include <QPainter>

std::vector<InkRun> InkOfGlyph(const QRawFont& font, quint32 glyph)
{
    // Room on every side for the largest letter of a chart's faces, drawn
    // as the chart draws its text: black on a white one-bit picture.
    const int room = 4 * qCeil(font.pixelSize()) + 8;
    QImage mask(2 * room, 2 * room, QImage::Format_Mono);
    mask.setColorTable({0xff000000u, 0xffffffffu});
    mask.fill(1);
    QGlyphRun run;
    run.setRawFont(font);
    run.setGlyphIndexes({glyph});
    run.setPositions({QPointF(0, 0)});
    {
        QPainter p(&mask);
        p.setPen(QPen(Qt::black));
        p.drawGlyphRun(QPointF(room, room), run);
    }
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
