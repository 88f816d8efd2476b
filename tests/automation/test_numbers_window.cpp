// The numbers through the window: ranges by date in the Dates dialog, the
// figure values file and the level values switch, as a script drives them.
#include <QAction>
#include <QLineEdit>

#include "app/automation/ScriptRunner.h"
#include "app/window/MainForm.h"
#include "chart/ui/DateDlg.h"
#include "data/Dates.h"
#include "tests/Support.h"

namespace {
// Thu 2 Jan 2025 onwards, 30 weekdays: the file ends on Wed 12 Feb 2025.
class DateRange : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        prices = WriteFile(dir, QStringLiteral("prices.txt"), WeekdayFile(30, true, 45659));
    }
    QString Opening() const
    {
        return QStringLiteral("ack\npress FileBtn\nopen \"%1\"\n").arg(prices);
    }
    ScriptRun Go(const QString& lines) { return RunScript(dir.path(), Opening() + lines); }
    // The window kept after the file is opened and the lines given are run.
    void Start(const QString& lines = QString())
    {
        form = std::make_unique<TMainForm>(host, dir.path());
        form->show();
        form->FormActivate();
        runner = std::make_unique<ScriptRunner>(*form, host);
        ASSERT_EQ(runner->run((Opening() + lines).split(QLatin1Char('\n'))), 0);
    }
    QTemporaryDir dir;
    QString prices;
    ScriptHost host{[](const QJsonObject&) {}};
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<ScriptRunner> runner;
};
} // namespace

TEST_F(DateRange, DatesPickRecordsAtWeekendsAndTheFileEnds)
{
    struct Row {
        const char* name;
        const char* first;
        const char* last;
        int firstRecord, lastRecord;
        const char* message;
    } rows[] = {
        // Each side's rule at a weekend and past the file's ends; the
        // records' own days are left to the table of RecordDates.
        {"weekend on both sides", "2025-01-04", "2025-01-12", 3, 7, ""}, // Mon 6 Jan .. Fri 10 Jan
        {"before and after the file", "2024-12-01", "2025-03-01", 1, 30, ""},
        {"first after the file's end", "2025-03-01", "2025-03-02", 1, 30,
         "No record on or after 1 Mar 2025.   Enter again."},
    };
    for (const Row& row : rows) {
        const ScriptRun r =
            Go(QStringLiteral("dates FDateEdit=%1 LDateEdit=%2\nstate\n").arg(row.first, row.last));
        EXPECT_EQ(r.status, 0) << row.name;
        const QJsonObject vars = r.last("state")[QStringLiteral("vars")].toObject();
        EXPECT_EQ(vars[QStringLiteral("FirstRecord")].toInt(), row.firstRecord) << row.name;
        EXPECT_EQ(vars[QStringLiteral("LastRecord")].toInt(), row.lastRecord) << row.name;
        EXPECT_EQ(r.last("message")[QStringLiteral("text")].toString(), QLatin1String(row.message))
            << row.name;
    }
    // Not a date at all: the line is refused before anything is pressed.
    EXPECT_EQ(Go(QStringLiteral("dates FDateEdit=14/02/2025\n")).status, 2);
}

TEST_F(DateRange, RecordNumbersShowTheirDatesAndTheRecordFieldsComeFirst)
{
    Start();
    TDatesDlg* d = form->DatesDlg();
    d->prepare();
    EXPECT_EQ(d->FRecordEdit->text(), QString::number(form->session.GloVar.FirstRecord));
    EXPECT_EQ(d->FDateEdit->text(), IsoText(DayFromYmd(2025, 1, 2)));
    EXPECT_EQ(d->LDateEdit->text(), QStringLiteral("2025-02-12"));
    d->setField(QStringLiteral("LRecordEdit"), QStringLiteral("6"));
    EXPECT_EQ(d->LDateEdit->text(), QStringLiteral("2025-01-09"));
    d->setField(QStringLiteral("LRecordEdit"), QStringLiteral("31"));
    EXPECT_TRUE(d->LDateEdit->text().isEmpty());
    d->setField(QStringLiteral("LDateEdit"), QStringLiteral("2025-01-11"));
    EXPECT_EQ(d->LRecordEdit->text(), QStringLiteral("7")); // Friday 10th
    EXPECT_EQ(d->fieldNames().mid(0, 5),
              QStringList({QStringLiteral("FRecordEdit"), QStringLiteral("LRecordEdit"),
                           QStringLiteral("NdayEdit"), QStringLiteral("LeaveSpace"),
                           QStringLiteral("WholeScale")}));
}

// What each step gives back: History.EveryStepIsUndoneAndRedoneExactly;
// here the Edit menu's side and the script's lines.
TEST_F(DateRange, UndoAndRedoFromAScriptAndTheEditMenu)
{
    Start(QStringLiteral("press PlotBtn\n"));
    const int dir0 = form->session.GloVar.Dir;
    form->session.DirBtnClick();
    QAction* undo = form->menuItem(QStringLiteral("Edit/Undo DIR"));
    QAction* redo = form->menuItem(QStringLiteral("Edit/Redo"));
    ASSERT_TRUE(undo && redo);
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    EXPECT_TRUE(undo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Z)));
    EXPECT_TRUE(redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)));
    EXPECT_TRUE(redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Y)));
    ASSERT_EQ(runner->run({QStringLiteral("undo")}), 0);
    EXPECT_EQ(form->session.GloVar.Dir, dir0);
    EXPECT_EQ(redo->text(), QStringLiteral("&Redo DIR"));
    EXPECT_TRUE(redo->isEnabled());
    EXPECT_FALSE(undo->isEnabled());
    // Nothing left to replay after the redo: the line does nothing, as the greyed item would.
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(runner->run({QStringLiteral("redo")}), 0);
        EXPECT_EQ(form->session.GloVar.Dir, -dir0) << i;
    }
}
