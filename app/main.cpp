#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QScreen>
#include <QTextStream>
#include <cstdio>

#include "app/Batch.h"
#include "app/CommandLine.h"
#include "app/Host.h"
#include "app/MainForm.h"
#include "app/ScriptRunner.h"
#include "chart/Canvas.h"

namespace {
bool ReadScript(const QString& path, QStringList& lines)
{
    QFile f;
    const bool ok = path == QLatin1String("-") ? f.open(stdin, QIODevice::ReadOnly | QIODevice::Text)
                                               : (f.setFileName(path),
                                                  f.open(QIODevice::ReadOnly | QIODevice::Text));
    if (!ok) {
        std::fprintf(stderr, "aurigon: cannot read %s: %s\n", qPrintable(path),
                     qPrintable(f.errorString()));
        return false;
    }
    const QString text = QString::fromUtf8(f.readAll());
    lines = text.split(QLatin1Char('\n'));
    for (QString& l : lines)
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    return true;
}

// A script's or a batch chart's work is written and flushed by now; tearing
// down every widget and Qt itself would only cost time. Builds with the
// address sanitizer tear down as usual, so that leaks are still found.
int Finished(int status)
{
#if defined(__SANITIZE_ADDRESS__)
    return status;
#else
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
#endif
}

int RunScript(const QString& path, bool color)
{
    QStringList lines;
    if (!ReadScript(path, lines))
        return 2;
    QTextStream out(stdout);
    ScriptHost host([&out](const QJsonObject& o) {
        out << QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)) << '\n';
        out.flush();
    });
    TMainForm form(host, QDir::currentPath());
    form.forceColor = color;
    // Without a screen nobody sees the window: it is shown, activated and
    // driven as ever, but not painted.
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        form.setAttribute(Qt::WA_DontShowOnScreen);
    form.show();
    QCoreApplication::processEvents();
    form.FormActivate();
    ScriptRunner runner(form, host);
    const int status = runner.run(lines);
    form.close();
    return Finished(status);
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication::setApplicationName(QStringLiteral("aurigon"));
    QCoreApplication::setApplicationVersion(QStringLiteral(AURIGON_VERSION));
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine cl = ParseCommandLine(arguments);
    switch (cl.action) {
    case CommandLine::Action::Help:
        std::fputs(qPrintable(cl.helpText), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::printf("aurigon %s\n", AURIGON_VERSION);
        return 0;
    case CommandLine::Action::Error:
        std::fprintf(stderr, "aurigon: %s\n\n%s", qPrintable(cl.error), qPrintable(cl.helpText));
        return cl.exitStatus();
    case CommandLine::Action::Run: break;
    }
    if (!cl.study.isEmpty()) {
        // No window: the offscreen platform whatever the display, and standard
        // error left to the one line that says what failed.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        QGuiApplication app(argc, argv);
        KeepPaintingInOneThread();
        const QString err = RenderStudy(cl);
        if (!err.isEmpty()) {
            std::fprintf(stderr, "aurigon: %s\n", qPrintable(err));
            return Finished(1);
        }
        return Finished(0);
    }
    const bool scripted = !cl.script.isEmpty();
    if (scripted && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    KeepPaintingInOneThread();
    if (scripted)
        return RunScript(cl.script, cl.color);

    GuiHost host(nullptr);
    TMainForm form(host, QDir::currentPath());
    form.forceColor = cl.color;
    host.setParent(&form);
    if (!cl.priceFile.isEmpty()) {
        const QString path = QFileInfo(cl.priceFile).absoluteFilePath();
        form.afterFirstActivation = [&form, &host, path] {
            host.presetOpen = path;
            form.Press(Ctl::FileBtn);
            host.presetOpen.reset();
        };
    }
    // Without a window manager a maximize request is ignored; fill the screen anyway.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        form.setGeometry(screen->availableGeometry());
    form.showMaximized();
    return app.exec();
}
