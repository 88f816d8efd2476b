// The second hostile round: what a write may replace, names that are not
// UTF-8, options and scripts that name nothing or no end, studies on things
// that are not files, and a sweep of extreme clicks for the sanitizers.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

#include "app/CommandLine.h"
#include "app/automation/Batch.h"
#include "app/automation/ScriptParse.h"
#include "data/FileNames.h"
#include "data/WholeFile.h"
#include "tests/Failure.h"
#include "tests/Support.h"
#include "tools/Study.h"

namespace {
// The kind of thing at path itself, a link not followed.
mode_t KindAt(const QString& path)
{
    struct stat st {};
    return ::lstat(EncodeFileName(path).constData(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

bool MakeFifo(const QString& path)
{
    return ::mkfifo(EncodeFileName(path).constData(), 0600) == 0;
}

// A character device of the same kind as /dev/null, made in the test's own
// folder so that a fault replaces nothing of the machine's.
bool MakeNullNode(const QString& path)
{
    return geteuid() == 0 &&
           ::mknod(EncodeFileName(path).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
}

// Reads a pipe to its end on a thread of its own, as a waiting program would.
class PipeReader {
public:
    // Starts reading at once; stops after limit bytes, closing its end early.
    explicit PipeReader(const QString& path, qsizetype limit = -1)
        : fd_(::open(EncodeFileName(path).constData(), O_RDONLY | O_NONBLOCK))
    {
        if (fd_ < 0)
            return;
        thread_ = std::thread([this, limit] {
            char buf[4096];
            for (bool seen = false;;) {
                pollfd p{fd_, POLLIN, 0};
                ::poll(&p, 1, -1);
                const ssize_t n = ::read(fd_, buf, sizeof buf);
                if (n > 0) {
                    seen = true;
                    got.append(buf, n);
                }
                if ((limit >= 0 && got.size() >= limit) || (n == 0 && seen))
                    break; // enough, or the writer has closed its end
            }
            ::close(fd_);
        });
    }
    ~PipeReader() { finish(); }
    [[nodiscard]] bool ok() const { return thread_.joinable(); }
    void finish()
    {
        if (thread_.joinable())
            thread_.join();
    }
    QByteArray got;

private:
    const int fd_;
    std::thread thread_;
};
} // namespace

// --- Writes and links ------------------------------------------------------

TEST(WritesAndLinks, OnlyARegularFileIsReplaced)
{
    QTemporaryDir dir;
    const auto at = [&dir](const char* n) { return dir.filePath(QLatin1String(n)); };
    const auto put = [](const QString& p, SymLink l = SymLink::Follow) {
        return Failure(WriteWholeBytes(p, "new", l));
    };

    // A regular file keeps its permissions; a dangling link gets its target.
    WriteFile(dir, QStringLiteral("plain.txt"), "old");
    ASSERT_EQ(::chmod(QFile::encodeName(at("plain.txt")).constData(), 0640), 0);
    EXPECT_EQ(put(at("plain.txt")), QString());
    EXPECT_EQ(ReadBytes(at("plain.txt")), "new");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(at("plain.txt")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode_t(0640));
    ASSERT_TRUE(QFile::link(at("later.txt"), at("dangling.lnk")));
    EXPECT_EQ(put(at("dangling.lnk")), QString());
    EXPECT_EQ(ReadBytes(at("later.txt")), "new");

    // Things that are not regular files, as the user's file and as scratch.
    QDir().mkpath(at("folder"));
    ASSERT_TRUE(MakeFifo(at("pipe")));
    ASSERT_TRUE(QFile::link(at("pipe"), at("pipe.lnk")));
    const struct {
        const char* name;
        SymLink link;
        const char* why;
    } refused[] = {
        {"folder", SymLink::Follow, "It is a folder."},
        {"pipe", SymLink::Follow, "It is a pipe that nobody reads."},
        {"pipe.lnk", SymLink::Follow, "It is a pipe that nobody reads."},
        {"pipe", SymLink::Replace, "It is not a regular file."},
        {"missing/below.txt", SymLink::Follow, "No such file or directory"},
    };
    for (const auto& r : refused) {
        EXPECT_EQ(put(at(r.name), r.link),
                  QStringLiteral("Cannot create file %1. %2").arg(at(r.name), QLatin1String(r.why)))
            << r.name;
    }
}

TEST(WritesAndLinks, APipeSomeoneReadsGetsTheBytesInPlace)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe.png"));
    ASSERT_TRUE(MakeFifo(fifo));
    QByteArray big(300000, 'x'); // more than a pipe holds at once
    for (qsizetype i = 0; i < big.size(); ++i)
        big[i] = char(i * 7);
    {
        PipeReader reader(fifo);
        ASSERT_TRUE(reader.ok());
        EXPECT_EQ(Failure(WriteWholeBytes(fifo, big)), QString());
        reader.finish();
        EXPECT_EQ(reader.got, big);
    }
    // A reader that leaves half way is an error, not the end of the program.
    {
        PipeReader reader(fifo, 1000);
        ASSERT_TRUE(reader.ok());
        const QString err = Failure(WriteWholeBytes(fifo, big));
        EXPECT_EQ(err, QStringLiteral("Cannot create file %1. Broken pipe").arg(fifo));
    }
}

namespace {
class NothingReplaced : public SessionTest {
protected:
    // A FIFO nobody reads at name, or with root a device node; its kind.
    mode_t Plant(const QString& name)
    {
        const QString path = dir.filePath(name);
        if (MakeNullNode(path))
            return S_IFCHR;
        return MakeFifo(path) ? S_IFIFO : 0;
    }
};

class FakePrinter : public PrintTarget {
public:
    QSize* printed;
    explicit FakePrinter(QSize* p) : printed(p) {}
    QSize pageSizePixels() const override { return {2000, 2000}; }
    Result<void> printPage(const QImage& image, const QRect&) override
    {
        *printed = image.size();
        return {};
    }
};
} // namespace

TEST_F(NothingReplaced, ImagesStudiesSettingsAndPrintsRefuseWhatIsNotAFile)
{
    OpenWeekdays(300);
    s->PlotBtnClick();
    ASSERT_TRUE(s->GloVar.ChartShown);
    const mode_t kind = Plant(QStringLiteral("node.png"));
    ASSERT_NE(kind, mode_t(0));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("node.png")),
                            dir.filePath(QStringLiteral("link.png"))));
    for (const char* name : {"node.png", "link.png"}) {
        const QString path = dir.filePath(QLatin1String(name));
        prompts.events.clear();
        prompts.saveAnswer = path;
        s->SaveBtnClick();
        EXPECT_TRUE(prompts.any(QStringLiteral("error:Cannot create file %1. It ").arg(path)))
            << name << prompts.events.join(QLatin1Char('|')).toStdString();
    }
    prompts.events.clear();
    const QString link = dir.filePath(QStringLiteral("link.png"));
    const Result<void> refused = s->SaveStudy(link);
    ASSERT_FALSE(refused);
    EXPECT_TRUE(refused.error().message().startsWith(
        QStringLiteral("Cannot create file %1. It ").arg(link)))
        << refused.error().message().toStdString();
    EXPECT_TRUE(prompts.events.isEmpty()); // said by whoever asked, not by the work

    // fsetup.dat a link to the node: the settings are not taken over.
    QFile::remove(s->SettingsPath());
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("node.png")), s->SettingsPath()));
    prompts.events.clear();
    EXPECT_FALSE(
        s->ChartSetupAccept({QStringLiteral("40"), QStringLiteral("50"), QStringLiteral("60")}));
    EXPECT_TRUE(prompts.any(QStringLiteral("error:Cannot create file ")));

    // TmpPrint.bmp is the program's own name: a node there is refused too.
    ASSERT_EQ(Plant(QStringLiteral("TmpPrint.bmp")), kind);
    QSize printed;
    prompts.printAnswer = std::make_unique<FakePrinter>(&printed);
    prompts.events.clear();
    s->PrintBtnClick();
    EXPECT_TRUE(prompts.any(QStringLiteral("error:Cannot create file ")));
    EXPECT_TRUE(printed.isEmpty());

    for (const char* name : {"node.png", "TmpPrint.bmp"})
        EXPECT_EQ(KindAt(dir.filePath(QLatin1String(name))), kind) << name;
}

TEST_F(NothingReplaced, ALargeChartIsPrintedAtTheSizeItWasDrawn)
{
    width = height = 6000;
    Start(dir.path());
    OpenWeekdays(300);
    s->PlotBtnClick();
    ASSERT_TRUE(s->GloVar.ChartShown);
    QSize printed;
    prompts.printAnswer = std::make_unique<FakePrinter>(&printed);
    s->PrintBtnClick();
    EXPECT_EQ(prompts.events, QStringList());
    EXPECT_EQ(printed, QSize(6000, 6000));
}

// --- Ending signals during a write ------------------------------------------

namespace {
// In a child of its own: a write that a signal interrupts half way.
[[noreturn]] void WriteInterruptedBy(int sig, const QString& path, bool afterTheLastByte)
{
    CatchEndingSignals(false);
    const QByteArray chunk(1 << 20, 'x');
    (void)WriteWholeFile(path, [&](QIODevice& d) {
        if (d.write(chunk) != chunk.size())
            return false;
        std::raise(sig);
        return afterTheLastByte || d.write(chunk) == chunk.size();
    });
    std::_Exit(0); // not reached: the signal ends the program
}
} // namespace

TEST(EndingSignals, AWriteCutShortRemovesItsTemporaryAndEndsAsTheSignalWould)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const struct {
        const char* name;
        int sig;
        bool afterTheLastByte;
    } rows[] = {
        {"SIGTERM half way", SIGTERM, false},
        {"SIGINT half way", SIGINT, false},
        {"SIGHUP half way", SIGHUP, false},
        {"SIGTERM before the rename", SIGTERM, true},
    };
    for (const auto& row : rows) {
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString target = WriteFile(dir, QStringLiteral("out.png"), "the old picture");
        EXPECT_EXIT(WriteInterruptedBy(row.sig, target, row.afterTheLastByte),
                    ::testing::KilledBySignal(row.sig), "")
            << row.name;
        EXPECT_EQ(ReadBytes(target), "the old picture") << row.name;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                  QStringList(QStringLiteral("out.png")))
            << row.name;
    }
}

// --- Names that are not UTF-8 ------------------------------------------------

TEST(FileNames, StrayBytesComeBackByteForByte)
{
    const QByteArray names[] = {"plain.png",
                                "caf\xc3\xa9.png",
                                "img\xe9.png",
                                "st\xff\xfe.aurigon",
                                "\xed\xa0\x80 encoded surrogate",
                                "cut \xe2\x82",
                                "\xf4\x90\x80\x80 too high",
                                "\xc0\xaf overlong"};
    for (const QByteArray& raw : names)
        EXPECT_EQ(EncodeFileName(DecodeFileName(raw)), raw) << raw.toHex().constData();
    EXPECT_EQ(DecodeFileName("caf\xc3\xa9.png"), QStringLiteral("caf\u00e9.png"));
}

namespace {
class StrayFolder : public SessionTest {};
} // namespace

TEST_F(StrayFolder, TheChartWorksInAFolderWhoseNameIsNotUtf8)
{
    const QByteArray raw = QFile::encodeName(dir.path()) + "/work\xe9";
    ASSERT_EQ(::mkdir(raw.constData(), 0700), 0);
    const QString folder = DecodeFileName(raw);
    ASSERT_EQ(Failure(WriteWholeBytes(folder + QStringLiteral("/prices.txt"), WeekdayFile(300))),
              QString());
    Start(folder);
    Open(folder + QStringLiteral("/prices.txt"));
    s->PlotBtnClick();
    ASSERT_TRUE(s->GloVar.ChartShown) << prompts.events.join(QLatin1Char('|')).toStdString();
    QSize printed;
    prompts.printAnswer = std::make_unique<FakePrinter>(&printed);
    s->PrintBtnClick();
    EXPECT_EQ(printed, QSize(width, height)) << prompts.events.join(QLatin1Char('|')).toStdString();
    // Qt cannot name the folder to remove it.
    EXPECT_EQ(std::system(("rm -rf '" + raw + "'").constData()), 0);
}

// --- Options and paths -------------------------------------------------------

TEST(Options, EmptyValuesAndBadChartSizesAreUsageErrors)
{
    const struct {
        QStringList args;
        const char* env; // AURIGON_CHART_SIZE, null: unset
        const char* error;
    } rows[] = {
        {{"--study", "", "--image", "x.png"}, nullptr, "--study needs a value"},
        {{"--study", "a.aurigon", "--image", ""}, nullptr, "--image needs a value"},
        {{"--study", "a.aurigon", "--prices", "", "--image", "x.png"},
         nullptr,
         "--prices needs a value"},
        {{""}, nullptr, "The price file's name is empty."},
        {{"--script", "-"}, "0x0", "AURIGON_CHART_SIZE must be WIDTHxHEIGHT"},
        // Too small for a plot area between the scales' margins.
        {{"--study", "a.aurigon", "--image", "x.png", "--size", "80x70"},
         nullptr,
         "--size must be WIDTHxHEIGHT, each 100 to 16384."},
        {{"--script", "-"}, "99x400", "AURIGON_CHART_SIZE must be WIDTHxHEIGHT, each 100 to 16384"},
        {{"--script", "-"}, "100000x100000", "AURIGON_CHART_SIZE must be WIDTHxHEIGHT"},
        {{}, "abc", "not \"abc\""},
        {{"--script", "-"}, "800x500", nullptr},
        {{"--script", "-"}, "", nullptr},
    };
    for (const auto& r : rows) {
        if (r.env)
            qputenv("AURIGON_CHART_SIZE", r.env);
        const CommandLine cl = ParseCommandLine(QStringList{QStringLiteral("aurigon")} + r.args);
        qunsetenv("AURIGON_CHART_SIZE");
        const QString row = r.args.join(QLatin1Char(' ')) + QLatin1String(" / ") +
                            QLatin1String(r.env ? r.env : "-");
        if (!r.error) {
            EXPECT_EQ(cl.action, CommandLine::Action::Run)
                << row.toStdString() << cl.error.toStdString();
            continue;
        }
        EXPECT_EQ(cl.action, CommandLine::Action::Error) << row.toStdString();
        EXPECT_TRUE(cl.error.contains(QLatin1String(r.error)))
            << row.toStdString() << cl.error.toStdString();
    }
}

TEST(Options, ScriptsAreReadOnlyFromFilesAndWithinBounds)
{
    // A script too large: Process.EmptyAndEndlessInputsEndWithAWord.
    QTemporaryDir dir;
    const QString wide = WriteFile(dir, QStringLiteral("wide.script"),
                                   "ack\r\npress " + QByteArray(MaxScriptLine + 1, 'x') + "\n");
    const Result<QStringList> tooWide = ReadScriptFile(wide);
    EXPECT_EQ(Failure(tooWide),
              QStringLiteral("line 2 of the script %1 is longer than 65536 characters").arg(wide));
    EXPECT_EQ(tooWide ? 0 : tooWide.error().line, 2); // the line is kept for whoever shows it
    const Result<QStringList> ok =
        ReadScriptFile(WriteFile(dir, QStringLiteral("ok.script"), "ack\r\npress PlotBtn\n"));
    ASSERT_TRUE(ok) << Failure(ok).toStdString();
    EXPECT_EQ(*ok,
              QStringList({QStringLiteral("ack"), QStringLiteral("press PlotBtn"), QString()}));
    const Result<QStringList> stray =
        ScriptLines(QStringLiteral("s"), "study open st\xff\xfe.aurigon\r\n");
    ASSERT_TRUE(stray);
    EXPECT_EQ(EncodeFileName(stray->at(0).mid(11)), "st\xff\xfe.aurigon");
}

// --- What is not a file ------------------------------------------------------

TEST(NotAFile, ScriptsStudiesAndBatchPricesNameWhatItIs)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe"));
    ASSERT_TRUE(MakeFifo(fifo));
    const struct {
        QString path;
        const char* why;
    } rows[] = {
        {fifo, "It is a pipe, not a regular file."},
        {QStringLiteral("/dev/zero"), "It is a device, not a regular file."},
        {dir.path(), "It is a folder, not a file."},
        {dir.filePath(QStringLiteral("gone")), "There is no such file."},
    };
    for (const auto& r : rows) {
        const QString why = QLatin1String(r.why);
        EXPECT_EQ(Failure(ReadScriptFile(r.path)),
                  QStringLiteral("cannot read the script %1: %2").arg(r.path, why));
        EXPECT_EQ(Failure(LoadStudyFile(r.path)),
                  QStringLiteral("Cannot open study %1. %2").arg(r.path, why));
        CommandLine cl;
        cl.study = dir.filePath(QStringLiteral("a.aurigon"));
        cl.prices = r.path;
        cl.image = dir.filePath(QStringLiteral("out.png"));
        EXPECT_EQ(Failure(RenderStudy(cl)),
                  QStringLiteral("Cannot open price file %1. %2").arg(r.path, why));
    }
    EXPECT_EQ(OneLine(QStringLiteral("first\r\rsecond\r\nthird\nfourth")),
              QStringLiteral("first  second third fourth"));
}

namespace {
class LastDays : public SessionTest {};
} // namespace

TEST_F(LastDays, APointPastTheLastKeepableDateIsRefusedAtSave)
{
    // 300 weekdays ending in the last days of 9999, with blank days after them.
    const int lastDay = int(QDate(1899, 12, 30).daysTo(QDate(9999, 12, 31)));
    Open(WriteFile(dir, QStringLiteral("late.txt"), WeekdayFile(300, true, lastDay - 424)));
    s->GloVar.BlankDaysRight = 30;
    s->PlotBtnClick();
    ASSERT_TRUE(s->GloVar.ChartShown);
    s->P1BtnClick();
    s->Image1MouseDown(MouseButton::Left, s->GloVar.PlotRight - 3, 300);
    s->Image1MouseUp();
    s->P2BtnClick();
    s->Image1MouseDown(MouseButton::Left, 300, 200);
    s->Image1MouseUp();
    s->ChooseChartType(FigureNamed("spiral"));
    s->DrawBtnClick();
    prompts.events.clear();
    const QString path = dir.filePath(QStringLiteral("late.aurigon"));
    prompts.saveAnswer = path;
    s->StudySaveAsClick();
    EXPECT_EQ(prompts.events,
              QStringList(QStringLiteral("error:Cannot save study %1. Figure 1 has a point past 31 "
                                         "December 9999, which a study cannot keep.")
                              .arg(path)));
    EXPECT_FALSE(QFile::exists(path));
}

// --- A sweep for the sanitizers ----------------------------------------------

namespace {
class Sweep : public SessionTest {};
} // namespace

TEST_F(Sweep, ExtremeClicksAndPricesOnEveryFigureWithNavigation)
{
    // Prices from the tiny to the huge, with a negative day in between.
    QByteArray bytes = "Date,Open,High,Low,Close\n";
    const QList<QByteArray> rows = WeekdayFile(400, false).split('\n');
    for (int i = 0; i < 400; ++i) {
        const QByteArray date = rows[i].left(rows[i].indexOf(','));
        if (i % 97 == 5)
            bytes += date + ",1e300,1e300,1e-300,1e300\n";
        else if (i % 89 == 7)
            bytes += date + ",-5e200,1,-5e200,0.5\n";
        else
            bytes += rows[i] + '\n';
    }
    Open(WriteFile(dir, QStringLiteral("wild.txt"), bytes));
    const int far[] = {INT_MAX, INT_MIN, -INT_MAX, 0, -1, 1000000000, width + 5, 300};
    for (int type = 1; type <= 8; ++type) {
        for (size_t k = 0; k < std::size(far); ++k) {
            const int x = far[k], y = far[(k + 3) % std::size(far)];
            if (!s->GloVar.ChartShown)
                s->PlotBtnClick();
            ASSERT_TRUE(s->GloVar.ChartShown)
                << prompts.events.join(QLatin1Char('|')).toStdString();
            s->P1BtnClick();
            s->Image1MouseDown(MouseButton::Left, x, y);
            s->Image1MouseUp();
            s->P2BtnClick();
            s->Image1MouseDown(MouseButton::Left, y, x);
            s->Image1MouseUp();
            s->Image1MouseDown(MouseButton::Left, x, x, true); // a third point, snapped
            s->Image1MouseMove(y, x);
            s->Image1MouseUp();
            s->ChooseChartType(type);
            s->DrawBtnClick();
            s->DirBtnClick();
            s->RatioBtnClick();
            s->DrawBtnClick();
            s->Image1MouseMove(x, y);
            switch (k % 4) {
            case 0: s->ToolButton1Click(); break;
            case 1: s->ToolButton2Click(); break;
            case 2: s->LeftBtnClick(), s->UpBtnClick(); break;
            default: s->RightBtnClick(), s->DownBtnClick(); break;
            }
            s->EraseBtnClick();
        }
    }
    EXPECT_EQ(s->chart.image().size(), QSize(width, height));
}
