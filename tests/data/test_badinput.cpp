// Files and entries a user might load or type by mistake: each gives the
// program's normal behaviour or a clear error box, never a crash or a hang.
#include <QRandomGenerator>

#include "data/Settings.h"
#include "tests/Support.h"

namespace {
class BadInput : public SessionTest {};
} // namespace

// A line past the reader's limit: Hostile.PipesDevicesAndEndlessLinesAreRefusedOrBounded.
TEST_F(BadInput, RandomBytesAreRefusedWithoutHarm)
{
    QByteArray garbage(200000, '\0');
    QRandomGenerator rng(42);
    for (char& c : garbage)
        c = char(rng.bounded(256));
    Open(WriteFile(dir, QStringLiteral("bad.txt"), garbage));
    EXPECT_FALSE(s->ui[Ctl::PlotBtn].enabled);
    EXPECT_EQ(ReadBytes(dir.filePath(QStringLiteral("bad.txt"))), garbage);
}

TEST_F(BadInput, EmptyAndHeaderOnlyFilesHoldNoPriceLines)
{
    for (const QByteArray& bytes : {QByteArray(), QByteArray("Date,Open,High,Low,Close\r\n")}) {
        prompts.events.clear();
        Open(WriteFile(dir, QStringLiteral("bad.txt"), bytes));
        EXPECT_EQ(s->GloVar.RecordCount, 1); // an empty file after the header still counts one line
        EXPECT_FALSE(s->ui[Ctl::PlotBtn].enabled);
        EXPECT_EQ(prompts.events,
                  QStringList(QStringLiteral("message:Aurigon:\"bad.txt\" holds no price lines.")));
    }
}

TEST_F(BadInput, AFileCutShortBetweenScanAndPlotIsScannedAgain)
{
    // A file cut short since the scan (a downloader rewrote it) is not drawn
    // from: the change is said and the scan offered again. A file gone is
    // Hostile.AFailedReplotLeavesFileAndDatesWithinReach.
    OpenWeekdays(400);
    WriteFile(dir, QStringLiteral("prices.txt"), WeekdayFile(50));
    prompts.events.clear();
    s->PlotBtnClick();
    EXPECT_FALSE(s->GloVar.ChartShown);
    ASSERT_EQ(prompts.events.size(), 2);
    EXPECT_TRUE(prompts.events[0].startsWith(
        QStringLiteral("question:\"prices.txt\" has changed since it was read")));
    // Nobody to answer: said as a message.
    EXPECT_TRUE(prompts.events[1].endsWith(QStringLiteral("File scans it again.")));
    prompts.questionAnswer = QStringLiteral("Cancel");
    s->PlotBtnClick();
    EXPECT_EQ(s->GloVar.RecordCount, 400); // declined: nothing read again
    prompts.questionAnswer = QStringLiteral("Scan again");
    s->PlotBtnClick();
    EXPECT_EQ(s->GloVar.RecordCount, 50); // accepted: scanned again
    s->PlotBtnClick();
    EXPECT_TRUE(s->GloVar.ChartShown);
    EXPECT_EQ(s->GloVar.LoadedCount, 50);
}

TEST_F(BadInput, SettingsFileOrWorkDirThatCannotBeWritten)
{
    QDir().mkpath(s->SettingsPath()); // fsetup.dat is a folder
    EXPECT_EQ(ReadSettingsFile(s->SettingsPath(), Settings{}).layout.dateColumn, 1);
    Start(dir.path());
    EXPECT_FALSE(s->FileSetupAccept(false,
                                    {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                                     QStringLiteral("5"), QStringLiteral("6")},
                                    1));
    EXPECT_TRUE(prompts.any(QStringLiteral("error:")));
    EXPECT_TRUE(s->GloVar.HasHeaderLine); // nothing taken over
    EXPECT_EQ(s->GloVar.DateColumn, 1);
    prompts.events.clear();
    EXPECT_FALSE(
        s->ChartSetupAccept({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    EXPECT_EQ(s->GloVar.FanAngle1, 38);

    // A work folder nobody can write in: the plot reports it and stays in setup mode.
    OpenWeekdays(300);
    s->GloVar.WorkDir = WriteFile(dir, QStringLiteral("plain-file"), "x") + QLatin1Char('/');
    prompts.events.clear();
    s->PlotBtnClick();
    ASSERT_EQ(prompts.events.size(), 1);
    EXPECT_TRUE(prompts.events[0].startsWith(QStringLiteral("error:Cannot create file ")));
    EXPECT_FALSE(s->GloVar.ChartShown);
}
