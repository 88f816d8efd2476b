// Faults a hostile tester found: full disks, files that are not files,
// failed re-plots, extreme prices, links in the way.
#include <sys/stat.h>
#include <sys/statvfs.h>

#include "chart/ChartMap.h"
#include "data/LineReader.h"
#include "data/WholeFile.h"
#include "tests/Support.h"
#include "tests/Trace.h"

namespace {
// A session whose working folder is a tiny file system of its own, which
// the test fills up: a real full disk.
class FullDisk : public SessionTest {
protected:
    void SetUp() override
    {
        SessionTest::SetUp();
        disk.emplace(dir.filePath(QStringLiteral("small")), "256k");
        if (!disk->mounted())
            GTEST_SKIP() << SmallDisk::Why;
        mnt = disk->path;
        Start(mnt);
    }
    std::optional<SmallDisk> disk;
    QString mnt;
};
} // namespace

TEST_F(FullDisk, SettingsAreKeptWhenTheDiskIsFull)
{
    const QByteArray old = "1\r\n1\r\n2\r\n3\r\n4\r\n5\r\n1\r\n38\r\n45\r\n62\r\n";
    const QString path = WriteFile(dir, QStringLiteral("small/fsetup.dat"), old);
    ASSERT_EQ(path, s->SettingsPath());
    disk->fill();
    EXPECT_FALSE(s->FileSetupAccept(false,
                                    {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                                     QStringLiteral("5"), QStringLiteral("6")},
                                    3));
    EXPECT_TRUE(prompts.any(QStringLiteral("error:Cannot create file ")));
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_TRUE(s->GloVar.HasHeaderLine); // nothing taken over
    EXPECT_FALSE(
        s->ChartSetupAccept({QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("30")}));
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(s->GloVar.FanAngle1, 38);
    EXPECT_EQ(QDir(mnt).entryList(QDir::Files | QDir::Hidden).size(), 2) << "no temporary left";
}

TEST_F(FullDisk, PicturesAreWholeOrNotWrittenAtAll)
{
    OpenWeekdays(300);
    s->PlotBtnClick();
    ASSERT_TRUE(s->GloVar.ChartShown);
    const QString saved = mnt + QStringLiteral("/old.bmp");
    prompts.saveAnswer = saved;
    s->SaveBtnClick();
    const QByteArray before = ReadBytes(saved);
    const QByteArray tmpBefore = ReadBytes(mnt + QStringLiteral("/TmpPrice.bmp"));
    ASSERT_GT(before.size(), 1000);
    // Room for a part of the picture only: the write fails part way.
    struct statvfs fs {};
    ASSERT_EQ(::statvfs(QFile::encodeName(mnt).constData(), &fs), 0);
    const qint64 room = qint64(fs.f_bavail) * qint64(fs.f_frsize);
    {
        QFile filler(mnt + QStringLiteral("/part"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        ASSERT_EQ(filler.write(QByteArray(room - 5 * 4096, 'x')), room - 5 * 4096);
    }
    prompts.events.clear();
    const QString fresh = mnt + QStringLiteral("/chart.bmp");
    prompts.saveAnswer = fresh;
    s->SaveBtnClick();
    EXPECT_EQ(
        prompts.events,
        QStringList(
            QStringLiteral("error:Cannot create file %1. No space left on device").arg(fresh)));
    EXPECT_FALSE(QFile::exists(fresh));
    // No room at all: the old picture stays as it was.
    disk->fill();
    prompts.events.clear();
    prompts.saveAnswer = saved;
    s->SaveBtnClick();
    EXPECT_TRUE(prompts.any(QStringLiteral("error:Cannot create file ")));
    EXPECT_EQ(ReadBytes(saved), before);
    // A re-plot that cannot keep its clean chart says so and leaves the old one.
    prompts.events.clear();
    s->ToolButton1Click();
    EXPECT_TRUE(prompts.any(QStringLiteral("error:Cannot create file ")));
    EXPECT_EQ(ReadBytes(mnt + QStringLiteral("/TmpPrice.bmp")), tmpBefore);
    EXPECT_TRUE(s->ui.reacts(Ctl::FileBtn));
}

TEST(WholeFile, AFailedWriteLeavesTheOldFileAsItWas)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keep.txt"));
    ASSERT_TRUE(WriteWholeFile(path, [](QIODevice& d) { return d.write("old") == 3; }));
    const Result<void> w = WriteWholeFile(path, [](QIODevice& d) {
        d.write("new and half");
        return false; // as a writer that meets a full disk
    });
    const QString err = w ? QString() : w.error().message();
    EXPECT_TRUE(err.startsWith(QStringLiteral("Cannot create file ") + path)) << err.toStdString();
    EXPECT_EQ(ReadBytes(path), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

namespace {
class Hostile : public SessionTest {};
} // namespace

TEST_F(Hostile, AFailedReplotLeavesFileAndDatesWithinReach)
{
    const QString path = WriteFile(dir, QStringLiteral("prices.txt"), WeekdayFile(600));
    Open(path);
    s->PlotBtnClick();
    ASSERT_TRUE(s->GloVar.ChartShown);
    ASSERT_TRUE(QFile::remove(path));
    QDir().mkpath(path); // a folder where the file was
    s->ToolButton1Click();
    EXPECT_TRUE(prompts.any(QStringLiteral("error:Cannot open file ")));
    EXPECT_FALSE(s->GloVar.ChartShown);
    EXPECT_FALSE(s->ui.imageVisible);
    s->SplashAcknowledged(false);
    EXPECT_TRUE(s->ui.reacts(Ctl::FileBtn));
    EXPECT_TRUE(s->ui.reacts(Ctl::DateBtn));

    // The same when the clean chart cannot be written during navigation.
    QDir(path).removeRecursively();
    OpenWeekdays(600);
    s->PlotBtnClick();
    ASSERT_TRUE(s->GloVar.ChartShown);
    const QString tmp = dir.filePath(QStringLiteral("TmpPrice.bmp"));
    ASSERT_TRUE(QFile::remove(tmp));
    QDir().mkpath(tmp + QStringLiteral("/in-the-way"));
    prompts.events.clear();
    s->ToolButton2Click();
    EXPECT_TRUE(prompts.any(QStringLiteral("error:Cannot create file ")));
    EXPECT_TRUE(s->ui.reacts(Ctl::FileBtn));
    EXPECT_FALSE(s->ui.imageVisible);
}

TEST_F(Hostile, PipesDevicesAndEndlessLinesAreRefusedOrBounded)
{
    const QString fifo = dir.filePath(QStringLiteral("pipe.txt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    Open(fifo);
    ASSERT_EQ(prompts.events.size(), 1);
    EXPECT_TRUE(prompts.events[0].contains(QStringLiteral("not a regular file")));
    EXPECT_FALSE(s->ui[Ctl::PlotBtn].enabled);
    prompts.events.clear();
    Open(QStringLiteral("/dev/zero"));
    EXPECT_TRUE(prompts.any(
        QStringLiteral("error:Cannot open file \"/dev/zero\". It is not a regular file")));

    // A pipe put in the file's place between Plot and a navigation.
    const QString path = WriteFile(dir, QStringLiteral("prices.txt"), WeekdayFile(600));
    Open(path);
    s->PlotBtnClick();
    ASSERT_TRUE(s->GloVar.ChartShown);
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    prompts.events.clear();
    s->ToolButton1Click();
    EXPECT_TRUE(prompts.any(QStringLiteral("error:Cannot open file")));
    EXPECT_TRUE(s->ui[Ctl::FileBtn].enabled);

    // A line of 3 MB in the middle: read in bounded memory, named as unreadable.
    QList<QByteArray> rows = WeekdayFile(300).split('\n');
    rows.insert(151, QByteArray(3 << 20, '7'));
    Open(WriteFile(dir, QStringLiteral("long.txt"), rows.join('\n')));
    EXPECT_EQ(s->GloVar.RecordCount, 301);
    prompts.events.clear();
    s->PlotBtnClick();
    ASSERT_TRUE(s->GloVar.ChartShown);
    ASSERT_EQ(prompts.events.size(), 1);
    EXPECT_TRUE(prompts.events[0].startsWith(
        QStringLiteral("message:Aurigon:1 line could not be read; it is the one of \"long.txt\": "
                       "line 152: \"7777")));
    EXPECT_LT(prompts.events[0].size(), 300); // quoted, not whole
}

TEST_F(Hostile, ExtremePricesAreClampedNotWrapped)
{
    QByteArray bytes = "Date,Open,High,Low,Close\n";
    const QList<QByteArray> rows = WeekdayFile(600, false).split('\n');
    for (int i = 0; i < 600; ++i)
        bytes += (i == 10 ? QByteArray("01/17/2005,-25000000,102,100,101") : rows[i]) + '\n';
    Open(WriteFile(dir, QStringLiteral("wild.txt"), bytes));
    Recorder rec(s->chart);
    s->GloVar.FirstRecord = 1;
    s->GloVar.LastRecord = 261;
    s->PlotBtnClick();
    ASSERT_TRUE(s->GloVar.ChartShown);
    bool clipped = false;
    for (const TraceLine& l : rec.lines())
        clipped |= l.y1 > s->GloVar.PlotBottom + 1000 && l.y1 <= PixelLimit && l.y1 == l.y2;
    EXPECT_TRUE(clipped) << "the far open tick lies below the chart, held in range";
    // An anchor in the bottom margin comes back after navigation without overflow.
    s->P1BtnClick();
    s->Image1MouseDown(MouseButton::Left, 300, s->GloVar.PlotBottom + 30);
    s->P2BtnClick();
    s->Image1MouseDown(MouseButton::Left, 400, 100);
    s->ToolButton2Click();
    ASSERT_TRUE(s->GloVar.ChartShown);
    EXPECT_EQ(s->AnchorPixelsNow().P1X, -1); // off the new chart: not brought back
}

TEST_F(Hostile, ScratchPicturesReplaceALinkInsteadOfItsTarget)
{
    const QString victim = WriteFile(dir, QStringLiteral("victim.txt"), "precious");
    for (const char* name : {"TmpPrice.bmp", "TmpPrint.bmp"})
        ASSERT_TRUE(QFile::link(victim, dir.filePath(QLatin1String(name))));
    OpenWeekdays(300);
    s->PlotBtnClick();
    ASSERT_TRUE(s->GloVar.ChartShown);
    prompts.printAnswer = std::make_unique<PagePrinter>(QSize(2000, 2000));
    s->PrintBtnClick();
    EXPECT_EQ(ReadBytes(victim), "precious");
    for (const char* name : {"TmpPrice.bmp", "TmpPrint.bmp"}) {
        const QFileInfo info(dir.filePath(QLatin1String(name)));
        EXPECT_FALSE(info.isSymLink()) << name;
        EXPECT_EQ(QImage(info.filePath()).size(), QSize(980, 590)) << name;
    }
    // fsetup.dat may be a link on purpose, and stays one.
    const QString real = WriteFile(dir, QStringLiteral("real-setup.dat"), "1\r\n");
    QFile::remove(s->SettingsPath());
    ASSERT_TRUE(QFile::link(real, s->SettingsPath()));
    ASSERT_TRUE(
        s->ChartSetupAccept({QStringLiteral("40"), QStringLiteral("50"), QStringLiteral("60")}));
    EXPECT_TRUE(QFileInfo(s->SettingsPath()).isSymLink());
    EXPECT_TRUE(ReadBytes(real).contains("\r\n40\r\n50\r\n60\r\n"));
}

TEST(LineReaderCutShort, AFileCutShortWhileItIsReadGivesTheReadError)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.txt"));
    QByteArray bytes;
    for (int i = 0; i < 3000; ++i)
        bytes += "01/02/2003,1,2,3,4\n";
    // Counting the rest, skipping over it and reading it line by line.
    for (int way = 0; way < 3; ++way) {
        WriteFile(dir, QStringLiteral("p.txt"), bytes);
        LineReader r(4096);
        ASSERT_TRUE(r.open(path));
        ASSERT_TRUE(r.next());
        ASSERT_TRUE(QFile::resize(path, 8192));
        std::string last;
        if (way == 0)
            (void)r.countRest(last);
        else if (way == 1)
            (void)r.skip(2999);
        else
            while (r.next()) {
            }
        EXPECT_TRUE(r.error() && r.error()->message().contains(QStringLiteral("cut short"))) << way;
    }
}
