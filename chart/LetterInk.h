#pragma once
// The chart's letters one bit a pixel. The printable ASCII letters of each
// face are drawn once when the program is built, by the same font engine
// from the same font files, into a table the program carries: a chart of
// plain letters then loads no font at all. Other letters are drawn by the
// font engine as they come.

#include <QImage>
#include <QPainterPath>
#include <QRawFont>
#include <cstdint>
#include <vector>

// The chart's faces: the file under chart/fonts and its size in points.
struct FaceFile {
    const char* file;
    int points;
};
inline constexpr FaceFile FaceFiles[] = {
    {"DejaVuSans-Bold.ttf", 8},
    {"LiberationMono-Bold.ttf", 10},
};
// Whole pixels at 96 dots per inch, as the system's fonts were sized.
constexpr int FacePixels(int points)
{
    return (points * 96 + 36) / 72;
}

// A row of ink, from the pen's position on the baseline.
struct InkRun {
    int16_t y, x, length;
};

// One point of a letter's outline as the font engine gives it, from the pen's
// position on the baseline: a move, a line or a curve's point (a curve is
// three: its two control points and its end).
struct OutlinePoint {
    enum Kind : uint8_t { Move, Line, Curve } kind;
    double x, y;
};

// Glyphs drawn as a chart draws its text: black on a white one-bit picture
// of the given size, the run's pen starting at origin. The built table's
// letters are drawn by this too, so both ways give the same pixels.
[[nodiscard]] QImage MaskOfRun(const QRawFont& font, const QList<quint32>& glyphs,
                               const QList<QPointF>& positions, QSize size, QPointF origin);

// The ink of one glyph as the font engine draws it on a one-bit picture.
[[nodiscard]] std::vector<InkRun> InkOfGlyph(const QRawFont& font, quint32 glyph);

// The table built with the program.
inline constexpr char FirstTableLetter = ' ', LastTableLetter = '~';
struct TableLetter {
    double advance = 0;
    int first = 0;        // into LetterRuns
    int count = -1;       // none: left to the font engine (an advance of part of a pixel)
    int outlineFirst = 0; // into LetterOutlines
    int outlineCount = 0;
};
struct TableFace {
    int ascent = 0, descent = 0;
    TableLetter letters[LastTableLetter - FirstTableLetter + 1];
};
extern const TableFace TableFaces[];
extern const InkRun LetterRuns[];
extern const OutlinePoint LetterOutlines[];

// A letter's outline as the table keeps it, and back: point for point the
// path the font engine gave.
[[nodiscard]] std::vector<OutlinePoint> OutlineOfGlyph(const QRawFont& font, quint32 glyph);
[[nodiscard]] QPainterPath PathOfOutline(const OutlinePoint* points, int count);
