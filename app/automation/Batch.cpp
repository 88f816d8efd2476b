#include "app/automation/Batch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QTemporaryDir>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/CommandLine.h"
#include "app/session/ChartSession.h"
#include "app/session/Prompts.h"
#include "chart/Output.h"
#include "chart/Vector.h"
#include "data/FileNames.h"

namespace {
// Nobody to ask: the first error is the answer, messages go to standard error.
class BatchPrompts : public Prompts {
public:
    QString firstError;
    QStringList notes; // said only when the chart is written
    void beep() override {}
    void message(const QString&, const QString& text) override { notes << OneLine(text); }
    void error(const QString& text) override
    {
        if (firstError.isEmpty())
            firstError = text;
    }
    std::optional<QString> openFileName(const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::optional<QString> saveFileName(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::unique_ptr<PrintTarget> printerSetup() override { return nullptr; }
};

struct RenderRequest {
    QString study, prices, image;
    const char* format;
    int width, height;
    bool color;
    std::optional<BarStyle> barStyle;
};

// A failure in the batch's own words.
Error Failed(const QString& file, const QString& text)
{
    return Error{Error::Doing::Plain, file, 0, text};
}

// One chart, start to end, as a fresh process would draw it; on success the
// notes, what the study said on the way, told only when the chart is written.
Result<QStringList> RenderOne(const RenderRequest& r)
{
    if (!r.prices.isEmpty())
        if (const Result<void> regular = CheckRegularFile(r.prices); !regular)
            return Failed(r.prices, QStringLiteral("Cannot open price file %1. %2")
                                        .arg(r.prices, regular.error().reason));
    // Refused before anything is read: the picture may not replace an input.
    if (const Result<void> mine = CheckNotInput(r.image, {r.study, r.prices}); !mine)
        return mine.error();
    // The clean chart and fsetup.dat of a batch stay out of the current folder.
    QTemporaryDir work;
    if (!work.isValid())
        return Failed(QString(), QStringLiteral("no temporary folder: %1").arg(work.errorString()));
    BatchPrompts prompts;
    ChartSession s(prompts);
    s.toClipboard = nullptr;
    const std::optional<VectorFormat> vector = VectorFormatOf(r.image);
    s.chart.setRecording(vector.has_value());
    s.FormCreate(work.path());
    s.SplashAcknowledged(r.color);
    s.FinishFirstActivation(r.width, r.height);
    const Result<void> opened = s.OpenStudy(r.study, r.prices, r.barStyle);
    // A run that met an error on the way says so and fails, chart or not:
    // the first error said is the one told.
    if (!prompts.firstError.isEmpty())
        return Failed(r.study, prompts.firstError);
    if (!opened && opened.error().doing != Error::Doing::Told)
        return opened.error();
    if (!opened || !s.ChartShown())
        return Failed(r.study, QStringLiteral("the study %1 gave no chart").arg(r.study));
    if (const Result<void> mine = CheckNotInput(r.image, {r.study, s.PriceFile()}); !mine)
        return mine.error();
    const Result<void> w =
        vector ? WriteVectorFile(s.chart, r.image, *vector, QFileInfo(r.study).completeBaseName())
               : WriteImageFile(s.chart.image(), r.image, r.format);
    if (!w)
        return w.error();
    return prompts.notes;
}
} // namespace

Result<void> CheckNotInput(const QString& out, const QStringList& inputs)
{
    struct stat o {};
    if (::stat(QFile::encodeName(out).constData(), &o) != 0)
        return {}; // nothing there yet to lose
    for (const QString& in : inputs) {
        struct stat i {};
        if (!in.isEmpty() && ::stat(QFile::encodeName(in).constData(), &i) == 0 &&
            i.st_dev == o.st_dev && i.st_ino == o.st_ino)
            return Failed(out,
                          QStringLiteral("%1 is %2, an input of the chart; it is not written over.")
                              .arg(out, in));
    }
    return {};
}

Result<void> RenderStudy(const CommandLine& cl)
{
    const char* format = ImageFormatOf(cl.image);
    if (!format)
        return Failed(cl.image,
                      QStringLiteral("the image %1 must end in .png or .bmp").arg(cl.image));
    const Result<QStringList> notes = RenderOne(
        {cl.study, cl.prices, cl.image, format, cl.width, cl.height, cl.color, cl.barStyle});
    if (!notes)
        return notes.error();
    for (const QString& note : *notes)
        std::fprintf(stderr, "aurigon: %s\n", qPrintable(note));
    return {};
}

// --- Many studies --------------------------------------------------------------

Result<std::vector<StudyJob>> ListStudies(const CommandLine& cl)
{
    QStringList studies = cl.studies;
    if (!cl.studyList.isEmpty()) {
        QFile f;
        const bool stdIn = cl.studyList == QLatin1String("-");
        // A pipe is read as well as a file: --study-list <(ls *.aurigon).
        if (!stdIn && QFileInfo(cl.studyList).isDir())
            return Failed(cl.studyList, QStringLiteral("Cannot read the study list %1. It is a "
                                                       "folder.")
                                            .arg(cl.studyList));
        const bool opened = stdIn ? f.open(stdin, QIODevice::ReadOnly)
                                  : (f.setFileName(cl.studyList), f.open(QIODevice::ReadOnly));
        const QByteArray all = opened ? f.readAll() : QByteArray();
        if (!opened || f.error() != QFileDevice::NoError)
            return Failed(cl.studyList, QStringLiteral("Cannot read the study list %1. %2")
                                            .arg(cl.studyList, f.errorString()));
        for (QByteArray line : all.split('\n')) {
            if (line.endsWith('\r'))
                line.chop(1);
            if (!line.trimmed().isEmpty())
                studies << DecodeFileName(line);
        }
    }
    if (studies.isEmpty())
        return Failed(cl.studyList,
                      QStringLiteral("The study list %1 names no study.").arg(cl.studyList));
    const QDir dir(cl.imageDir);
    QHash<QString, QString> byImage; // the file written, the study writing it
    std::vector<StudyJob> jobs;
    for (const QString& study : studies) {
        const QString image =
            dir.filePath(QFileInfo(study).completeBaseName() + QLatin1Char('.') + cl.format);
        if (const auto it = byImage.constFind(image); it != byImage.constEnd())
            return Failed(image, QStringLiteral("The studies %1 and %2 would both be written to "
                                                "%3; nothing was rendered.")
                                     .arg(*it, study, image));
        byImage.insert(image, study);
        jobs.push_back({study, image});
    }
    return jobs;
}

namespace {
using Clock = std::chrono::steady_clock;

bool WriteAll(int fd, const QByteArray& bytes)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// A worker: reads the number of a study a line, renders it, answers with
// lines "number<TAB>kind<TAB>text": N a note, then O when written or F and
// the reason.
[[noreturn]] void Work(const CommandLine& cl, const std::vector<StudyJob>& jobs, int in, int out,
                       const std::function<std::unique_ptr<QGuiApplication>()>& startWorker)
{
    std::unique_ptr<QGuiApplication> app = startWorker();
    const QByteArray format = cl.format.toUpper().toLatin1();
    QByteArray pending;
    char buffer[512];
    for (;;) {
        const qsizetype eol = pending.indexOf('\n');
        if (eol < 0) {
            const ssize_t n = ::read(in, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            pending.append(buffer, n);
            continue;
        }
        bool ok = false;
        const size_t k = pending.left(eol).toULong(&ok);
        pending.remove(0, eol + 1);
        if (!ok || k >= jobs.size())
            break;
        const Result<QStringList> notes =
            RenderOne({jobs[k].study, QString(), jobs[k].image, format.constData(), cl.width,
                       cl.height, cl.color, cl.barStyle});
        QByteArray answer;
        const QByteArray number = QByteArray::number(qulonglong(k));
        if (notes) {
            for (const QString& note : *notes)
                answer += number + "\tN\t" + OneLine(note).toUtf8() + '\n';
            answer += number + "\tO\t\n";
        } else {
            answer += number + "\tF\t" + OneLine(notes.error().message()).toUtf8() + '\n';
        }
        if (!WriteAll(out, answer))
            break;
    }
    app.reset();
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    std::exit(0);
#else
    std::_Exit(0);
#endif
}

struct Worker {
    pid_t pid = -1;
    int in = -1, out = -1; // its job pipe (we write), its answer pipe (we read)
    long current = -1;     // the study it renders
    QByteArray pending;
};

// The progress line, redrawn in place on a terminal.
class Progress {
public:
    Progress(size_t total, bool shown) : total_(total), shown_(shown), start_(Clock::now()) {}
    [[nodiscard]] double seconds() const
    {
        return std::chrono::duration<double>(Clock::now() - start_).count();
    }
    void clear()
    {
        if (drawn_)
            std::fputs("\r\033[K", stderr);
        drawn_ = false;
    }
    void draw(size_t done)
    {
        if (!shown_)
            return;
        const double t = seconds();
        const double rate = t > 0 ? double(done) / t : 0;
        const int width = 24;
        const int filled = total_ ? int(double(width) * double(done) / double(total_)) : width;
        QByteArray bar(filled, '#');
        bar += QByteArray(width - filled, '.');
        QByteArray left = "--";
        if (rate > 0)
            left = QByteArray::number(double(total_ - done) / rate, 'f', 1) + " s";
        std::fprintf(stderr, "\r\033[K[%s] %zu/%zu charts, %.1f/s, %s left", bar.constData(), done,
                     total_, rate, left.constData());
        std::fflush(stderr);
        drawn_ = true;
    }

private:
    size_t total_;
    bool shown_;
    bool drawn_ = false;
    Clock::time_point start_;
};

QString HowItEnded(int status)
{
    if (WIFSIGNALED(status))
        return QStringLiteral("its worker was ended by signal %1 (%2)")
            .arg(WTERMSIG(status))
            .arg(QString::fromLocal8Bit(strsignal(WTERMSIG(status))));
    return QStringLiteral("its worker stopped (exit status %1)").arg(WEXITSTATUS(status));
}
} // namespace

int RenderStudies(const CommandLine& cl, const std::vector<StudyJob>& jobs,
                  const std::function<std::unique_ptr<QGuiApplication>()>& startWorker)
{
    Progress progress(jobs.size(), !cl.quiet && ::isatty(STDERR_FILENO));
    size_t done = 0, failed = 0, next = 0;
    const auto fail = [&](size_t k, const QString& why) {
        progress.clear();
        std::fprintf(stderr, "aurigon: %s: %s\n", qPrintable(jobs[k].study),
                     qPrintable(OneLine(why)));
        ++failed;
    };
    if (!QDir().mkpath(cl.imageDir) || !QFileInfo(cl.imageDir).isDir()) {
        std::fprintf(stderr, "aurigon: Cannot make the folder %s for the charts.\n",
                     qPrintable(cl.imageDir));
        return 1;
    }
    // A worker that has gone is noticed by its pipe, not by a signal.
    std::signal(SIGPIPE, SIG_IGN);
    // The cores this process may run on, which a batch system may have cut
    // to fewer than the machine has.
    cpu_set_t mine;
    CPU_ZERO(&mine);
    const int cores = ::sched_getaffinity(0, sizeof mine, &mine) == 0
                          ? CPU_COUNT(&mine)
                          : int(::sysconf(_SC_NPROCESSORS_ONLN));
    const size_t wanted = size_t(cl.jobs > 0 ? cl.jobs : std::max(1, cores));
    std::vector<Worker> workers;
    std::fflush(stdout);
    std::fflush(stderr);
    const auto start = [&]() -> bool {
        int job[2], answer[2];
        if (::pipe(job) != 0)
            return false;
        if (::pipe(answer) != 0) {
            ::close(job[0]);
            ::close(job[1]);
            return false;
        }
        const pid_t pid = ::fork();
        if (pid == 0) {
            for (const Worker& w : workers) {
                ::close(w.in);
                ::close(w.out);
            }
            ::close(job[1]);
            ::close(answer[0]);
            Work(cl, jobs, job[0], answer[1], startWorker);
        }
        ::close(job[0]);
        ::close(answer[1]);
        if (pid < 0) {
            ::close(job[1]);
            ::close(answer[0]);
            return false;
        }
        workers.push_back({pid, job[1], answer[0], -1, {}});
        return true;
    };
    const auto give = [&](Worker& w) {
        if (next < jobs.size()) {
            const size_t k = next++;
            w.current = long(k);
            // A worker that has gone fails the study when its answer pipe ends.
            (void)WriteAll(w.in, QByteArray::number(qulonglong(k)) + '\n');
            return;
        }
        w.current = -1;
        ::close(w.in); // no more work: the worker leaves
        w.in = -1;
    };
    for (size_t i = 0; i < std::min(wanted, jobs.size()); ++i)
        if (!start())
            break;
    if (workers.empty()) {
        std::fprintf(stderr, "aurigon: Cannot start a worker: %s\n", std::strerror(errno));
        return 1;
    }
    for (Worker& w : workers)
        give(w);
    progress.draw(0);
    while (!workers.empty()) {
        std::vector<pollfd> fds;
        for (const Worker& w : workers)
            fds.push_back({w.out, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        for (size_t i = workers.size(); i-- > 0;) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            Worker& w = workers[i];
            char buffer[4096];
            const ssize_t n = ::read(w.out, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n > 0) {
                w.pending.append(buffer, n);
                for (qsizetype eol; (eol = w.pending.indexOf('\n')) >= 0;) {
                    const QByteArray line = w.pending.left(eol);
                    w.pending.remove(0, eol + 1);
                    const QList<QByteArray> parts = line.split('\t');
                    if (parts.size() < 3 || parts[0].toLong() != w.current)
                        continue;
                    const size_t k = size_t(w.current);
                    const QString text =
                        QString::fromUtf8(line.mid(parts[0].size() + parts[1].size() + 2));
                    if (parts[1] == "N") {
                        progress.clear();
                        std::fprintf(stderr, "aurigon: %s: %s\n", qPrintable(jobs[k].study),
                                     qPrintable(text));
                        continue;
                    }
                    if (parts[1] == "F")
                        fail(k, text);
                    ++done;
                    progress.draw(done);
                    give(w);
                }
                continue;
            }
            // The worker has gone: what it was rendering failed with it.
            int status = 0;
            while (::waitpid(w.pid, &status, 0) < 0 && errno == EINTR) {
            }
            if (w.current >= 0) {
                fail(size_t(w.current), HowItEnded(status));
                ++done;
                progress.draw(done);
            }
            if (w.in >= 0)
                ::close(w.in);
            ::close(w.out);
            workers.erase(workers.begin() + long(i));
            if (next < jobs.size() && start())
                give(workers.back());
        }
        if (workers.empty() && next < jobs.size()) {
            // No worker could be started again: the rest are failures.
            for (; next < jobs.size(); ++next, ++done)
                fail(next,
                     QStringLiteral("no worker could be started: %1").arg(std::strerror(errno)));
        }
    }
    progress.clear();
    if (!cl.quiet)
        std::fprintf(stderr, "%zu chart%s in %.1f s, %zu failed\n", jobs.size(),
                     jobs.size() == 1 ? "" : "s", progress.seconds(), failed);
    return failed ? 1 : 0;
}
