// A price file that grows by an append, or changes in another way, after its scan.
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>

#include "app/session/ChartSession.h"
#include "app/session/GloVar.h"
#include "data/FileGrowth.h"
#include "tests/Support.h"

namespace {
QByteArray Tail(int from, int to)
{
    return WeekdayFile(to).mid(WeekdayFile(from).size());
}

void Append(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::Append));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// Written beside and renamed over: another inode, as editors and downloads do.
void Replace(const QTemporaryDir& dir, const QString& path, const QByteArray& bytes)
{
    const QString beside = WriteFile(dir, QStringLiteral("new.tmp"), bytes);
    ASSERT_EQ(::rename(beside.toLocal8Bit().constData(), path.toLocal8Bit().constData()), 0);
}

void Rewrite(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

struct ChangeCase {
    const char* name;
    std::function<void(const QTemporaryDir&, const QString&)> change;
    FileChange expected;
};
} // namespace

class FileChanges : public ::testing::TestWithParam<ChangeCase> {};

TEST_P(FileChanges, AnAppendIsToldFromEveryOtherChange)
{
    QTemporaryDir dir;
    const QString path = WriteFile(dir, QStringLiteral("p.txt"), WeekdayFile(50));
    const Result<FileIdentity> was = IdentityOf(path);
    ASSERT_TRUE(was);
    GetParam().change(dir, path);
    const Result<FileIdentity> now = IdentityOf(path);
    ASSERT_TRUE(now);
    EXPECT_EQ(ChangeSince(*was, *now), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Growth, FileChanges,
    ::testing::Values(
        ChangeCase{"Untouched", [](const QTemporaryDir&, const QString&) {}, FileChange::Same},
        ChangeCase{"ThreeLinesAppended",
                   [](const QTemporaryDir&, const QString& p) { Append(p, Tail(50, 53)); },
                   FileChange::Appended},
        ChangeCase{"ReplacedByALargerFile",
                   [](const QTemporaryDir& d, const QString& p) {
                       Replace(d, p, WeekdayFile(80, true, 40000));
                   },
                   FileChange::Other},
        ChangeCase{"ReplacedByItsOwnBytesAndMore",
                   [](const QTemporaryDir& d, const QString& p) { Replace(d, p, WeekdayFile(53)); },
                   FileChange::Other},
        ChangeCase{"RewrittenLongerInPlace",
                   [](const QTemporaryDir&, const QString& p) {
                       Rewrite(p, WeekdayFile(60, true, 40000));
                   },
                   FileChange::Other},
        ChangeCase{"LastLineChangedThenAppended",
                   [](const QTemporaryDir&, const QString& p) {
                       QByteArray b = WeekdayFile(50);
                       b[b.size() - 3] = '7';
                       Rewrite(p, b + Tail(50, 51));
                   },
                   FileChange::Other},
        ChangeCase{"Shrunk",
                   [](const QTemporaryDir&, const QString& p) { Rewrite(p, WeekdayFile(40)); },
                   FileChange::Other},
        ChangeCase{"RemovedAndWrittenAgain",
                   [](const QTemporaryDir&, const QString& p) {
                       QFile::remove(p);
                       QFile f(p);
                       ASSERT_TRUE(f.open(QIODevice::WriteOnly));
                       f.write(WeekdayFile(60, true, 40000));
                   },
                   FileChange::Other}),
    [](const ::testing::TestParamInfo<ChangeCase>& i) { return std::string(i.param.name); });

class Growth : public SessionTest {
protected:
    QString path;
    void OpenAndPlot(int records, int first, int last)
    {
        path = WriteFile(dir, QStringLiteral("prices.txt"), WeekdayFile(records));
        Open(path);
        s->GloVar.FirstRecord = first;
        s->GloVar.LastRecord = last;
        s->PlotBtnClick();
        ASSERT_TRUE(s->GloVar.ChartShown);
        // One figure on the chart, which must outlive the append.
        Anchors({300, 300}, {450, 250});
        s->ChooseChartType(FigureNamed("spiral"));
        s->DrawBtnClick();
        ASSERT_EQ(s->FigureCount(), 1);
        prompts.events.clear();
    }
};

// A file replaced by a larger one between the scan and a plot was drawn from
// the wrong records with the old count.
TEST_F(Growth, AFileReplacedByALargerOneBringsTheQuestionBeforeAnyPlot)
{
    path = WriteFile(dir, QStringLiteral("prices.txt"), WeekdayFile(300));
    Open(path);
    Replace(dir, path, WeekdayFile(600, true, 40000));
    s->PlotBtnClick();
    EXPECT_FALSE(s->GloVar.ChartShown);
    ASSERT_EQ(prompts.events.size(), 2);
    EXPECT_TRUE(prompts.events[0].startsWith(
        QStringLiteral("question:\"prices.txt\" has changed since it was read")));
    EXPECT_TRUE(prompts.events[1].endsWith(QStringLiteral("File scans it again.")));
    prompts.events.clear();
    prompts.questionAnswer = QStringLiteral("Scan again");
    Replace(dir, path, WeekdayFile(700, true, 40000));
    s->PlotBtnClick();
    EXPECT_EQ(s->GloVar.RecordCount, 700);
    s->PlotBtnClick();
    EXPECT_TRUE(s->GloVar.ChartShown);
    EXPECT_EQ(s->GloVar.Prices[size_t(s->GloVar.LoadedCount)].Close, 100.0 + 699);
}

// A chart of the last records moves on with the new ones; one elsewhere
// stays where it is, the new records within reach. The window's watcher:
// GrowingWindow.ThreeAppendedLinesExtendTheChartAndKeepTheFigure.
TEST_F(Growth, AnAppendExtendsAChartOfTheLastRecordsAndKeepsTheFigures)
{
    const struct {
        const char* name;
        int first, last, firstAfter, lastAfter;
    } rows[] = {{"a chart elsewhere", 10, 200, 10, 200}, {"the last records", 40, 300, 43, 303}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        SetUp();
        OpenAndPlot(300, r.first, r.last);
        Append(path, Tail(300, 303));
        EXPECT_TRUE(s->PriceFileTouched());
        EXPECT_EQ(s->GloVar.RecordCount, 303);
        EXPECT_EQ(s->GloVar.FirstRecord, r.firstAfter);
        EXPECT_EQ(s->GloVar.LastRecord, r.lastAfter);
        EXPECT_EQ(s->GloVar.Prices[size_t(s->GloVar.LoadedCount)].Close, 100.0 + r.lastAfter - 1);
        EXPECT_EQ(s->FigureCount(), 1);
        EXPECT_EQ(s->ui.panels[PanelPosition], QStringLiteral("3 new records"));
        EXPECT_TRUE(prompts.events.isEmpty())
            << prompts.events.join(QLatin1Char('\n')).toStdString();
        // Nothing more: nothing to do.
        EXPECT_FALSE(s->PriceFileTouched());
    }
    // Navigation from elsewhere reaches the new records.
    s->UpBtnClick();
    s->RightBtnClick();
    EXPECT_EQ(s->GloVar.LastRecord, 303);
    // Once more, one record, read from where the last append ended.
    Append(path, Tail(303, 304));
    EXPECT_TRUE(s->PriceFileTouched());
    EXPECT_EQ(s->GloVar.LastRecord, 304);
    EXPECT_EQ(s->ui.panels[PanelPosition], QStringLiteral("1 new record"));
    ASSERT_TRUE(s->GloVar.LastFileDate);
    EXPECT_EQ(s->GloVar.Prices[size_t(s->GloVar.LoadedCount)].Date, *s->GloVar.LastFileDate);
}

// Trailing lines without a record become inner lines once records follow them.
TEST_F(Growth, BlankLinesBeforeTheAppendCountAsSlots)
{
    path = WriteFile(dir, QStringLiteral("prices.txt"), WeekdayFile(100) + "\n");
    Open(path);
    EXPECT_EQ(s->GloVar.RecordCount, 100);
    prompts.events.clear();
    Append(path, Tail(100, 102));
    EXPECT_TRUE(s->PriceFileTouched());
    EXPECT_EQ(s->GloVar.RecordCount, 103);
    EXPECT_EQ(s->GloVar.LastRecord, 103);
    EXPECT_EQ(s->ui.panels[PanelRange], QStringLiteral("%1 - 103").arg(s->GloVar.FirstRecord));
}

// A newest-first file is scanned again whole: its appended days are older.
TEST_F(Growth, ANewestFirstFileIsScannedAgainWholeAndKeepsItsDates)
{
    path = WriteFile(dir, QStringLiteral("prices.txt"), SemicolonFile(100, true));
    Open(path);
    prompts.events.clear();
    ASSERT_TRUE(s->GloVar.NewestFirst);
    s->GloVar.FirstRecord = 50;
    s->GloVar.LastRecord = 100;
    s->PlotBtnClick();
    ASSERT_TRUE(s->GloVar.ChartShown);
    const double firstShown = s->GloVar.Prices[1].Date;
    // One more, older day at the end.
    Append(path, "01.01.1990;1,0;2,0;0,5;1,5\n");
    EXPECT_TRUE(s->PriceFileTouched());
    EXPECT_EQ(s->GloVar.RecordCount, 101);
    EXPECT_EQ(s->GloVar.FirstRecord, 51);
    EXPECT_EQ(s->GloVar.LastRecord, 101);
    EXPECT_EQ(s->GloVar.Prices[1].Date, firstShown);
}

TEST_F(Growth, DatesAsksBeforeOfferingTheDatesOfAReplacedFile)
{
    path = WriteFile(dir, QStringLiteral("prices.txt"), WeekdayFile(300));
    Open(path);
    prompts.events.clear();
    bool shown = false;
    s->showDatesDialog = [&shown] { shown = true; };
    Replace(dir, path, WeekdayFile(400, true, 40000));
    s->DateBtnClick();
    EXPECT_FALSE(shown);
    ASSERT_FALSE(prompts.events.isEmpty());
    EXPECT_TRUE(prompts.events[0].startsWith(QStringLiteral("question:")));
    // An append is no reason to ask: the dialog opens on the grown file.
    prompts.events.clear();
    prompts.questionAnswer = QStringLiteral("Scan again");
    s->DateBtnClick();
    EXPECT_EQ(s->GloVar.RecordCount, 400);
    Append(path, WeekdayFile(402, true, 40000).mid(WeekdayFile(400, true, 40000).size()));
    shown = false;
    s->DateBtnClick();
    EXPECT_TRUE(shown);
    EXPECT_EQ(s->GloVar.RecordCount, 402);
}
