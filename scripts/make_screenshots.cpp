// Writes the README's screenshots from the real window. With two arguments:
// a chart and a PHI spiral in monochrome and in colour, and the same with the
// spiral picked by the Select tool. With a third, the
// window as a person sees it on the screen: maximized, then resized to
// 800x600; QT_SCALE_FACTOR gives the high-density screen. Run by
// scripts/screenshots.sh under Xvfb with a window manager.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QScreen>
#include <QTemporaryDir>
#include <cstdio>

#include "app/automation/ScriptRunner.h"
#include "app/session/GloVar.h"
#include "app/window/MainForm.h"

namespace {
// The figures of the README's pictures, placed by fractions of the chart.
QString Script(const QString& samples, int w, int h)
{
    auto x = [w](double f) { return QString::number(int(f * w)); };
    auto y = [h](double f) { return QString::number(int(f * h)); };
    return QStringLiteral(
               "ack\npress FileBtn\nopen \"%1/sample.txt\"\npress PlotBtn\n"
               "press P1Btn\nclick %2 %3\npress P2Btn\nclick %4 %5\ntype 1\npress DrawBtn\n"
               "press ClipButton\npress P1Btn\nclick %6 %7\npress P2Btn\nclick %4 %8\n"
               "click %9 %3\ntype 7\npress DrawBtn\n")
        .arg(samples, x(0.48), y(0.52), x(0.52), y(0.47), x(0.2), y(0.73), y(0.23))
        .arg(x(0.56));
}

// Lets the window manager and the window settle, as a person would wait.
void Settle(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// picked: the Select tool on and the spiral picked, its handles showing.
bool Shoot(const QString& samples, const QString& out, bool color, bool picked = false)
{
    QTemporaryDir work;
    ScriptHost host([](const QJsonObject&) {});
    TMainForm form(host, work.path());
    form.forceColor = color;
    form.resize(1280, 760);
    form.show();
    form.FormActivate();
    ScriptRunner runner(form, host);
    QStringList lines = Script(samples, 1240, 640).split(QLatin1Char('\n'));
    if (picked)
        lines << QStringLiteral("key V") << QStringLiteral("select 2");
    if (runner.run(lines << QStringLiteral("move 760 240")) != 0)
        return false;
    QApplication::processEvents();
    return form.grab().save(out, "PNG");
}

// The whole screen with the window on it, then the window alone at 800x600.
bool ShootScreen(const QString& samples, const QString& maximized, const QString& small)
{
    QTemporaryDir work;
    ScriptHost host([](const QJsonObject&) {});
    TMainForm form(host, work.path());
    form.showMaximized();
    Settle(1500);
    form.FormActivate();
    host.acknowledge();
    Settle(300);
    ScriptRunner runner(form, host);
    QStringList lines =
        Script(samples, form.session.GloVar.ChartWidth, form.session.GloVar.ChartHeight)
            .split(QLatin1Char('\n'));
    lines.removeFirst(); // acknowledged already
    if (runner.run(lines) != 0)
        return false;
    Settle(500);
    QScreen* screen = form.screen();
    if (!screen->grabWindow(0).save(maximized, "PNG"))
        return false;
    if (small.isEmpty())
        return true;
    form.showNormal();
    Settle(500);
    // As a person's drag ends: the pause passes and the chart is plotted again.
    form.resize(800, 600);
    Settle(1000);
    const QRect frame = form.frameGeometry();
    return screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
        .save(small, "PNG");
}
} // namespace

int main(int argc, char** argv)
{
    const bool screen = argc == 5;
    if (!screen)
        qputenv("AURIGON_CHART_SIZE", "1240x640");
    QApplication app(argc, argv);
    if (argc != 3 && argc != 5) {
        std::fprintf(stderr,
                     "usage: make_screenshots SAMPLESDIR OUTDIR\n"
                     "       make_screenshots SAMPLESDIR OUTDIR MAXIMIZED.png SMALL.png|-\n");
        return 2;
    }
    const QString samples = QString::fromLocal8Bit(argv[1]);
    const QDir out(QString::fromLocal8Bit(argv[2]));
    if (screen) {
        const QString small = QString::fromLocal8Bit(argv[4]);
        return ShootScreen(samples, out.filePath(QString::fromLocal8Bit(argv[3])),
                           small == QLatin1String("-") ? QString() : out.filePath(small))
                   ? 0
                   : 1;
    }
    const bool ok =
        Shoot(samples, out.filePath(QStringLiteral("screenshot-mono.png")), false) &&
        Shoot(samples, out.filePath(QStringLiteral("screenshot-color.png")), true) &&
        Shoot(samples, out.filePath(QStringLiteral("picked-figure-mono.png")), false, true) &&
        Shoot(samples, out.filePath(QStringLiteral("picked-figure.png")), true, true);
    return ok ? 0 : 1;
}
