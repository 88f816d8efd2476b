// The Select tool in the real window: the toolbar arrow, a figure picked by
// the mouse, a handle dragged, Delete and Undo from the keys, a click away.
#include <QToolBar>

#include "app/window/ChartView.h"
#include "tests/WindowFixture.h"

namespace {
class Picking : public WindowFixture {
protected:
    // A pixel on figure n's drawn lines that picks it and no other.
    std::optional<QPoint> PointOn(int n) const
    {
        for (const Segment& s : form->session.FigureLines(n)) {
            const QPoint p((s.x1 + s.x2) / 2, (s.y1 + s.y2) / 2);
            if (p.x() > form->session.GloVar.PlotLeft + 5 &&
                p.x() < form->session.GloVar.PlotRight - 5 &&
                p.y() > form->session.GloVar.PlotTop + 5 &&
                p.y() < form->session.GloVar.PlotBottom - 5 &&
                form->session.FigureAt(p.x(), p.y()) == n &&
                form->session.HandleAt(p.x(), p.y()) == 0)
                return p;
        }
        return std::nullopt;
    }
};
} // namespace

TEST_F(Picking, PickWithTheMouseDragAHandleDeleteAndUndo)
{
    StartWindow(QSize(), true);
    OpenAndPlot();
    DrawSpiral();
    form->Press(Ctl::ClipButton);
    DrawSpiral(300);
    ASSERT_EQ(form->session.FigureCount(), 2);
    auto* view = Find<ChartView>("Image1");
    ASSERT_NE(view, nullptr);
    const QString before = form->session.FigureValuesCsv();
    // Off, a left click on a figure is a plain click: nothing is picked.
    const std::optional<QPoint> on = PointOn(1);
    ASSERT_TRUE(on.has_value());
    QTest::mouseClick(view, Qt::LeftButton, {}, *on);
    EXPECT_EQ(form->session.SelectedFigure(), 0);
    const QImage picture = form->session.chart.image();

    // The toolbar's arrow turns the Select tool on.
    auto* arrow = Find<QToolButton>("SelectTool");
    ASSERT_NE(arrow, nullptr);
    QTest::mouseClick(arrow, Qt::LeftButton);
    ASSERT_TRUE(form->selectAction()->isChecked());

    // Hovering highlights, a click picks; both on the screen only.
    QTest::mouseMove(view,
                     QPoint(form->session.GloVar.PlotLeft + 2, form->session.GloVar.PlotTop + 2));
    QTest::mouseMove(view, *on);
    // On an X server the pointer's moves arrive as the server sends them.
    EXPECT_TRUE(QTest::qWaitFor([view] { return !view->overlay().hover.empty(); }, 10000));
    QTest::mouseClick(view, Qt::LeftButton, {}, *on);
    ASSERT_EQ(form->session.SelectedFigure(), 1);
    EXPECT_FALSE(view->overlay().picked.empty());
    ASSERT_EQ(view->overlay().handles.size(), 2u);
    EXPECT_EQ(form->session.chart.image(), picture);
    const QImage shown = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPoint h = view->overlay().handles[1];
    EXPECT_NE(shown.pixel(h + QPoint(ChartView::HandleSize / 2, 0)),
              picture.convertToFormat(QImage::Format_RGB32)
                  .pixel(h + QPoint(ChartView::HandleSize / 2, 0)));

    // Dragging P2's handle moves it; the figure follows while the button is down.
    const int steps = form->session.UndoDepth();
    QTest::mousePress(view, Qt::LeftButton, {}, h);
    QTest::mouseMove(view, h + QPoint(15, 10));
    const QString during = form->session.FigureValuesCsv();
    EXPECT_NE(during, before);
    QTest::mouseMove(view, h + QPoint(30, 20));
    QTest::mouseRelease(view, Qt::LeftButton, {}, h + QPoint(30, 20));
    const QString dragged = form->session.FigureValuesCsv();
    EXPECT_NE(dragged, during);
    EXPECT_EQ(form->session.UndoDepth(), steps + 1);
    EXPECT_EQ(form->session.SelectedFigure(), 1);
    const QPoint movedTo = view->overlay().handles.at(1);
    EXPECT_LE((movedTo - (h + QPoint(30, 20))).manhattanLength(), 4);

    // Delete takes the picked figure; Undo (Ctrl+Z) brings it back as it was.
    QTest::keyClick(form.get(), Qt::Key_Delete);
    EXPECT_EQ(form->session.FigureCount(), 1);
    EXPECT_EQ(form->session.SelectedFigure(), 0);
    EXPECT_TRUE(view->overlay().handles.empty());
    QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form->session.FigureCount(), 2);
    EXPECT_EQ(form->session.FigureValuesCsv(), dragged);
    QTest::keyClick(form.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form->session.FigureValuesCsv(), before);

    // Esc leaves the tool, V takes it up again.
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_FALSE(form->selectAction()->isChecked());
    QTest::keyClick(form.get(), Qt::Key_V);
    EXPECT_TRUE(form->selectAction()->isChecked());
    EXPECT_TRUE(form->menuItem(QStringLiteral("Edit/Select figures"))->isChecked());

    // A click away from every figure picks none.
    const std::optional<QPoint> again = PointOn(1);
    ASSERT_TRUE(again.has_value());
    QTest::mouseClick(view, Qt::LeftButton, {}, *again);
    ASSERT_EQ(form->session.SelectedFigure(), 1);
    const QPoint away(form->session.GloVar.PlotLeft + 2, form->session.GloVar.PlotTop + 2);
    ASSERT_EQ(form->session.FigureAt(away.x(), away.y()), 0);
    QTest::mouseClick(view, Qt::LeftButton, {}, away);
    EXPECT_EQ(form->session.SelectedFigure(), 0);
    EXPECT_TRUE(view->overlay().picked.empty());
    EXPECT_TRUE(view->overlay().handles.empty());
    // Past the plot's edge nothing of a figure is drawn, so nothing picks it.
    EXPECT_EQ(form->session.FigureAt(form->session.GloVar.PlotRight + 20,
                                     form->session.GloVar.PlotTop + 20),
              0);
}
