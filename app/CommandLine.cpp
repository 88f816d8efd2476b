#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include "data/Result.h"

std::optional<QSize> ParseSize(const QString& text)
{
    const QStringList wh = text.toLower().split(QLatin1Char('x'));
    bool okW = false, okH = false;
    if (wh.size() != 2)
        return std::nullopt;
    const int w = wh[0].toInt(&okW), h = wh[1].toInt(&okH);
    // Below 100 the scales' margins leave no plot area, or one turned inside out.
    if (!okW || !okH || w < 100 || h < 100 || w > 16384 || h > 16384)
        return std::nullopt;
    return QSize(w, h);
}

QStringList BatchFormats()
{
    return {QStringLiteral("png"), QStringLiteral("bmp"), QStringLiteral("svg"),
            QStringLiteral("pdf")};
}

namespace {
Error Plain(const QString& reason)
{
    return Error{Error::Doing::Plain, QString(), 0, reason};
}

// The options of the many-studies form, read into out.
Result<void> ReadManyStudies(const QCommandLineParser& p, const QCommandLineOption& study,
                             const QCommandLineOption& studyList,
                             const QCommandLineOption& imageDir, const QCommandLineOption& format,
                             const QCommandLineOption& jobs, const QCommandLineOption& quiet,
                             CommandLine& out)
{
    if (!p.isSet(imageDir))
        return Plain(QStringLiteral("--study-list needs --image-dir DIR."));
    if (!p.isSet(study) && !p.isSet(studyList))
        return Plain(
            QStringLiteral("--image-dir needs studies: --study FILE, or --study-list FILE."));
    if (p.values(studyList).size() > 1)
        return Plain(QStringLiteral("Give one --study-list."));
    out.studies = p.values(study);
    out.studyList = p.value(studyList);
    out.imageDir = p.value(imageDir);
    if (p.isSet(format)) {
        out.format = p.value(format).toLower();
        if (!BatchFormats().contains(out.format))
            return Plain(QStringLiteral("--format must be one of %1, not \"%2\".")
                             .arg(BatchFormats().join(QStringLiteral(", ")), p.value(format)));
    }
    if (p.isSet(jobs)) {
        bool ok = false;
        out.jobs = p.value(jobs).toInt(&ok);
        if (!ok || out.jobs < 1 || out.jobs > 256)
            return Plain(QStringLiteral("--jobs must be a number from 1 to 256, not \"%1\".")
                             .arg(p.value(jobs)));
    }
    out.quiet = p.isSet(quiet);
    return {};
}
} // namespace

CommandLine ParseCommandLine(const QStringList& arguments)
{
    CommandLine out;
    QCommandLineParser p;
    p.setApplicationDescription(
        QStringLiteral("Charts a daily price history and lays golden-ratio figures over it."));
    const QCommandLineOption help = p.addHelpOption();
    const QCommandLineOption version = p.addVersionOption();
    const QCommandLineOption script(
        QStringLiteral("script"),
        QStringLiteral("Runs a script of user actions against the window (\"-\" reads standard "
                       "input) and prints its events as JSON Lines."),
        QStringLiteral("FILE"));
    const QCommandLineOption color(
        QStringLiteral("color"), QStringLiteral("Draws a colour chart instead of the 1-bit one."));
    const QCommandLineOption study(
        QStringLiteral("study"), QStringLiteral("Renders a study without a window (with --image)."),
        QStringLiteral("FILE"));
    const QCommandLineOption prices(QStringLiteral("prices"),
                                    QStringLiteral("Charts the study on this price file instead."),
                                    QStringLiteral("PRICEFILE"));
    const QCommandLineOption image(
        QStringLiteral("image"),
        QStringLiteral("Where the study's chart is written (.png or .bmp)."),
        QStringLiteral("OUT"));
    const QCommandLineOption size(QStringLiteral("size"),
                                  QStringLiteral("The chart's size for --study (default 980x590)."),
                                  QStringLiteral("WIDTHxHEIGHT"));
    const QCommandLineOption studyList(
        QStringLiteral("study-list"),
        QStringLiteral("Renders every study listed, one path a line (\"-\" reads standard input); "
                       "with --image-dir."),
        QStringLiteral("FILE"));
    const QCommandLineOption imageDir(
        QStringLiteral("image-dir"),
        QStringLiteral("Where the charts of several studies are written, each as DIR/<study's "
                       "name>.<format>."),
        QStringLiteral("DIR"));
    const QCommandLineOption format(
        QStringLiteral("format"),
        QStringLiteral("The charts' format with --image-dir: %1 (default png).")
            .arg(BatchFormats().join(QLatin1Char('|'))),
        QStringLiteral("FORMAT"));
    const QCommandLineOption jobs(QStringLiteral("jobs"),
                                  QStringLiteral("Charts rendered at once with --image-dir "
                                                 "(default: one a core)."),
                                  QStringLiteral("N"));
    const QCommandLineOption quiet(QStringLiteral("quiet"),
                                   QStringLiteral("No progress and no summary with --image-dir."));
    const QCommandLineOption inspect(
        QStringLiteral("inspect"),
        QStringLiteral("Prints how a price file reads (layout, records, first and last records, "
                       "messages) as one JSON object; exits 1 when it does not read."),
        QStringLiteral("FILE"));
    const QCommandLineOption barStyle(
        QStringLiteral("bar-style"),
        QStringLiteral("Draws the studies' bars as bars|candles|hollow|line (default: each "
                       "study's own style)."),
        QStringLiteral("STYLE"));
    p.addOption(inspect);
    p.addOption(barStyle);
    p.addOption(script);
    p.addOption(color);
    p.addOption(study);
    p.addOption(prices);
    p.addOption(image);
    p.addOption(size);
    p.addOption(studyList);
    p.addOption(imageDir);
    p.addOption(format);
    p.addOption(jobs);
    p.addOption(quiet);
    p.addPositionalArgument(QStringLiteral("PRICEFILE"),
                            QStringLiteral("A price file, opened as if chosen with File."),
                            QStringLiteral("[PRICEFILE]"));
    // The program's name as installed, whatever binary or test runs the parser.
    out.helpText = p.helpText();
    const qsizetype from = out.helpText.indexOf(QLatin1Char(' ')) + 1;
    out.helpText.replace(from, out.helpText.indexOf(QStringLiteral(" [options]")) - from,
                         QStringLiteral("aurigon"));
    if (!p.parse(arguments)) {
        out.action = CommandLine::Action::Error;
        out.error = p.errorText();
        return out;
    }
    if (p.isSet(help)) {
        out.action = CommandLine::Action::Help;
        return out;
    }
    if (p.isSet(version)) {
        out.action = CommandLine::Action::Version;
        return out;
    }
    auto fail = [&out](const QString& why) {
        out.action = CommandLine::Action::Error;
        out.error = why;
        return out;
    };
    // An empty name names nothing; without this --study "" would start the window.
    for (const QCommandLineOption* o : {&script, &study, &prices, &image, &size, &studyList,
                                        &imageDir, &format, &jobs, &inspect, &barStyle})
        if (p.isSet(*o) && p.value(*o).isEmpty())
            return fail(QStringLiteral("--%1 needs a value; it was given an empty one.")
                            .arg(o->names().constFirst()));
    const QStringList files = p.positionalArguments();
    if (files.contains(QString()))
        return fail(QStringLiteral("The price file's name is empty."));
    if (files.size() > 1 || (p.isSet(script) && !files.isEmpty())) {
        out.action = CommandLine::Action::Error;
        out.error = QStringLiteral("Give one price file, or a script, not both.");
        return out;
    }
    if (p.isSet(inspect)) {
        if (p.isSet(script) || p.isSet(study) || !files.isEmpty() || p.isSet(imageDir) ||
            p.isSet(studyList))
            return fail(QStringLiteral("--inspect reads one file on its own."));
        out.inspect = p.value(inspect);
    }
    if (p.isSet(barStyle)) {
        if (!p.isSet(study) && !p.isSet(studyList))
            return fail(QStringLiteral("--bar-style goes with --study or --study-list."));
        out.barStyle = BarStyleNamed(p.value(barStyle));
        if (!out.barStyle)
            return fail(QStringLiteral(
                            "--bar-style must be one of bars, candles, hollow, line, not \"%1\".")
                            .arg(p.value(barStyle)));
    }
    // The picture's size, taken when it is one; each form says when it is not.
    const std::optional<QSize> asked =
        p.isSet(size) ? ParseSize(p.value(size)) : std::optional<QSize>();
    const QString badSize = QStringLiteral("--size must be WIDTHxHEIGHT, each 100 to 16384.");
    if (asked) {
        out.width = asked->width();
        out.height = asked->height();
    }
    if (p.isSet(imageDir) || p.isSet(studyList)) {
        if (const Result<void> read =
                ReadManyStudies(p, study, studyList, imageDir, format, jobs, quiet, out);
            !read)
            return fail(read.error().reason);
        if (p.isSet(script) || !files.isEmpty() || p.isSet(prices) || p.isSet(image))
            return fail(QStringLiteral("--image-dir renders each study on its own price file: no "
                                       "script, no price file, no --prices and no --image."));
        if (p.isSet(size) && !asked)
            return fail(badSize);
        out.color = p.isSet(color) || qEnvironmentVariable("AURIGON_COLOR") == QLatin1String("1");
        return out;
    }
    for (const QCommandLineOption* o : {&format, &jobs, &quiet})
        if (p.isSet(*o))
            return fail(QStringLiteral("--%1 goes with --image-dir.").arg(o->names().constFirst()));
    if (p.values(study).size() > 1)
        return fail(QStringLiteral("Several studies are written with --image-dir DIR."));
    const bool batch = p.isSet(study);
    if (batch && (p.isSet(script) || !files.isEmpty()))
        return fail(QStringLiteral("--study renders on its own: no script and no price file."));
    if (batch && !p.isSet(image))
        return fail(QStringLiteral("--study needs --image OUT.png or OUT.bmp."));
    if (!batch && (p.isSet(image) || p.isSet(prices) || p.isSet(size)))
        return fail(QStringLiteral("--image, --prices and --size go with --study."));
    if (p.isSet(size) && !asked)
        return fail(badSize);
    out.study = p.value(study);
    out.prices = p.value(prices);
    out.image = p.value(image);
    out.script = p.value(script);
    if (!files.isEmpty())
        out.priceFile = files.first();
    // The window's chart size from the environment is held to the same rule as --size.
    const QString envSize = qEnvironmentVariable("AURIGON_CHART_SIZE");
    if (!envSize.isEmpty() && !ParseSize(envSize))
        return fail(QStringLiteral("AURIGON_CHART_SIZE must be WIDTHxHEIGHT, each 100 to 16384, "
                                   "not \"%1\".")
                        .arg(envSize));
    out.color = p.isSet(color) || qEnvironmentVariable("AURIGON_COLOR") == QLatin1String("1");
    return out;
}
