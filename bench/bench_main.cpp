// Speed of the reader, the plot, every figure's Draw and the live ellipse.
// Each file benchmark has a "Floor" twin: one plain sequential read of the
// same file, the least any reading of it can cost.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <sys/resource.h>

#include "app/session/ChartSession.h"
#include "app/session/GloVar.h"
#include "app/session/Prompts.h"
#include "app/session/SharedInputs.h"
#include "bench/Files.h"
#include "chart/BarChart.h"
#include "data/PriceReader.h"

namespace {
class QuietPrompts : public Prompts {
public:
    void beep() override {}
    void message(const QString&, const QString&) override {}
    void error(const QString& t) override { qFatal("unexpected error: %s", qPrintable(t)); }
    std::optional<QString> openFileName(const QString&, const QString&) override { return path; }
    std::optional<QString> saveFileName(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::unique_ptr<PrintTarget> printerSetup() override { return nullptr; }
    QString path;
};

struct Fixture {
    QuietPrompts prompts;
    ChartSession session{prompts};
    explicit Fixture(int width, int height, int64_t lines = 10000)
    {
        session.toClipboard = nullptr;
        session.FormCreate(Folder().path());
        session.SplashAcknowledged(false);
        session.FinishFirstActivation(width, height);
        prompts.path = PriceFile(lines);
        session.FileBtnClick();
    }
};

// Peak resident memory of the process so far, in MB: flat across file sizes
// when reading keeps nothing of the file.
double PeakMb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_maxrss) / 1024.0;
}

void Floor(benchmark::State& st)
{
    const QString path = PriceFile(st.range(0));
    std::vector<char> buf(1 << 20);
    for (auto _ : st) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        int64_t lines = 0;
        qint64 n;
        while ((n = f.read(buf.data(), qint64(buf.size()))) > 0)
            lines += std::count(buf.data(), buf.data() + n, '\n');
        benchmark::DoNotOptimize(lines);
    }
}

void Scan(benchmark::State& st)
{
    Fixture fx(980, 590, st.range(0));
    for (auto _ : st)
        fx.session.ScanPriceFile();
    st.counters["peak_MB"] = PeakMb();
}

void WholeRange(benchmark::State& st)
{
    Fixture fx(980, 590, st.range(0));
    for (auto _ : st) {
        fx.session.GloVar.FileHigh = 0;
        fx.session.GloVar.FileLow = 99999999.0;
        fx.session.ScanWholeFileRange();
    }
    st.counters["peak_MB"] = PeakMb();
}

void LoadLast261(benchmark::State& st)
{
    Fixture fx(980, 590, st.range(0));
    for (auto _ : st)
        fx.session.LoadChartRange();
    st.counters["slots"] = fx.session.GloVar.TotalSlots;
    st.counters["peak_MB"] = PeakMb();
}

// Choosing a file and plotting its last 261 days, as a user does: the
// layout check, the scan and the load. Negative: the newest day first.
void OpenAndPlot(benchmark::State& st)
{
    Fixture fx(980, 590, st.range(0));
    for (auto _ : st) {
        fx.session.FileBtnClick();
        fx.session.PlotBtnClick();
        if (!fx.session.GloVar.ChartShown || fx.session.GloVar.LoadedCount != 261)
            st.SkipWithError("the chart was not plotted");
        fx.session.PlotBtnClick();
    }
    st.counters["newest_first"] = fx.session.GloVar.NewestFirst;
    st.counters["peak_MB"] = PeakMb();
}

// Choosing a file and loading its last 261 days: the reading part of File
// and Plot, against one plain read of the file.
void OpenAndLoad(benchmark::State& st)
{
    Fixture fx(980, 590, st.range(0));
    for (auto _ : st) {
        fx.session.FileBtnClick();
        InitDefaults(fx.session.GloVar);
        fx.session.LoadChartRange();
        if (fx.session.GloVar.LoadedCount != 261)
            st.SkipWithError("the range was not loaded");
    }
    st.counters["newest_first"] = fx.session.GloVar.NewestFirst;
    st.counters["peak_MB"] = PeakMb();
}

void Plot(benchmark::State& st)
{
    Fixture fx(int(st.range(0)), int(st.range(1)));
    for (auto _ : st) {
        InitDefaults(fx.session.GloVar);
        fx.session.LoadChartRange();
        PlotPriceChart(fx.session.GloVar, fx.session.chart, BarLook{});
        benchmark::DoNotOptimize(fx.session.chart.image().constBits());
    }
}

// A plotted 1920 by 1080 chart with both anchors and a third point.
Fixture& Anchored(int width, int height)
{
    static std::map<std::pair<int, int>, std::unique_ptr<Fixture>> made;
    auto& fx = made[{width, height}];
    if (!fx) {
        fx = std::make_unique<Fixture>(width, height);
        ChartSession& s = fx->session;
        s.PlotBtnClick();
        s.P1BtnClick();
        s.Image1MouseDown(MouseButton::Left, width * 2 / 5, height * 3 / 5);
        s.P2BtnClick();
        s.Image1MouseDown(MouseButton::Left, width * 3 / 5, height * 2 / 5);
        s.Image1MouseDown(MouseButton::Left, width / 2, height / 4);
        s.Image1MouseUp();
    }
    return *fx;
}

void Draw(benchmark::State& st)
{
    Fixture& fx = Anchored(1920, 1080);
    fx.session.ChooseChartType(int(st.range(0)));
    for (auto _ : st) {
        // Keep the ellipse the same size from run to run.
        fx.session.GloVar.LastEllipseRatio = -1;
        fx.session.DrawBtnClick();
        benchmark::DoNotOptimize(fx.session.chart.image().constBits());
    }
}

void LiveEllipseMove(benchmark::State& st)
{
    Fixture& fx = Anchored(3840, 2160);
    ChartSession& s = fx.session;
    s.ChooseChartType(2);
    s.DrawBtnClick();
    s.Image1MouseDown(MouseButton::Right, 2400, 800);
    int x = 2400;
    for (auto _ : st) {
        x = x == 2400 ? 2410 : 2400;
        s.Image1MouseMove(x, 800);
        benchmark::DoNotOptimize(s.chart.image().constBits());
    }
    s.Image1MouseUp();
}
// Reopening a study of five figures on a 10,000-line file: scan, plot and
// replay of every figure.
void ReopenStudy(benchmark::State& st)
{
    Fixture fx(980, 590, 10000);
    ChartSession& s = fx.session;
    s.PlotBtnClick();
    const int figures[][5] = {{1, 430, 350, 560, 190},
                              {2, 600, 300, 700, 250},
                              {7, 250, 470, 560, 190},
                              {4, 300, 400, 380, 300},
                              {5, 500, 200, 650, 350}};
    for (const auto& f : figures) {
        s.P1BtnClick();
        s.Image1MouseDown(MouseButton::Left, f[1], f[2]);
        s.P2BtnClick();
        s.Image1MouseDown(MouseButton::Left, f[3], f[4]);
        s.ChooseChartType(f[0]);
        s.DrawBtnClick();
        s.ClipButtonClick();
    }
    const QString path = Folder().filePath(QStringLiteral("five.aurigon"));
    if (!s.SaveStudy(path))
        qFatal("cannot save the study");
    for (auto _ : st) {
        if (!s.OpenStudy(path))
            st.SkipWithError("the study did not open");
        benchmark::DoNotOptimize(s.chart.image().constBits());
    }
}

// Reopening a study of N kept figures, spread over the chart's days and
// prices: the replay must cost the same per figure whatever N is.
void KeptFigures(benchmark::State& st)
{
    Fixture fx(980, 590, 10000);
    ChartSession& s = fx.session;
    s.PlotBtnClick();
    const QString path = Folder().filePath(QStringLiteral("kept-%1.aurigon").arg(st.range(0)));
    Study study = s.CurrentStudy(path);
    const auto& prices = fx.session.GloVar.Prices;
    const int loaded = fx.session.GloVar.LoadedCount;
    const int types[] = {1, 3, 4, 5, 6, 7, 8};
    unsigned seed = 12345;
    auto next = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 8) % unsigned(n));
    };
    for (int64_t i = 0; i < st.range(0); ++i) {
        StudyFigure f;
        f.type = types[i % 7];
        const int a = 1 + next(loaded - 40), b = a + 5 + next(30);
        const PriceRecord &ra = prices[size_t(a)], &rb = prices[size_t(b)];
        f.p1 = StudyPoint{ra.Date, 0, ra.Low};
        f.p2 = StudyPoint{rb.Date, 0, rb.High};
        f.kept = true;
        study.figures.push_back(f);
    }
    if (!SaveStudyFile(study, path))
        qFatal("cannot save the study");
    for (auto _ : st) {
        if (!s.OpenStudy(path))
            st.SkipWithError("the study did not open");
        benchmark::DoNotOptimize(s.chart.image().constBits());
    }
}
} // namespace

BENCHMARK(Floor)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(Scan)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(WholeRange)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadLast261)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Arg(-1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(OpenAndLoad)->Arg(1000000)->Arg(-1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(OpenAndPlot)->Arg(1000000)->Arg(-1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(Plot)->Args({980, 590})->Args({1920, 1080})->Unit(benchmark::kMillisecond);
BENCHMARK(Draw)->DenseRange(1, 8)->Unit(benchmark::kMicrosecond);
BENCHMARK(LiveEllipseMove)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReopenStudy)->Unit(benchmark::kMillisecond);
BENCHMARK(KeptFigures)->Arg(500)->Arg(10000)->Iterations(2)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
