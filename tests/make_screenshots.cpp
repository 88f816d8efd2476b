// Writes the README's screenshots: the main window with a chart and a PHI
// spiral, in monochrome and in colour. Run by scripts/screenshots.sh.
#include <QApplication>
#include <QDir>
#include <QJsonObject>
#include <QTemporaryDir>
#include <cstdio>

#include "app/GloVar.h"
#include "app/MainForm.h"
#include "app/ScriptRunner.h"

namespace {
bool Shoot(const QString& samples, const QString& out, bool color)
{
    QTemporaryDir work;
    ResetSharedState();
    ScriptHost host([](const QJsonObject&) {});
    TMainForm form(host, work.path());
    form.forceColor = color;
    form.resize(1280, 760);
    form.show();
    form.FormActivate();
    ScriptRunner runner(form, host);
    const QString script = QStringLiteral(R"(ack
press FileBtn
open "%1/sample.txt"
press PlotBtn
press P1Btn
click 600 330
press P2Btn
click 640 300
type 1
press DrawBtn
press ClipButton
press P1Btn
click 250 470
press P2Btn
click 640 150
click 700 330
type 7
press DrawBtn
move 760 240
)").arg(samples);
    if (runner.run(script.split(QLatin1Char('\n'))) != 0)
        return false;
    QApplication::processEvents();
    return form.grab().save(out, "PNG");
}
} // namespace

int main(int argc, char** argv)
{
    qputenv("AURIGON_CHART_SIZE", "1240x640");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_screenshots SAMPLESDIR OUTDIR\n");
        return 2;
    }
    const QString samples = QString::fromLocal8Bit(argv[1]);
    const QDir out(QString::fromLocal8Bit(argv[2]));
    const bool ok = Shoot(samples, out.filePath(QStringLiteral("screenshot-mono.png")), false) &&
                    Shoot(samples, out.filePath(QStringLiteral("screenshot-color.png")), true);
    return ok ? 0 : 1;
}
