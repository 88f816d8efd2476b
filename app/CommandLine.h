#pragma once
// The program's options, read with QCommandLineParser. No widget is needed
// to read them, so they are read before the application starts.

#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

#include "chart/BarChart.h"

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    QString script;     // --script FILE ("-" for standard input)
    QString priceFile;  // opened as if chosen with File
    bool color = false; // --color, or AURIGON_COLOR=1
    // Batch: --study FILE [--prices PRICEFILE] --image OUT [--size WxH]
    QString study, prices, image;
    int width = 980, height = 590;
    // Many studies: --study A --study B ... and/or --study-list FILE ("-" for
    // standard input), --image-dir DIR [--format png|bmp] [--jobs N] [--quiet].
    // imageDir is set only for this form; study stays empty then.
    QStringList studies;
    QString studyList, imageDir;
    QString format = QStringLiteral("png");
    int jobs = 0; // 0: one a core
    bool quiet = false;
    // --bar-style, with either batch form: drawn over each study's own style.
    std::optional<BarStyle> barStyle;
    // --inspect FILE: how the file reads, printed as JSON; nothing else runs.
    QString inspect;
    QString helpText;
    QString error; // with Action::Error: what was wrong

    // Exit status for Help, Version and Error.
    [[nodiscard]] int exitStatus() const { return action == Action::Error ? 2 : 0; }
};

// "WIDTHxHEIGHT" within 100..16384 each; none for anything else.
[[nodiscard]] std::optional<QSize> ParseSize(const QString& text);

// The formats --image-dir writes, lower case.
[[nodiscard]] QStringList BatchFormats();

// arguments include the program's name first.
[[nodiscard]] CommandLine ParseCommandLine(const QStringList& arguments);
