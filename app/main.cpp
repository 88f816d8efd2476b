#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QScreen>
#include <QTextStream>
#include <cstdio>

#include "app/Host.h"
#include "app/MainForm.h"
#include "app/ScriptRunner.h"

namespace {
void Usage()
{
    std::fprintf(stderr, "usage: aurigon [PRICEFILE]\n       aurigon --script FILE|-\n");
}

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

int RunScript(const QString& path)
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
    form.show();
    QCoreApplication::processEvents();
    form.FormActivate();
    ScriptRunner runner(form, host);
    const int status = runner.run(lines);
    form.close();
    return status;
}
} // namespace

int main(int argc, char** argv)
{
    QString script, priceFile;
    bool scripted = false;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == QLatin1String("--script") && i + 1 < argc) {
            scripted = true;
            script = QString::fromLocal8Bit(argv[++i]);
        } else if (a.startsWith(QLatin1Char('-')) && a != QLatin1String("-")) {
            Usage();
            return 2;
        } else if (priceFile.isEmpty()) {
            priceFile = a;
        } else {
            Usage();
            return 2;
        }
    }
    if (scripted && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    if (scripted)
        return RunScript(script);

    GuiHost host(nullptr);
    TMainForm form(host, QDir::currentPath());
    host.setParent(&form);
    if (!priceFile.isEmpty()) {
        const QString path = QFileInfo(priceFile).absoluteFilePath();
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
