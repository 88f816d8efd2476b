// The numbers through the window: ranges by date in the Dates dialog, the
// figure values file and the level values switch, as a script drives them.
#include <QAction>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/GloVar.h"
#include "app/MainForm.h"
#include "app/ScriptRunner.h"
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
    struct Run {
        int status = -1;
        QList<QJsonObject> events;
        [[nodiscard]] QJsonObject vars() const
        {
            for (auto it = events.crbegin(); it != events.crend(); ++it)
                if ((*it)[QStringLiteral("event")] == QLatin1String("state"))
                    return (*it)[QStringLiteral("vars")].toObject();
            return {};
        }
    };
    Run Go(const QString& lines)
    {
        ResetSharedState();
        Run r;
        ScriptHost host([&r](const QJsonObject& o) { r.events << o; });
        TMainForm form(host, dir.path());
        form.show();
        form.FormActivate();
        ScriptRunner runner(form, host);
        const QString text = QStringLiteral("ack\npress FileBtn\nopen \"%1\"\n").arg(prices) + lines;
        r.status = runner.run(text.split(QLatin1Char('\n')));
        return r;
    }
    QTemporaryDir dir;
    QString prices;
};
} // namespace

TEST_F(DateRange, DatesPickRecordsAtWeekendsAndTheFileEnds)
{
    struct Row {
        const char* name;
        const char* first;
        const char* last;
        int firstRecord, lastRecord;
    } rows[] = {
        // Each side's rule at a weekend and past the file's ends; the
        // records' own days are left to the table of RecordDates.
        {"weekend on both sides", "2025-01-04", "2025-01-12", 3, 7},  // Mon 6 Jan .. Fri 10 Jan
        {"before and after the file", "2024-12-01", "2025-03-01", 1, 30},
    };
    for (const Row& row : rows) {
        const Run r = Go(QStringLiteral("dates FDateEdit=%1 LDateEdit=%2\nstate\n").arg(row.first, row.last));
        EXPECT_EQ(r.status, 0) << row.name;
        EXPECT_EQ(r.vars()[QStringLiteral("FirstRecord")].toInt(), row.firstRecord) << row.name;
        EXPECT_EQ(r.vars()[QStringLiteral("LastRecord")].toInt(), row.lastRecord) << row.name;
    }
    // A first date after the file's end has no record: the design's message.
    const Run late = Go(QStringLiteral("dates FDateEdit=2025-03-01 LDateEdit=2025-03-02\nstate\n"));
    QStringList messages;
    for (const QJsonObject& e : late.events)
        if (e[QStringLiteral("event")] == QLatin1String("message"))
            messages << e[QStringLiteral("text")].toString();
    EXPECT_EQ(messages, QStringList{QStringLiteral("Wrong Record Number!   Enter again.")});
    // Not a date at all: the line is refused before anything is pressed.
    const Run bad = Go(QStringLiteral("dates FDateEdit=14/02/2025\n"));
    EXPECT_EQ(bad.status, 2);
}

TEST_F(DateRange, RecordNumbersShowTheirDatesAndTheDesignFieldsStay)
{
    ResetSharedState();
    ScriptHost host([](const QJsonObject&) {});
    TMainForm form(host, dir.path());
    form.show();
    form.FormActivate();
    ScriptRunner runner(form, host);
    ASSERT_EQ(runner.run(QStringLiteral("ack\npress FileBtn\nopen \"%1\"\n").arg(prices).split('\n')), 0);
    TDatesDlg* d = form.DatesDlg();
    d->prepare();
    EXPECT_EQ(d->FRecordEdit->text(), QString::number(GloVar.FirstRecord));
    EXPECT_EQ(d->FDateEdit->text(), IsoText(DayFromYmd(2025, 1, 2)));
    EXPECT_EQ(d->LDateEdit->text(), QStringLiteral("2025-02-12"));
    d->setField(QStringLiteral("LRecordEdit"), QStringLiteral("6"));
    EXPECT_EQ(d->LDateEdit->text(), QStringLiteral("2025-01-09"));
    d->setField(QStringLiteral("LRecordEdit"), QStringLiteral("31"));
    EXPECT_TRUE(d->LDateEdit->text().isEmpty());
    d->setField(QStringLiteral("LDateEdit"), QStringLiteral("2025-01-11"));
    EXPECT_EQ(d->LRecordEdit->text(), QStringLiteral("7")); // Friday 10th
    EXPECT_EQ(d->fieldNames().mid(0, 5),
              QStringList({QStringLiteral("FRecordEdit"), QStringLiteral("LRecordEdit"), QStringLiteral("NdayEdit"),
                           QStringLiteral("LeaveSpace"), QStringLiteral("WholeScale")}));
}

TEST_F(DateRange, UndoAndRedoFromAScriptAndTheEditMenu)
{
    ResetSharedState();
    ScriptHost host([](const QJsonObject&) {});
    TMainForm form(host, dir.path());
    form.show();
    form.FormActivate();
    ScriptRunner runner(form, host);
    ASSERT_EQ(runner.run(QStringLiteral("ack\npress FileBtn\nopen \"%1\"\npress PlotBtn\n").arg(prices).split('\n')), 0);
    const int dir0 = GloVar.Dir;
    form.session.DirBtnClick();
    form.session.publish();
    QAction* undo = form.menuItem(QStringLiteral("Edit/Undo DIR"));
    ASSERT_NE(undo, nullptr);
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_TRUE(undo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Z)));
    QAction* redo = form.menuItem(QStringLiteral("Edit/Redo"));
    ASSERT_NE(redo, nullptr);
    EXPECT_FALSE(redo->isEnabled());
    EXPECT_TRUE(redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)));
    EXPECT_TRUE(redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Y)));
    ASSERT_EQ(runner.run({QStringLiteral("undo")}), 0);
    EXPECT_EQ(GloVar.Dir, dir0);
    EXPECT_EQ(redo->text(), QStringLiteral("&Redo DIR"));
    EXPECT_TRUE(redo->isEnabled());
    EXPECT_FALSE(undo->isEnabled());
    ASSERT_EQ(runner.run({QStringLiteral("redo")}), 0);
    EXPECT_EQ(GloVar.Dir, -dir0);
    // Nothing left to replay: the line does nothing, as the greyed item would.
    ASSERT_EQ(runner.run({QStringLiteral("redo")}), 0);
    EXPECT_EQ(GloVar.Dir, -dir0);
}
