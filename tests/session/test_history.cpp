// Undo and redo: every step gives back the figures, anchors and range as
// they were, in the state report and in the picture, and redo replays it.
#include <QJsonArray>
#include <QJsonObject>

#include "app/automation/StateReport.h"
#include "app/session/SharedInputs.h"
#include "chart/ChartMap.h"
#include "tests/Support.h"
#include "tests/Trace.h"

namespace {
class History : public SessionTest {
protected:
    struct State {
        QJsonObject report;
        QImage image, base;
        QStringList drawing;
        QString values;
    };
    State Now(const Recorder& trace)
    {
        QJsonObject report = StateReport(*s);
        // The readout follows the pointer, not the figures.
        QJsonArray panels = report[QStringLiteral("panels")].toArray();
        for (int i : {int(PanelDate), int(PanelPrice), int(PanelPosition), int(PanelBar)})
            panels[i] = QString();
        report[QStringLiteral("panels")] = panels;
        return {report, s->chart.image(), s->baseImage, trace.picture(), s->FigureValuesCsv()};
    }
    static QString Diff(const State& a, const State& b)
    {
        QStringList d;
        const QJsonObject va = a.report[QStringLiteral("vars")].toObject();
        const QJsonObject vb = b.report[QStringLiteral("vars")].toObject();
        for (auto it = va.begin(); it != va.end(); ++it)
            if (vb[it.key()] != it.value())
                d << QStringLiteral("%1: %2 / %3")
                         .arg(it.key(), it.value().toVariant().toString(),
                              vb[it.key()].toVariant().toString());
        if (a.report != b.report && d.isEmpty())
            d << QStringLiteral("controls or panels");
        if (a.image != b.image)
            d << QStringLiteral("picture");
        if (a.base != b.base)
            d << QStringLiteral("base picture");
        if (a.drawing != b.drawing)
            d << QStringLiteral("drawing operations");
        if (a.values != b.values)
            d << QStringLiteral("figure values");
        return d.join(QStringLiteral("; "));
    }
};

struct Step {
    const char* name; // as the Edit menu names it
    std::function<void()> act;
    // What comes before the step and is no step itself: arming P1 or P2.
    std::function<void()> arm = nullptr;
};
} // namespace

// Each step is compared, after its undo, with the state before it and, after
// its redo, with the state after it: the whole state report, the picture and
// the base picture to the pixel, the drawing operations that make the picture
// and the figure values. The markers save and put back the pixels under them
// even across a redraw, so the steps that move them after a Draw or during a
// drag leave pixels that only the order of the clicks explains.
TEST_F(History, EveryStepIsUndoneAndRedoneExactly)
{
    Recorder trace(s->chart);
    PlotWeekdays();
    const QPoint low = PlotPoint(0.2, 0.8), high = PlotPoint(0.5, 0.2), third = PlotPoint(0.7, 0.5);
    auto* self = this;
    // A right-button drag of the live ellipse through the moves given.
    auto drag = [&](QPoint from, std::initializer_list<QPoint> moves) {
        return [&, from, path = std::vector<QPoint>(moves)] {
            s->Image1MouseDown(MouseButton::Right, from.x(), from.y());
            for (QPoint m : path)
                s->Image1MouseMove(m.x(), m.y());
            s->Image1MouseUp();
        };
    };
    const QPoint h = high;
    const std::vector<Step> steps = {
        {"Figure Type", [&] { s->ChooseChartType(FigureNamed("extensions")); }},
        {"Set P1", [&] { self->Click(low); }, [&] { s->P1BtnClick(); }},
        {"Set P2", [&] { self->Click(high, true); }, [&] { s->P2BtnClick(); }},
        {"Draw", [&] { s->DrawBtnClick(); }},
        {"RATIO", [&] { s->RatioBtnClick(); }},
        {"DIR", [&] { s->DirBtnClick(); }},
        // P1 moved off a drawn figure puts back the figure under its marker.
        {"Set P1", [&] { self->Click(low + QPoint(12, -6)); }, [&] { s->P1BtnClick(); }},
        {"Clip", [&] { s->ClipButtonClick(); }},
        {"Figure Type", [&] { s->ChooseChartType(FigureNamed("ellipse")); }},
        {"Draw", [&] { s->DrawBtnClick(); }},
        {"Draw", [&] { s->DrawBtnClick(); }}, // the live ellipse grown
        // Far moves, each marker clear of the last one.
        {"Ellipse Drag", drag(h, {h + QPoint(15, 10), h + QPoint(30, 25)})},
        {"Set Third Point", [&] { self->Click(third); }},
        // Moves of a pixel or two: the marker's saved pixels overlap, and the
        // drag's first one holds the ellipse as Draw left it.
        {"Ellipse Drag", drag(h, {h + QPoint(32, 26), h + QPoint(33, 28), h + QPoint(35, 29)})},
        // One move only.
        {"Ellipse Drag", drag(h, {h + QPoint(20, 40)})},
        {"Clip", [&] { s->ClipButtonClick(); }},
        {"Figure Type", [&] { s->ChooseChartType(FigureNamed("channel")); }},
        {"Draw", [&] { s->DrawBtnClick(); }},
        {"Clear", [&] { s->EraseBtnClick(); }},
        {"Figure Type", [&] { s->ChooseChartType(FigureNamed("corrections")); }},
        {"Draw", [&] { s->DrawBtnClick(); }},
        {"Previous Period", [&] { s->ToolButton1Click(); }},
        {"Dates",
         [&] {
             s->PlotBtnClick();
             ASSERT_EQ(
                 s->DatesAccept(QStringLiteral("50"), QStringLiteral("250"), QStringLiteral("3")),
                 DatesAnswer::Taken);
             s->PlotBtnClick();
         }},
    };
    std::vector<State> before;
    for (const Step& step : steps) {
        if (step.arm)
            step.arm();
        before.push_back(Now(trace));
        const int depth = s->UndoDepth();
        step.act();
        EXPECT_EQ(s->UndoDepth(), depth + 1) << step.name;
        EXPECT_EQ(s->UndoCaption(), QStringLiteral("Undo ") + QLatin1String(step.name));
        EXPECT_FALSE(s->CanRedo());
    }
    const State last = Now(trace);
    std::vector<State> after(before.begin() + 1, before.end());
    after.push_back(last);
    for (size_t i = steps.size(); i-- > 0;) {
        EXPECT_EQ(s->UndoCaption(), QStringLiteral("Undo ") + QLatin1String(steps[i].name));
        s->UndoClick();
        EXPECT_EQ(s->RedoCaption(), QStringLiteral("Redo ") + QLatin1String(steps[i].name));
        const QString diff = Diff(Now(trace), before[i]);
        EXPECT_TRUE(diff.isEmpty())
            << "undo " << steps[i].name << " (" << i << "): " << qPrintable(diff);
    }
    EXPECT_FALSE(s->CanUndo());
    EXPECT_EQ(s->UndoCaption(), QStringLiteral("Undo"));
    for (size_t i = 0; i < steps.size(); ++i) {
        s->RedoClick();
        const QString diff = Diff(Now(trace), after[i]);
        EXPECT_TRUE(diff.isEmpty())
            << "redo " << steps[i].name << " (" << i << "): " << qPrintable(diff);
    }
    EXPECT_FALSE(s->CanRedo());
    EXPECT_TRUE(prompts.events.filter(QStringLiteral("error:")).isEmpty())
        << qPrintable(prompts.events.join('\n'));
}

TEST_F(History, SavingKeepsTheHistoryOpeningStartsANewOne)
{
    PlotWeekdays();
    s->ChooseChartType(FigureNamed("extensions"));
    Anchors(PlotPoint(0.2, 0.8), PlotPoint(0.6, 0.3));
    s->DrawBtnClick();
    const QString study = dir.filePath(QStringLiteral("kept.aurigon"));
    ASSERT_TRUE(s->SaveStudy(study));
    EXPECT_EQ(s->UndoDepth(), 4);
    s->EraseBtnClick();
    ASSERT_TRUE(s->OpenStudy(study));
    EXPECT_FALSE(s->CanUndo());
    EXPECT_FALSE(s->CanRedo());
    s->DirBtnClick();
    ASSERT_TRUE(s->CanUndo());
    OpenWeekdays(300);
    EXPECT_FALSE(s->CanUndo());
}

// On another chart the figures and anchors come back by their dates and
// prices; the pixels the markers left on the old one are not put back, the
// markers are drawn afresh.
TEST_F(History, AClearIsUndoneOnAnotherChart)
{
    struct Row {
        const char* name;
        std::function<void(ChartSession&)> change;
    };
    const Row rows[] = {
        {"another size", [this](ChartSession& c) { c.ResizeChart(width + 120, height - 60); }},
        {"colour", [](ChartSession& c) { c.ColorClick(true); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        PlotWeekdays();
        s->ChooseChartType(FigureNamed("corrections"));
        s->P1BtnClick();
        Click(PlotPoint(0.1, 0.9));
        s->P2BtnClick();
        Click(PlotPoint(0.5, 0.1), true);
        s->DrawBtnClick();
        // P1 moved off the figure's anchor.
        s->P1BtnClick();
        Click(PlotPoint(0.15, 0.8));
        const Study drawn = s->CurrentStudy(QString());
        const double p2Price = s->GloVar.P2Anchor.price;
        s->EraseBtnClick();
        row.change(*s);
        const QSize size = s->chart.image().size();
        const bool mono = s->Monochrome();
        s->UndoClick();
        const Study back = s->CurrentStudy(QString());
        ASSERT_EQ(back.figures.size(), 1u);
        // The figure and the snapped anchor in dates and prices, not in pixels.
        EXPECT_EQ(back.figures[0].p1.date, drawn.figures[0].p1.date);
        EXPECT_EQ(back.figures[0].p2.date, drawn.figures[0].p2.date);
        EXPECT_EQ(back.figures[0].p2.price, drawn.figures[0].p2.price);
        EXPECT_EQ(s->GloVar.P2Anchor.price, p2Price);
        EXPECT_EQ(s->chart.image().size(), size);
        EXPECT_EQ(s->Monochrome(), mono);
        // P1's cross is where P1 was moved to (P2's lies under the third point's ring).
        ASSERT_TRUE(s->GloVar.P1MarkerShown && s->GloVar.P2MarkerShown && s->GloVar.P3MarkerShown);
        EXPECT_EQ(s->chart.image().pixelColor(s->AnchorPixelsNow().P1X,
                                              s->GloVar.PlotBottom - s->AnchorPixelsNow().P1Y),
                  mono ? QColor(Qt::black) : QColor(255, 0, 0));
    }
}
