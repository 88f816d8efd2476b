// The Dates dialog's record and date fields kept in step, and the Edit
// menu's Undo and Redo beside the script's lines.
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
