// A step of the history keeps the session's groups of values by value; what
// lies outside them is no step. Each group changed, undone and redone:
// History.EveryStepIsUndoneAndRedoneExactly.
#include "app/session/GloVar.h"
#include "app/session/SharedInputs.h"
#include "tests/Support.h"
#include "tools/FigureTable.h"

namespace {
// Every group a step keeps, as the session holds it.
struct Groups {
    RangeValues range;
    AnchorValues anchors;
    FigureChoice figure;
    EllipseMemory ellipse;
    bool operator==(const Groups&) const = default;
};

Groups Of(const SharedState& g)
{
    return {g, g, g, g.ellipse};
}

class Snapshot : public SessionTest {
protected:
    // An ellipse drawn on two anchors: every group holds something.
    void Figure()
    {
        s->ChooseChartType(FigureKindNamed("ellipse")->number);
        Anchors(PlotPoint(0.2, 0.8), PlotPoint(0.5, 0.2));
        s->DrawBtnClick();
    }
};
} // namespace

// What follows from the kept values is no step of its own, nor is a choice
// that changes nothing. A step after an undo drops the redo:
// HistoryValues.KeepsTheNewestWithinTheLimitAndDropsRedoOnANewStep.
TEST_F(Snapshot, AChangeOutsideTheKeptGroupsIsNoStep)
{
    PlotWeekdays();
    Figure();
    const Groups before = Of(s->GloVar);
    const int depth = s->UndoDepth();
    s->ChooseChartType(s->GloVar.ChartType);
    s->ColorClick(!s->GloVar.Monochrome);
    s->Image1MouseMove(PlotPoint(0.4, 0.4).x(), PlotPoint(0.4, 0.4).y());
    EXPECT_EQ(s->UndoDepth(), depth);
    EXPECT_TRUE(Of(s->GloVar) == before);
}
