// The chart's plain letters come from a table drawn when the program was
// built; they must be the font engine's own, letter for letter and placed
// as the engine places a whole text.
#include <QGlyphRun>
#include <QPainter>
#include <QResource>
#include <tuple>

#include "chart/Canvas.h"
#include "chart/LetterInk.h"
#include <gtest/gtest.h>

namespace {
QRawFont EngineFace(const FaceFile& f)
{
    const QResource res(QStringLiteral(":/fonts/") + QString::fromLatin1(f.file));
    return QRawFont(res.uncompressedData(), FacePixels(f.points), QFont::PreferFullHinting);
}

std::vector<std::tuple<int, int, int>> Runs(const InkRun* from, const InkRun* to)
{
    std::vector<std::tuple<int, int, int>> out;
    for (const InkRun* r = from; r != to; ++r)
        out.emplace_back(r->y, r->x, r->length);
    return out;
}
} // namespace

TEST(Letters, TheBuiltTableHoldsTheFontEnginesOwnLetters)
{
    for (size_t face = 0; face < std::size(FaceFiles); ++face) {
        const QRawFont font = EngineFace(FaceFiles[face]);
        ASSERT_TRUE(font.isValid()) << FaceFiles[face].file;
        const TableFace& t = TableFaces[face];
        EXPECT_EQ(t.ascent, qRound(font.ascent()));
        EXPECT_EQ(t.descent, qRound(font.descent()));
        for (char c = FirstTableLetter; c <= LastTableLetter; ++c) {
            const TableLetter& l = t.letters[c - FirstTableLetter];
            // Digits and letters are most of a chart: a table without them
            // would leave every chart to the font engine.
            if (QChar(c).isLetterOrNumber()) {
                ASSERT_GE(l.count, 0) << FaceFiles[face].file << " '" << c << "'";
            }
            if (l.count < 0)
                continue;
            const QList<quint32> g = font.glyphIndexesForString(QString(QLatin1Char(c)));
            ASSERT_EQ(g.size(), 1);
            EXPECT_EQ(l.advance, font.advancesForGlyphIndexes(g).front().x()) << c;
            const std::vector<InkRun> engine = InkOfGlyph(font, g.front());
            EXPECT_EQ(Runs(LetterRuns + l.first, LetterRuns + l.first + l.count),
                      Runs(engine.data(), engine.data() + engine.size()))
                << FaceFiles[face].file << " '" << c << "'";
            // The outline drawn into vector pictures, point for point.
            const QPainterPath want = font.pathForGlyph(g.front());
            const QPainterPath got = PathOfOutline(LetterOutlines + l.outlineFirst, l.outlineCount);
            ASSERT_EQ(got.elementCount(), want.elementCount())
                << FaceFiles[face].file << " '" << c << "'";
            for (int i = 0; i < want.elementCount(); ++i) {
                const QPainterPath::Element w = want.elementAt(i), o = got.elementAt(i);
                EXPECT_TRUE(o.type == w.type && o.x == w.x && o.y == w.y)
                    << FaceFiles[face].file << " '" << c << "' point " << i;
            }
        }
    }
}

TEST(Letters, TextIsWhereTheFontEngineDrawsItAndCutAtTheEdges)
{
    constexpr int W = 120, H = 40;
    // Plain letters come from the built table; any other sends the whole
    // text to the font engine.
    const QString texts[] = {QStringLiteral("Aug 14 2026 W/M|gjQ_ 1234.56%"),
                             QStringLiteral("\u00d6l 12,50 \u20ac \u00c6gypten")};
    const struct {
        const char* name;
        int x, y;
        TextAlign align;
    } rows[] = {
        {"inside", 2, 30, TextAlign::LeftBottom},
        {"past the left edge", -37, 20, TextAlign::LeftBottom},
        {"past the right edge", W + 25, 38, TextAlign::RightBottom},
        {"past the top", 60, -6, TextAlign::CenterTop},
        {"past the bottom", 40, H - 4, TextAlign::CenterTop},
    };
    for (const QString& text : texts)
        for (const ChartFace face : {ChartFace::Label, ChartFace::Header}) {
            const QRawFont font = EngineFace(FaceFiles[size_t(face)]);
            const QList<quint32> glyphs = font.glyphIndexesForString(text);
            QList<QPointF> at;
            qreal pen = 0;
            for (const QPointF& a : font.advancesForGlyphIndexes(glyphs)) {
                at << QPointF(pen, 0);
                pen += a.x();
            }
            QGlyphRun run;
            run.setRawFont(font);
            run.setGlyphIndexes(glyphs);
            run.setPositions(at);
            for (const auto& row : rows) {
                Canvas canvas;
                canvas.create(W, H, true);
                canvas.setTextColor(Qt::black);
                canvas.setBrushColor(Qt::white);
                canvas.textOut(row.x, row.y, row.align, text, face);
                const QRect cell = canvas.textCell(row.x, row.y, row.align, text, face);
                ASSERT_EQ(cell.width(), qRound(pen)) << row.name;
                QImage engine(W, H, QImage::Format_Mono);
                engine.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
                engine.fill(1);
                {
                    QPainter p(&engine);
                    p.setPen(Qt::black);
                    p.drawGlyphRun(QPointF(cell.left(), cell.top() + qRound(font.ascent())), run);
                }
                const QImage mine = canvas.image();
                int inked = 0;
                for (int y = 0; y < H; ++y)
                    for (int x = 0; x < W; ++x) {
                        ASSERT_EQ(mine.pixel(x, y), engine.pixel(x, y))
                            << int(face) << " " << qPrintable(text) << " " << row.name << " at "
                            << x << "," << y;
                        inked += mine.pixelIndex(x, y) == 0;
                    }
                EXPECT_GT(inked, 20) << row.name;
            }
        }
}
