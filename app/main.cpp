#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHashFunctions>
#include <QJsonDocument>
#include <QSocketNotifier>
#include <QTextStream>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fontconfig/fontconfig.h>
#include <memory>
#include <optional>
#include <unistd.h>
#include <vector>

#include "app/CommandLine.h"
#include "app/automation/Batch.h"
#include "app/automation/ScriptParse.h"
#include "app/automation/ScriptRunner.h"
#include "app/session/Host.h"
#include "app/session/Inspect.h"
#include "app/window/Icons.h"
#include "app/window/MainForm.h"
#include "app/window/StartFile.h"
#include "data/FileNames.h"
#include "data/WholeFile.h"

namespace {
// The folder the chart's work files (fsetup.dat, TmpPrice.bmp, TmpPrint.bmp)
// belong in: the current one, named as the system names it. When it cannot
// be named nothing is started, rather than the files going somewhere else.
Result<QString> WorkFolder()
{
    std::vector<char> name(PATH_MAX + 1);
    if (::getcwd(name.data(), name.size()))
        return DecodeFileName(QByteArray(name.data()));
    return Error{
        Error::Doing::Plain, QStringLiteral("."), 0,
        errno == ERANGE || errno == ENAMETOOLONG
            ? QStringLiteral("its name is longer than the system allows (%1 bytes)").arg(PATH_MAX)
            : QString::fromLocal8Bit(std::strerror(errno))};
}

bool NoWorkFolder(const Error& why)
{
    std::fprintf(stderr,
                 "aurigon: the current folder cannot be named: %s. The chart's work files are "
                 "kept there, so nothing was started; start aurigon from another folder.\n",
                 qPrintable(why.message()));
    return true;
}

// Nobody sees the window of a script without a screen, a batch chart has
// none, and the chart's letters are the program's own: fontconfig is given an
// empty set-up instead of reading the system's and Qt listing every
// installed font. Called before the application object.
void WithoutSystemFonts()
{
    FcConfig* empty = FcConfigCreate();
    if (!empty)
        return;
    FcConfigSetCurrent(empty); // takes its own reference
    FcConfigDestroy(empty);
}

// What the offscreen platform says of itself on every run (it sizes no real
// window, and the system named no runtime folder) is no news to whoever
// reads a script's standard error; everything else still reaches it.
void WithoutPlatformNotes()
{
    static const QtMessageHandler passOn = qInstallMessageHandler(nullptr);
    qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& where, const QString& text) {
            if (type == QtWarningMsg &&
                (text == QLatin1String("This plugin does not support propagateSizeHints()") ||
                 text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))))
                return;
            passOn(type, where, text);
        });
}

// Qt's image writer asks every image format plugin whether it writes PNG or
// BMP better than Qt's own writers, loading all of them (and their libraries)
// for the first picture. None of them does, so a chart without a window is
// written without: called once the platform plugin is in.
void WithoutImagePlugins()
{
    QCoreApplication::setLibraryPaths({});
}

// A script's or a batch chart's work is written and flushed by now; tearing
// down every widget and Qt itself would only cost time. Builds with a
// sanitizer tear down as usual, so that leaks are still found and a race
// found sets the exit status.
int Finished(int status)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return status;
#else
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
#endif
}

int RunScript(const QString& path, bool color, const QString& folder)
{
    const Result<QStringList> lines = ReadScriptFile(path);
    if (!lines) {
        std::fprintf(stderr, "aurigon: %s\n", qPrintable(lines.error().message()));
        return 2;
    }
    QTextStream out(stdout);
    ScriptHost host([&out](const QJsonObject& o) {
        out << QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)) << '\n';
        out.flush();
    });
    TMainForm form(host, folder);
    form.forceColor = color;
    // Without a screen nobody sees the window: it is shown, activated and
    // driven as ever, but not painted.
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        form.setAttribute(Qt::WA_DontShowOnScreen);
        form.setUpdatesEnabled(false);
    }
    form.show();
    QCoreApplication::processEvents();
    form.FormActivate();
    ScriptRunner runner(form, host);
    const int status = runner.run(*lines);
    EndIfSignalled();
    form.CloseWithoutAsking();
    return Finished(status);
}
} // namespace

namespace {
// --inspect: the file read as the window reads it, without a window.
int InspectMain(int& argc, char** argv, const QString& file)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    WithoutSystemFonts();
    QGuiApplication app(argc, argv);
    const Inspection seen = InspectPriceFile(file, QDir::currentPath());
    std::fwrite(seen.json.constData(), 1, size_t(seen.json.size()), stdout);
    std::fputc('\n', stdout);
    return Finished(seen.read ? 0 : 1);
}
} // namespace

int main(int argc, char** argv)
{
    // Hash order decides the order of objects Qt writes into a PDF (its
    // fonts among them): one seed for every run, so a chart is the same file
    // each time it is drawn.
    QHashSeed::setDeterministicGlobalSeed();
    QCoreApplication::setApplicationName(QStringLiteral("aurigon"));
    QCoreApplication::setApplicationVersion(QStringLiteral(AURIGON_VERSION));
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << DecodeFileName(QByteArray(argv[i]));
    const CommandLine cl = ParseCommandLine(arguments);
    switch (cl.action) {
    case CommandLine::Action::Help: std::fputs(qPrintable(cl.helpText), stdout); return 0;
    case CommandLine::Action::Version: std::printf("aurigon %s\n", AURIGON_VERSION); return 0;
    case CommandLine::Action::Error:
        std::fprintf(stderr, "aurigon: %s\n\n%s", qPrintable(cl.error), qPrintable(cl.helpText));
        return cl.exitStatus();
    case CommandLine::Action::Run: break;
    }
    if (!cl.inspect.isEmpty())
        return InspectMain(argc, argv, cl.inspect);
    const Result<QString> folder = WorkFolder();
    if (!cl.imageDir.isEmpty()) {
        const Result<std::vector<StudyJob>> jobs = ListStudies(cl);
        if (!jobs) {
            std::fprintf(stderr, "aurigon: %s\n", qPrintable(OneLine(jobs.error().message())));
            return 2;
        }
        if (!folder && NoWorkFolder(folder.error()))
            return 1;
        // As for one study; the workers are forked from here, before any
        // thread, and each starts its own application.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("QT_NO_GLIB", "1"); // nothing else shares the event loop
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        WithoutSystemFonts();
        return RenderStudies(cl, *jobs, [&argc, argv] {
            auto app = std::make_unique<QGuiApplication>(argc, argv);
            WithoutImagePlugins();
            return app;
        });
    }
    if (!cl.study.isEmpty()) {
        // A batch chart keeps its work files in a folder of its own; only
        // names relative to the current folder need it.
        for (const QString& name : {cl.study, cl.prices, cl.image})
            if (!folder && !name.isEmpty() && !QFileInfo(name).isAbsolute() &&
                NoWorkFolder(folder.error()))
                return 1;
        // No window: the offscreen platform whatever the display, and standard
        // error left to the one line that says what failed.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // Nor does anything else share its event loop: the plain one starts
        // quicker than GLib's.
        qputenv("QT_NO_GLIB", "1");
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        WithoutSystemFonts();
        QGuiApplication app(argc, argv);
        WithoutImagePlugins();
        CatchEndingSignals(false);
        if (const Result<void> rendered = RenderStudy(cl); !rendered) {
            std::fprintf(stderr, "aurigon: %s\n", qPrintable(OneLine(rendered.error().message())));
            return Finished(1);
        }
        return Finished(0);
    }
    if (!folder && NoWorkFolder(folder.error()))
        return 1;
    const bool scripted = !cl.script.isEmpty();
    if (scripted && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    if (scripted && qgetenv("QT_QPA_PLATFORM").startsWith("offscreen")) {
        WithoutPlatformNotes();
        WithoutSystemFonts();
        // Nor does anything else share its event loop: the plain one starts
        // quicker than GLib's.
        qputenv("QT_NO_GLIB", "1");
    }
    QApplication app(argc, argv);
    if (scripted && QGuiApplication::platformName() == QLatin1String("offscreen"))
        WithoutImagePlugins();
    // An ending signal reaches the event loop as a byte on a pipe; one that
    // comes during a write is taken by the writer, which cleans up first.
    CatchEndingSignals(true);
    std::unique_ptr<QSocketNotifier> endingSignal;
    if (EndingSignalPipe() >= 0) {
        endingSignal = std::make_unique<QSocketNotifier>(EndingSignalPipe(), QSocketNotifier::Read);
        QObject::connect(endingSignal.get(), &QSocketNotifier::activated, [] { EndIfSignalled(); });
    }
    QApplication::setStyle(ProgramStyle());
    // The program's icon is drawn, not loaded; a window nobody sees needs none.
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        QApplication::setWindowIcon(ProgramIcon());
    if (scripted)
        return RunScript(cl.script, cl.color, *folder);

    GuiHost host(nullptr);
    TMainForm form(host, *folder);
    form.RememberSettings();
    form.forceColor = form.forceColor || cl.color;
    host.setParent(&form);
    if (!cl.priceFile.isEmpty())
        OpenOnFirstActivation(form, cl.priceFile);
    form.ShowAsLastTime();
    return app.exec();
}
