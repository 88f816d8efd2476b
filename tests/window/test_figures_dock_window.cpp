// View > Figures in the real window: the dock lists the figures, a row
// picks one, its box hides and shows it, Delete removes it, and Ctrl+Z
// takes each back.
#include <QDockWidget>
#include <QPushButton>
#include <QTableWidget>

#include "app/window/ChartView.h"
#include "app/window/FiguresDock.h"
#include "tests/WindowFixture.h"

namespace {
class FiguresList : public WindowFixture {
protected:
    // Two spirals kept by Clip and a third still being worked on.
    void ThreeFigures()
    {
        OpenAndPlot();
        DrawSpiral();
        form->Press(Ctl::ClipButton);
        DrawSpiral(300);
        form->Press(Ctl::ClipButton);
        DrawSpiral(250);
        ASSERT_EQ(form->session.FigureCount(), 3);
    }
    void ClickRow(QTableWidget* table, int row)
    {
        const QRect cell = table->visualItemRect(table->item(row, FiguresDock::TypeColumn));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    }
    void Undo() { QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier); }
};
} // namespace

TEST_F(FiguresList, PickHideShowAndDeleteFromTheDockEachUndone)
{
    StartWindow(QSize(), true);
    ThreeFigures();
    auto* dock = Find<QDockWidget>("FiguresDock");
    ASSERT_NE(dock, nullptr);
    // Hidden until asked for: the window starts as it always has.
    EXPECT_FALSE(dock->isVisible());
    QAction* item = form->menuItem(QStringLiteral("View/Figures"));
    ASSERT_NE(item, nullptr);
    item->trigger();
    ASSERT_TRUE(dock->isVisible());
    form->FlushResize();
    auto* table = Find<QTableWidget>("FigureList");
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->rowCount(), 3);
    EXPECT_EQ(table->item(0, FiguresDock::NumberColumn)->text(), QStringLiteral("1"));
    EXPECT_EQ(table->item(2, FiguresDock::TypeColumn)->text(), QStringLiteral("PHI - SPIRAL"));
    EXPECT_TRUE(
        table->item(1, FiguresDock::AnchorsColumn)->text().startsWith(QStringLiteral("P1 ")));

    // A row picks its figure, with handles on the chart as a click there gives.
    ClickRow(table, 1);
    EXPECT_EQ(form->session.SelectedFigure(), 2);
    auto* view = Find<ChartView>("Image1");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->overlay().handles.size(), 2u);

    // Its box hides the first figure: off the picture, one step, Ctrl+Z shows it.
    const QImage shown = form->session.chart.image();
    const int steps = form->session.UndoDepth();
    table->setFocus();
    table->setCurrentCell(0, FiguresDock::ShownColumn);
    QTest::keyClick(table, Qt::Key_Space);
    EXPECT_TRUE(form->session.FigureRows().at(0).hidden);
    EXPECT_EQ(table->item(0, FiguresDock::ShownColumn)->checkState(), Qt::Unchecked);
    EXPECT_TRUE(form->session.FigureLines(1).empty());
    EXPECT_NE(form->session.chart.image(), shown);
    EXPECT_EQ(form->session.UndoDepth(), steps + 1);
    EXPECT_EQ(form->session.FigureCount(), 3);
    Undo();
    EXPECT_FALSE(form->session.FigureRows().at(0).hidden);
    EXPECT_EQ(table->item(0, FiguresDock::ShownColumn)->checkState(), Qt::Checked);
    EXPECT_EQ(form->session.chart.image(), shown);

    // Delete takes the picked figure; Ctrl+Z brings it back.
    const QString values = form->session.FigureValuesCsv();
    ClickRow(table, 2);
    ASSERT_EQ(form->session.SelectedFigure(), 3);
    auto* remove = Find<QPushButton>("DeleteFigureButton");
    ASSERT_NE(remove, nullptr);
    ASSERT_TRUE(remove->isEnabled());
    QTest::mouseClick(remove, Qt::LeftButton);
    EXPECT_EQ(form->session.FigureCount(), 2);
    EXPECT_EQ(table->rowCount(), 2);
    EXPECT_FALSE(remove->isEnabled()); // nothing picked now
    Undo();
    EXPECT_EQ(form->session.FigureCount(), 3);
    EXPECT_EQ(table->rowCount(), 3);
    EXPECT_EQ(form->session.FigureValuesCsv(), values);

    // The menu item closes the dock again.
    item->trigger();
    EXPECT_FALSE(dock->isVisible());
}
