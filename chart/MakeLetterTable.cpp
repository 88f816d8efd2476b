// make_letter_table FONTDIR OUT.cpp: the table of the chart's printable
// letters, drawn by this machine's font engine as the program draws them.

#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>
#include <QTextStream>
#include <cmath>
#include <cstdio>
#include <fontconfig/fontconfig.h>

#include "chart/LetterInk.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_letter_table FONTDIR OUT.cpp\n");
        return 2;
    }
    // As the program starts: no platform, and fontconfig with an empty set-up.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (FcConfig* empty = FcConfigCreate()) {
        FcConfigSetCurrent(empty);
        FcConfigDestroy(empty);
    }
    // A build's log is no place for the platform's notice of a missing
    // runtime folder; anything else still reaches it.
    static const QtMessageHandler passOn = qInstallMessageHandler(nullptr);
    qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& where, const QString& text) {
            if (!text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
                passOn(type, where, text);
        });
    QGuiApplication app(argc, argv);
    QString faces, runs, outlines;
    int runCount = 0, outlineCount = 0;
    for (const FaceFile& f : FaceFiles) {
        QFile file(QString::fromLocal8Bit(argv[1]) + QLatin1Char('/') +
                   QString::fromLatin1(f.file));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "make_letter_table: cannot read %s\n",
                         qPrintable(file.fileName()));
            return 1;
        }
        const QRawFont font(file.readAll(), FacePixels(f.points), QFont::PreferFullHinting);
        if (!font.isValid()) {
            std::fprintf(stderr, "make_letter_table: %s is no font\n", f.file);
            return 1;
        }
        faces += QStringLiteral("    {%1, %2, {\n")
                     .arg(qRound(font.ascent()))
                     .arg(qRound(font.descent()));
        for (char c = FirstTableLetter; c <= LastTableLetter; ++c) {
            const QList<quint32> glyphs = font.glyphIndexesForString(QString(QLatin1Char(c)));
            const QList<QPointF> advances =
                glyphs.size() == 1 ? font.advancesForGlyphIndexes(glyphs) : QList<QPointF>();
            // Only a letter the engine places on whole pixels: one placed on
            // part of a pixel may be drawn otherwise beside its neighbours.
            if (advances.size() != 1 || advances[0].y() != 0 ||
                advances[0].x() != std::floor(advances[0].x())) {
                faces += QStringLiteral("        {0, 0, -1},\n");
                continue;
            }
            const std::vector<InkRun> ink = InkOfGlyph(font, glyphs[0]);
            const std::vector<OutlinePoint> outline = OutlineOfGlyph(font, glyphs[0]);
            faces += QStringLiteral("        {%1, %2, %3, %4, %5},\n")
                         .arg(advances[0].x())
                         .arg(runCount)
                         .arg(qsizetype(ink.size()))
                         .arg(outlineCount)
                         .arg(qsizetype(outline.size()));
            for (const InkRun& r : ink)
                runs += QStringLiteral("    {%1, %2, %3},\n").arg(r.y).arg(r.x).arg(r.length);
            runCount += int(ink.size());
            // Seventeen digits give each coordinate back exactly.
            for (const OutlinePoint& o : outline)
                outlines += QStringLiteral("    {OutlinePoint::Kind(%1), %2, %3},\n")
                                .arg(int(o.kind))
                                .arg(o.x, 0, 'g', 17)
                                .arg(o.y, 0, 'g', 17);
            outlineCount += int(outline.size());
        }
        faces += QStringLiteral("    }},\n");
    }
    QSaveFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "make_letter_table: cannot write %s\n", argv[2]);
        return 1;
    }
    QTextStream s(&out);
    s << "// Made by make_letter_table from the program's fonts when it was built.\n"
         "#include \"chart/LetterInk.h\"\n\n"
         "const TableFace TableFaces[] = {\n"
      << faces << "};\n\nconst InkRun LetterRuns[] = {\n"
      << (runCount ? runs : QStringLiteral("    {0, 0, 0},\n"))
      << "};\n\nconst OutlinePoint LetterOutlines[] = {\n"
      << (outlineCount ? outlines : QStringLiteral("    {OutlinePoint::Move, 0, 0},\n")) << "};\n";
    s.flush();
    return out.commit() ? 0 : 1;
}
