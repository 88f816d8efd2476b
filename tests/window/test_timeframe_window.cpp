// View > Daily / Weekly / Monthly picked with the mouse from the real menu bar.
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include "chart/ui/DateDlg.h"

#include "tests/OldIndex.h"
#include "tests/WindowFixture.h"

namespace {
class TimeframeMenu : public WindowFixture {
protected:
    // Opens View on the menu bar and clicks the item, as a person does.
    void Choose(const QString& item)
    {
        QMenuBar* bar = form->menuBar();
        auto* view = Find<QMenu>("ViewMenu");
        ASSERT_NE(view, nullptr);
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          bar->actionGeometry(view->menuAction()).center());
        ASSERT_TRUE(QTest::qWaitFor([&] { return view->isVisible(); }, 10000));
        QAction* chosen = nullptr;
        for (QAction* a : view->actions())
            if (a->text().remove(QLatin1Char('&')) == item)
                chosen = a;
        ASSERT_NE(chosen, nullptr) << item.toStdString();
        QTest::mouseClick(view, Qt::LeftButton, {}, view->actionGeometry(chosen).center());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !view->isVisible(); }, 10000));
    }
    [[nodiscard]] QStringList Checked() const
    {
        QStringList out;
        for (const char* name : {"Timeframedaily", "Timeframeweekly", "Timeframemonthly"})
            if (const auto* a = form->findChild<QAction*>(QLatin1String(name)); a && a->isChecked())
                out << QLatin1String(name);
        return out;
    }
};
} // namespace

// The Dates dialog shows and takes days before 1900 as they are typed, and
// keeps its record and date fields in step.
TEST_F(TimeframeMenu, TheDatesDialogShowsAndTakesDaysBefore1900)
{
    host.openAnswer = WriteFile(dir, QStringLiteral("djia.csv"), OldIndexFile(OldIndexSessions()));
    QTest::mouseClick(Find<QToolButton>("FileBtn"), Qt::LeftButton);
    TDatesDlg* d = form->DatesDlg();
    d->prepare();
    d->show();
    EXPECT_EQ(d->Label9->text(), QStringLiteral("(1 Dec 1899)"));
    d->FRecordEdit->clear();
    QTest::keyClicks(d->FRecordEdit, QStringLiteral("22"));
    EXPECT_EQ(d->FDateEdit->text(), QStringLiteral("1899-12-30")); // Saturday, day 0
    d->FDateEdit->clear();
    QTest::keyClicks(d->FDateEdit, QStringLiteral("1899-12-04"));
    EXPECT_EQ(d->FRecordEdit->text(), QStringLiteral("3"));
    // A record past the file's end has no date; a Sunday's is the Saturday before.
    d->LRecordEdit->selectAll();
    QTest::keyClicks(d->LRecordEdit, QString::number(form->session.GloVar.RecordCount + 1));
    EXPECT_TRUE(d->LDateEdit->text().isEmpty());
    d->LDateEdit->clear();
    QTest::keyClicks(d->LDateEdit, QStringLiteral("1899-12-31"));
    EXPECT_EQ(d->LRecordEdit->text(), QStringLiteral("22"));
    // A script's dates line fills the record fields first.
    EXPECT_EQ(d->fieldNames().mid(0, 5),
              QStringList({QStringLiteral("FRecordEdit"), QStringLiteral("LRecordEdit"),
                           QStringLiteral("NdayEdit"), QStringLiteral("LeaveSpace"),
                           QStringLiteral("WholeScale")}));
    d->hide();
}

// A timeframe picked from the menu, and Log scale, keep the figure on its
// dates and are each taken back by one Ctrl+Z: the timeframe or scale, the
// bars, the range and the figure's values as they were; Ctrl+Shift+Z makes
// the change again.
TEST_F(TimeframeMenu, CtrlZTakesBackATimeframeAndTheLogScale)
{
    host.openAnswer = WriteFile(dir, QStringLiteral("djia.csv"), OldIndexFile(OldIndexSessions()));
    QTest::mouseClick(Find<QToolButton>("FileBtn"), Qt::LeftButton);
    QTest::mouseClick(Find<QToolButton>("PlotBtn"), Qt::LeftButton);
    ASSERT_TRUE(form->session.GloVar.ChartShown);
    EXPECT_EQ(Checked(), QStringList{QStringLiteral("Timeframedaily")});
    // The index has no volume column.
    EXPECT_FALSE(form->menuItem(QStringLiteral("View/Volume"))->isEnabled());
    DrawSpiral();
    const auto& g = form->session.GloVar;
    const int days = g.LoadedCount;
    const std::optional<double> p1 = g.P1Anchor.date, p2 = g.P2Anchor.date;
    const double price1 = g.P1Anchor.price;
    const QString values = form->session.FigureValuesCsv();
    ASSERT_GT(values.count(QLatin1Char('\n')), 1);
    const int first = g.FirstRecord, last = g.LastRecord, depth = form->session.UndoDepth();
    const struct {
        const char* item;
        Timeframe timeframe;
        bool log;
        const char* checked;
        int mostBars;
    } rows[] = {{"Weekly", Timeframe::Weekly, false, "Timeframeweekly", days / 4},
                {"Monthly", Timeframe::Monthly, false, "Timeframemonthly", 14},
                {"Log scale", Timeframe::Daily, true, "Timeframedaily", days}};
    for (const auto& row : rows) {
        Choose(QLatin1String(row.item));
        EXPECT_EQ(form->session.ChartTimeframe(), row.timeframe) << row.item;
        EXPECT_EQ(Checked(), QStringList{QLatin1String(row.checked)}) << row.item;
        EXPECT_LE(g.LoadedCount, row.mostBars) << row.item;
        EXPECT_EQ(g.P1Anchor.date, p1) << row.item;
        EXPECT_EQ(g.P2Anchor.date, p2) << row.item;
        EXPECT_EQ(g.P1Anchor.price, price1) << row.item;
        EXPECT_EQ(g.LogScale, row.log) << row.item;
        EXPECT_EQ(form->session.UndoDepth(), depth + 1) << row.item;
        EXPECT_EQ(form->session.FigureValuesCsv(), values) << row.item;
        // The key goes to the window, as a person's does once the menu is closed.
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(form->session.ChartTimeframe(), Timeframe::Daily) << row.item;
        EXPECT_EQ(Checked(), QStringList{QStringLiteral("Timeframedaily")}) << row.item;
        EXPECT_FALSE(g.LogScale) << row.item;
        EXPECT_FALSE(Find<QAction>("LogScaleItem")->isChecked()) << row.item;
        EXPECT_EQ(g.FirstRecord, first) << row.item;
        EXPECT_EQ(g.LastRecord, last) << row.item;
        EXPECT_EQ(g.LoadedCount, days) << row.item;
        EXPECT_EQ(g.P1Anchor.price, price1) << row.item;
        EXPECT_EQ(form->session.FigureCount(), 1) << row.item;
        EXPECT_EQ(form->session.FigureValuesCsv(), values) << row.item;
        // Redo makes the change again, Ctrl+Z takes it back once more.
        QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(form->session.ChartTimeframe(), row.timeframe) << row.item;
        EXPECT_EQ(g.LogScale, row.log) << row.item;
        EXPECT_EQ(form->session.FigureValuesCsv(), values) << row.item;
        QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);
    }
    // Daily from the menu as well.
    Choose(QStringLiteral("Weekly"));
    Choose(QStringLiteral("Daily"));
    EXPECT_EQ(form->session.ChartTimeframe(), Timeframe::Daily);
    EXPECT_EQ(g.LoadedCount, days);
    EXPECT_EQ(form->session.FigureValuesCsv(), values);
}
