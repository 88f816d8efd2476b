#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>

CommandLine ParseCommandLine(const QStringList& arguments)
{
    CommandLine out;
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Charts a daily price history and lays golden-ratio figures over it."));
    const QCommandLineOption help = p.addHelpOption();
    const QCommandLineOption version = p.addVersionOption();
    const QCommandLineOption script(
        QStringLiteral("script"),
        QStringLiteral("Runs a script of user actions against the window (\"-\" reads standard "
                       "input) and prints its events as JSON Lines."),
        QStringLiteral("FILE"));
    const QCommandLineOption color(QStringLiteral("color"),
                                   QStringLiteral("Draws a colour chart instead of the 1-bit one."));
    p.addOption(script);
    p.addOption(color);
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
    const QStringList files = p.positionalArguments();
    if (files.size() > 1 || (p.isSet(script) && !files.isEmpty())) {
        out.action = CommandLine::Action::Error;
        out.error = QStringLiteral("Give one price file, or a script, not both.");
        return out;
    }
    out.script = p.value(script);
    if (!files.isEmpty())
        out.priceFile = files.first();
    out.color = p.isSet(color) || qEnvironmentVariable("AURIGON_COLOR") == QLatin1String("1");
    return out;
}
