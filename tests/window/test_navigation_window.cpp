// Moving the chart with the real mouse on the real chart view: Shift+drag
// pans, a Shift+drag on the price axis stretches the scale, a double click
// there fits it again; with the Select tool on, plain drags do the same.
#include "app/window/ChartView.h"
#include "tests/WindowFixture.h"

namespace {
class MouseNavigation : public WindowFixture {
protected:
    ChartView* View() const { return Find<ChartView>("Image1"); }
    // A drag by the real mouse, in steps, with the keys given held.
    void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers keys)
    {
        ChartView* view = View();
        QTest::mouseMove(view, from);
        QTest::mousePress(view, Qt::LeftButton, keys, from);
        for (int i = 1; i <= 5; ++i)
            QTest::mouseMove(view, from + (to - from) * i / 5);
        QTest::mouseRelease(view, Qt::LeftButton, keys, to);
    }
    QPoint PriceAxis(int y) const { return {form->session.GloVar.PlotLeft / 2, y}; }
};
} // namespace

TEST_F(MouseNavigation, ShiftDragPansByWholeSlotsAndUndoReturns)
{
    OpenAndPlot();
    DrawSpiral();
    ASSERT_NE(View(), nullptr);
    const int first = form->session.GloVar.FirstRecord, last = form->session.GloVar.LastRecord;
    const double slotWidth =
        double(form->session.GloVar.PlotRight - form->session.GloVar.PlotLeft) /
        form->session.GloVar.SlotCount;
    const QString values = form->session.FigureValuesCsv();
    const int steps = form->session.UndoDepth();
    // The chart ends at the file's last record: a drag to the right shows earlier days.
    Drag(QPoint(400, 300), QPoint(600, 300), Qt::ShiftModifier);
    const int moved = int(std::lround(200 / slotWidth));
    ASSERT_GT(moved, 0);
    EXPECT_EQ(form->session.GloVar.FirstRecord, first - moved);
    EXPECT_EQ(form->session.GloVar.LastRecord, last - moved);
    // The spiral is kept, and the drag set no anchor.
    EXPECT_EQ(form->session.FigureCount(), 1);
    EXPECT_EQ(form->session.UndoDepth(), steps + 1);
    form->session.UndoClick();
    EXPECT_EQ(form->session.GloVar.FirstRecord, first);
    EXPECT_EQ(form->session.GloVar.LastRecord, last);
    EXPECT_EQ(form->session.FigureValuesCsv(), values);
}

TEST_F(MouseNavigation, ShiftDragOnThePriceAxisStretchesAndDoubleClickFits)
{
    OpenAndPlot();
    const double top = form->session.GloVar.ScaleTop, range = form->session.GloVar.ScaleRange;
    Drag(PriceAxis(200), PriceAxis(320), Qt::ShiftModifier);
    EXPECT_GT(form->session.GloVar.ScaleRange, range * 1.1);
    EXPECT_TRUE(form->session.GloVar.ManualScale);
    // The stretched scale stays through a move of the range.
    const double stretched = form->session.GloVar.ScaleRange;
    form->Press(Ctl::ToolButton1);
    EXPECT_EQ(form->session.GloVar.ScaleRange, stretched);
    // A double click on the axis gives the automatic scale back.
    form->Press(Ctl::ToolButton2);
    QTest::mouseDClick(View(), Qt::LeftButton, {}, PriceAxis(250));
    EXPECT_FALSE(form->session.GloVar.ManualScale);
    EXPECT_EQ(form->session.GloVar.ScaleTop, top);
    EXPECT_EQ(form->session.GloVar.ScaleRange, range);
    // Each was one step: undoing the fit brings the stretch back.
    form->session.UndoClick();
    EXPECT_EQ(form->session.GloVar.ScaleRange, stretched);
}

TEST_F(MouseNavigation, WithTheSelectToolPlainDragsMoveTheChart)
{
    OpenAndPlot();
    form->selectAction()->setChecked(true);
    const int first = form->session.GloVar.FirstRecord;
    // Empty plot space: a pan.
    Drag(QPoint(700, 120), QPoint(820, 120), {});
    EXPECT_LT(form->session.GloVar.FirstRecord, first);
    // The price axis: a stretch.
    const double range = form->session.GloVar.ScaleRange;
    Drag(PriceAxis(300), PriceAxis(200), {});
    EXPECT_LT(form->session.GloVar.ScaleRange, range);
    // Without the tool a plain drag is a press again, as it always was.
    form->selectAction()->setChecked(false);
    const int now = form->session.GloVar.FirstRecord;
    Drag(QPoint(700, 120), QPoint(820, 120), {});
    EXPECT_EQ(form->session.GloVar.FirstRecord, now);
}

TEST_F(MouseNavigation, VolumePaneFromTheMenuAndOffAgainGivesTheSamePicture)
{
    // The weekday file with a volume column after its prices.
    QList<QByteArray> lines = WeekdayFile(300).split('\n');
    QByteArray text = lines[0].trimmed() + ",Volume\n";
    for (qsizetype i = 1; i < lines.size(); ++i)
        if (!lines[i].trimmed().isEmpty())
            text += lines[i].trimmed() + (i % 3 ? ",41.2M\n" : ",2.51B\n");
    host.openAnswer = WriteFile(dir, QStringLiteral("volume.txt"), text);
    QTest::mouseClick(Find<QToolButton>("FileBtn"), Qt::LeftButton);
    QTest::mouseClick(Find<QToolButton>("PlotBtn"), Qt::LeftButton);
    ASSERT_TRUE(form->session.GloVar.ChartShown);
    QAction* volume = form->menuItem(QStringLiteral("View/Volume"));
    ASSERT_NE(volume, nullptr);
    ASSERT_TRUE(volume->isEnabled());
    const QImage without = form->session.chart.image();
    const int bottom = form->session.GloVar.PlotBottom;
    volume->trigger();
    EXPECT_TRUE(volume->isChecked());
    EXPECT_EQ(form->session.GloVar.VolumeBottom, bottom);
    EXPECT_LT(form->session.GloVar.PlotBottom, bottom);
    EXPECT_NE(form->session.chart.image(), without);
    // The crosshair's date tag goes under the date axis, below the pane.
    const std::optional<PointerTags> tags =
        form->session.TagsAt(500, form->session.GloVar.PlotTop + 50);
    ASSERT_TRUE(tags.has_value());
    EXPECT_EQ(tags->plot.bottom(), form->session.GloVar.VolumeBottom);
    volume->trigger();
    EXPECT_FALSE(volume->isChecked());
    EXPECT_EQ(form->session.GloVar.PlotBottom, bottom);
    EXPECT_EQ(form->session.chart.image(), without);
}
