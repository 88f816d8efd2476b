// Whole processes side by side: the batch chart of the last 261 days of a
// price file made by `aurigon --script` and by `aurigon --study`, each against
// gnuplot drawing the same bars from the same file in the same run, and the
// program's start-up. Wall time and CPU time both.
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "bench/Files.h"

namespace {
struct Ran {
    double seconds = 0;
    double cpuSeconds = 0;
    double peakMb = 0;
    bool ok = false;
};

// Runs argv in dir with its output thrown away, through the small spawner;
// its wall time from fork to exit and its peak resident memory.
Ran Run(const std::vector<std::string>& argv, const QString& dir)
{
    const std::string result =
        QFile::encodeName(Folder().filePath(QStringLiteral("ran.txt"))).toStdString();
    std::vector<char*> args{const_cast<char*>(AURIGON_SPAWN), const_cast<char*>(result.c_str())};
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const QByteArray where = QFile::encodeName(dir);
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(where.constData()) != 0)
            _exit(127);
        execv(args[0], args.data());
        _exit(127);
    }
    Ran r;
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return r;
    FILE* f = std::fopen(result.c_str(), "r");
    if (!f)
        return r;
    int exitStatus = -1;
    long peakKb = 0;
    const bool read =
        std::fscanf(f, "%d %lf %ld %lf", &exitStatus, &r.seconds, &peakKb, &r.cpuSeconds) == 4;
    std::fclose(f);
    r.peakMb = double(peakKb) / 1024.0;
    r.ok = read && exitStatus == 0;
    return r;
}

void Write(const QString& path, const QByteArray& text)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
        qFatal("cannot write %s", qPrintable(path));
}

struct Job {
    const char* name;
    std::vector<std::string> argv;
    QString dir;
};

// Runs the jobs by turns, so that the machine's moods fall on all alike; the
// first job's time is the iteration's. Counters: each job's median wall and
// CPU time and largest peak memory, and the first job's ratios to the last.
void SideBySide(benchmark::State& st, const std::vector<Job>& jobs)
{
    for (const Job& j : jobs)
        if (!Run(j.argv, j.dir).ok) { // also warms the page cache
            st.SkipWithError((std::string(j.name) + " failed").c_str());
            return;
        }
    std::vector<std::vector<double>> times(jobs.size()), cpu(jobs.size());
    std::vector<double> peak(jobs.size());
    for (auto _ : st) {
        for (size_t k = 0; k < jobs.size(); ++k) {
            const Ran r = Run(jobs[k].argv, jobs[k].dir);
            if (!r.ok) {
                st.SkipWithError((std::string(jobs[k].name) + " failed").c_str());
                return;
            }
            if (k == 0)
                st.SetIterationTime(r.seconds);
            times[k].push_back(r.seconds);
            cpu[k].push_back(r.cpuSeconds);
            peak[k] = std::max(peak[k], r.peakMb);
        }
    }
    const auto middle = [](std::vector<double>& t) {
        std::nth_element(t.begin(), t.begin() + t.size() / 2, t.end());
        return t[t.size() / 2] * 1e3;
    };
    std::vector<double> median(jobs.size()), cpuMedian(jobs.size());
    for (size_t k = 0; k < jobs.size(); ++k) {
        median[k] = middle(times[k]);
        cpuMedian[k] = middle(cpu[k]);
        st.counters[std::string(jobs[k].name) + "_ms"] = median[k];
        st.counters[std::string(jobs[k].name) + "_cpu_ms"] = cpuMedian[k];
        st.counters[std::string(jobs[k].name) + "_MB"] = peak[k];
    }
    st.counters["time_ratio"] = median.front() / median.back();
    st.counters["cpu_ratio"] = cpuMedian.front() / std::max(cpuMedian.back(), 1e-3);
    st.counters["memory_ratio"] = peak.front() / peak.back();
}

// A folder of its own for each kind of run, with the price file linked in.
QString RunFolder(const QString& name, int64_t lines)
{
    const QString dir = Folder().filePath(name);
    QDir().mkpath(dir);
    const QString prices = dir + QStringLiteral("/prices.txt");
    QFile::remove(prices);
    if (!QFile::link(PriceFile(lines), prices))
        qFatal("cannot link the price file");
    return dir;
}

Job ByScript(int64_t lines)
{
    const QString dir = RunFolder(QStringLiteral("script%1").arg(lines), lines);
    Write(dir + QStringLiteral("/chart.txt"),
          "ack\npress FileBtn\nopen prices.txt\npress PlotBtn\nimage chart.png\n");
    return {"aurigon", {AURIGON_BINARY, "--script", "chart.txt"}, dir};
}

// The same chart rendered from a study with no window. The study is saved by
// a script run once beforehand, from the same file and range.
Job ByStudy(int64_t lines)
{
    const QString dir = RunFolder(QStringLiteral("study%1").arg(lines), lines);
    Write(dir + QStringLiteral("/save.txt"),
          "ack\npress FileBtn\nopen prices.txt\npress PlotBtn\nstudy save chart.aurigon\n");
    if (!Run({AURIGON_BINARY, "--script", "save.txt"}, dir).ok)
        qFatal("cannot save the benchmark's study");
    return {"aurigon", {AURIGON_BINARY, "--study", "chart.aurigon", "--image", "chart.png"}, dir};
}

// The batch chart: aurigon opens the file, plots the last 261 days and writes
// the PNG (by a script, or from a study: the benchmark's argument 0 or 1);
// gnuplot draws the same bars as a financebars plot, pngcairo 980x590.
void BatchChart(benchmark::State& st)
{
    if (QStandardPaths::findExecutable(QStringLiteral("gnuplot")).isEmpty()) {
        st.SkipWithError("gnuplot is not installed (bench/run.sh installs gnuplot-nox)");
        return;
    }
    const int64_t lines = st.range(0);
    const bool fromStudy = st.range(1) != 0;
    const QString dir = RunFolder(QStringLiteral("gnuplot%1").arg(lines), lines);
    Write(dir + QStringLiteral("/chart.gp"),
          QStringLiteral("set terminal pngcairo size 980,590\n"
                         "set output 'chart.png'\n"
                         "set datafile separator ','\n"
                         "set xdata time\n"
                         "set timefmt '%m/%d/%Y'\n"
                         "plot 'prices.txt' every ::%1 using 1:2:3:4:5 with financebars notitle\n")
              .arg(std::max<int64_t>(0, lines - 260))
              .toUtf8());
    // The floor: the program and its libraries loaded (--version) plus one
    // read of the whole file (wc -l), both timed by turns with the rest.
    SideBySide(st, {fromStudy ? ByStudy(lines) : ByScript(lines),
                    {"loaded", {AURIGON_BINARY, "--version"}, dir},
                    {"wc", {"wc", "-l", "prices.txt"}, dir},
                    {"gnuplot", {"gnuplot", "chart.gp"}, dir}});
    if (st.error_occurred())
        return;
    const auto counter = [&st](const char* name) { return double(st.counters[name]); };
    const double floorMs = counter("loaded_ms") + counter("wc_ms");
    const double floorCpuMs = counter("loaded_cpu_ms") + counter("wc_cpu_ms");
    st.counters["floor_ms"] = floorMs;
    st.counters["floor_cpu_ms"] = floorCpuMs;
    st.counters["floor_ratio"] = counter("aurigon_ms") / floorMs;
    st.counters["floor_cpu_ratio"] = counter("aurigon_cpu_ms") / std::max(floorCpuMs, 1e-3);
}

// The same batch chart on a million lines and on 300: memory should not
// grow with the file, which is read afresh and not kept.
void BatchMemory(benchmark::State& st)
{
    Job big = ByScript(1000000), small = ByScript(300);
    big.name = "lines1000000";
    small.name = "lines300";
    SideBySide(st, {big, small});
}

// From nothing to a script's first line answered (the splash acknowledged),
// against the program and its libraries loaded with nothing started.
void StartUp(benchmark::State& st)
{
    const QString dir = RunFolder(QStringLiteral("startup"), 300);
    Write(dir + QStringLiteral("/ack.txt"), "ack\n");
    SideBySide(st, {{"window", {AURIGON_BINARY, "--script", "ack.txt"}, dir},
                    {"loaded", {AURIGON_BINARY, "--version"}, dir}});
}
// A folder of count studies, each of the same figure on a price file of its
// own (of 5,000 lines and a line more each), listed in studies.txt.
QString Watchlist(int count)
{
    const QString dir = Folder().filePath(QStringLiteral("watchlist%1").arg(count));
    QDir().mkpath(dir);
    const QString first = dir + QStringLiteral("/p0.txt");
    QFile::remove(first);
    if (!QFile::link(PriceFile(5000), first))
        qFatal("cannot link the price file");
    Write(dir + QStringLiteral("/save.txt"),
          "ack\npress FileBtn\nopen p0.txt\npress PlotBtn\nstudy save s0.aurigon\n");
    if (!Run({AURIGON_BINARY, "--script", "save.txt"}, dir).ok)
        qFatal("cannot save the benchmark's study");
    QFile saved(dir + QStringLiteral("/s0.aurigon"));
    if (!saved.open(QIODevice::ReadOnly))
        qFatal("no study saved");
    const QByteArray study = saved.readAll();
    QByteArray list;
    for (int i = 0; i < count; ++i) {
        const QString prices = QStringLiteral("p%1.txt").arg(i);
        if (i > 0) {
            QFile::remove(dir + QLatin1Char('/') + prices);
            if (!QFile::link(PriceFile(5000 + i), dir + QLatin1Char('/') + prices))
                qFatal("cannot link the price file");
            QByteArray text = study;
            text.replace("\"p0.txt\"", "\"" + prices.toUtf8() + "\"");
            Write(dir + QStringLiteral("/s%1.aurigon").arg(i), text);
        }
        list += QStringLiteral("s%1.aurigon\n").arg(i).toUtf8();
    }
    Write(dir + QStringLiteral("/studies.txt"), list);
    return dir;
}

// 200 studies in one run on every core, against the same 200 charts made by
// 200 single-study processes one after another. The peak memory of the run
// is its largest worker's (a child's peak counts its own children's).
void ManyCharts(benchmark::State& st)
{
    const QString dir = Watchlist(200);
    Write(dir + QStringLiteral("/singles.sh"),
          QByteArrayLiteral("mkdir -p one && for i in $(seq 0 199); do \"$1\" --study s$i.aurigon "
                            "--image one/s$i.png || exit 1; done\n"));
    SideBySide(
        st, {{"batch", {AURIGON_BINARY, "--study-list", "studies.txt", "--image-dir", "many"}, dir},
             {"singles", {"sh", "singles.sh", AURIGON_BINARY}, dir}});
}

// One chart as SVG or PDF (argument 0 or 1) against the same as PNG.
void VectorChart(benchmark::State& st)
{
    const QString dir = Watchlist(1);
    const char* format = st.range(0) == 0 ? "svg" : "pdf";
    SideBySide(st,
               {{format,
                 {AURIGON_BINARY, "--study", "s0.aurigon", "--image-dir", "v", "--format", format},
                 dir},
                {"png",
                 {AURIGON_BINARY, "--study", "s0.aurigon", "--image-dir", "v", "--format", "png"},
                 dir}});
}
} // namespace

BENCHMARK(ManyCharts)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(VectorChart)
    ->ArgNames({"pdf"})
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(21)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BatchChart)
    ->ArgNames({"lines", "study"})
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Args({2000000, 0})
    ->Args({2000000, 1})
    ->UseManualTime()
    ->Iterations(21)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BatchMemory)->UseManualTime()->Iterations(9)->Unit(benchmark::kMillisecond);
BENCHMARK(StartUp)->UseManualTime()->Iterations(21)->Unit(benchmark::kMillisecond);
