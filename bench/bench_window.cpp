// The real window, driven by mouse events on its own widgets (offscreen):
// from the event to the finished repaint of the chart widget.
#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QToolButton>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

#include "app/automation/ScriptRunner.h"
#include "app/session/GloVar.h"
#include "app/window/ChartView.h"
#include "app/window/MainForm.h"
#include "app/window/Splash.h"
#include "bench/Files.h"

namespace {
// Counts the chart widget's paint events, so that a benchmark knows the
// repaint it waited for really happened.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

struct Window {
    ScriptHost host{[](const QJsonObject&) {}};
    std::unique_ptr<TMainForm> form;
    PaintCounter counter;
    ChartView* chart = nullptr;

    // A window whose chart is width by height, with the lines given run.
    Window(const char* size, const QStringList& lines)
    {
        qputenv("AURIGON_CHART_SIZE", size);
        form = std::make_unique<TMainForm>(host, Folder().path());
        // Large enough to show the whole chart, as on a screen that size.
        int width = 0, height = 0;
        std::sscanf(size, "%dx%d", &width, &height);
        form->resize(width + 100, height + 200);
        form->show();
        QCoreApplication::processEvents();
        form->FormActivate();
        ScriptRunner runner(*form, host);
        if (runner.run(QStringList{QStringLiteral("ack")} + lines) != 0)
            qFatal("the window could not be set up");
        qunsetenv("AURIGON_CHART_SIZE");
        if (form->session.GloVar.ChartWidth != width || form->session.GloVar.ChartHeight != height)
            qFatal("the chart is not %s", size);
        QCoreApplication::processEvents();
        chart = static_cast<ChartView*>(form->findChild<QWidget*>(QStringLiteral("Image1")));
        chart->installEventFilter(&counter);
        if (!chart->visibleRegion().boundingRect().contains(QRect(0, 0, width, height)))
            qFatal("the chart is not shown whole");
    }
    QToolButton* button(const char* name) const
    {
        return form->findChild<QToolButton*>(QLatin1String(name));
    }
    // Lets the window repaint; false when the chart was not repainted.
    bool repainted()
    {
        // A first pass may only post the request that the next one serves.
        const int before = counter.paints;
        for (int pass = 0; pass < 4 && counter.paints == before; ++pass)
            QCoreApplication::processEvents();
        return counter.paints > before;
    }
};

QStringList Plotted(int64_t lines)
{
    return {QStringLiteral("press FileBtn"), QStringLiteral("open \"%1\"").arg(PriceFile(lines)),
            QStringLiteral("press PlotBtn")};
}

// "Shift to previous period" and "Shift to next period" by turns: each click
// re-plots from the file, writes TmpPrice.bmp and repaints the chart.
void Navigate(benchmark::State& st)
{
    Window w("1920x1080", Plotted(st.range(0)));
    QToolButton* back = w.button("ToolButton1");
    QToolButton* forward = w.button("ToolButton2");
    bool previous = true;
    for (auto _ : st) {
        QTest::mouseClick(previous ? back : forward, Qt::LeftButton);
        if (!w.repainted() || !w.form->session.GloVar.ChartShown)
            st.SkipWithError("the chart was not re-plotted and repainted");
        previous = !previous;
    }
}

// The yardstick: the same chart widget repainted whole, with nothing re-plotted.
void RepaintWhole(benchmark::State& st)
{
    Window w("1920x1080", Plotted(10000));
    for (auto _ : st) {
        w.chart->update();
        if (!w.repainted())
            st.SkipWithError("the chart was not repainted");
    }
}

// One mouse move of the live ellipse (right button held) on a 3840 by 2160
// chart: the ellipse redrawn and the changed rectangle repainted.
void LiveEllipseInWindow(benchmark::State& st)
{
    Window w("3840x2160", Plotted(10000) + QStringList{
                                               QStringLiteral("press P1Btn"),
                                               QStringLiteral("click 1536 1296"),
                                               QStringLiteral("press P2Btn"),
                                               QStringLiteral("click 2304 864"),
                                               QStringLiteral("type 2"),
                                               QStringLiteral("press DrawBtn"),
                                           });
    ChartView* view = w.chart;
    auto send = [view](QEvent::Type type, int x, Qt::MouseButton button) {
        const QPointF at(x, 800);
        QMouseEvent e(type, at, view->mapToGlobal(at), button,
                      type == QEvent::MouseMove ? Qt::RightButton : Qt::MouseButtons(button),
                      Qt::NoModifier);
        QApplication::sendEvent(view, &e);
    };
    send(QEvent::MouseButtonPress, 2400, Qt::RightButton);
    w.repainted();
    if (!w.form->session.GloVar.EllipseLive || !w.form->session.GloVar.MouseDragging)
        st.SkipWithError("no live ellipse");
    int x = 2400;
    for (auto _ : st) {
        x = x == 2400 ? 2410 : 2400;
        send(QEvent::MouseMove, x, Qt::NoButton);
        if (!w.repainted())
            st.SkipWithError("the chart was not repainted");
    }
    send(QEvent::MouseButtonRelease, x, Qt::RightButton);
}
// Shows the splash as the desktop program does, without waiting on it.
class ShowingHost : public ScriptHost {
public:
    ShowingHost() : ScriptHost([](const QJsonObject&) {}) {}
    void showSplash(SplashForm& splash, std::function<void()> then) override
    {
        splash.installEventFilter(&counter);
        splash.show();
        ScriptHost::showSplash(splash, std::move(then));
    }
    PaintCounter counter;
};

// From making the window to the window shown and the splash painted, in a
// process whose libraries and fonts are loaded already (the whole process
// is StartUp).
void WindowAndSplash(benchmark::State& st)
{
    qputenv("AURIGON_CHART_SIZE", "980x590");
    for (auto _ : st) {
        ShowingHost host;
        auto form = std::make_unique<TMainForm>(host, Folder().path());
        form->show();
        for (int pass = 0; pass < 20 && host.counter.paints == 0; ++pass)
            QCoreApplication::processEvents();
        if (host.counter.paints == 0)
            st.SkipWithError("the splash was not painted");
        st.PauseTiming();
        host.acknowledge();
        form.reset();
        QCoreApplication::processEvents();
        st.ResumeTiming();
    }
    qunsetenv("AURIGON_CHART_SIZE");
}
} // namespace

BENCHMARK(Navigate)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(RepaintWhole)->Unit(benchmark::kMillisecond);
BENCHMARK(LiveEllipseInWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(WindowAndSplash)->Unit(benchmark::kMillisecond);
