// A step of the history keeps the session's groups of values by value: each
// group changed alone is one step, and undoing it gives every group back
// whole, redoing it the values the step left.
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

TEST_F(Snapshot, EachGroupChangedAloneComesBackWhole)
{
    struct Row {
        const char* name;
        std::function<void(ChartSession&)> change;
        // The group the change must reach.
        std::function<bool(const Groups&, const Groups&)> differs;
    };
    auto self = this;
    const Row rows[] = {
        {"range, the blank days",
         [](ChartSession& c) {
             c.PlotBtnClick();
             ASSERT_EQ(
                 c.DatesAccept(QStringLiteral("120"), QStringLiteral("280"), QStringLiteral("4")),
                 DatesAnswer::Taken);
             c.PlotBtnClick();
         },
         [](const Groups& a, const Groups& b) { return a.range != b.range; }},
        {"range, the previous period", [](ChartSession& c) { c.ToolButton1Click(); },
         [](const Groups& a, const Groups& b) { return a.range != b.range; }},
        {"anchors, P1 moved",
         [self](ChartSession& c) {
             c.P1BtnClick();
             self->Click(self->PlotPoint(0.3, 0.7));
         },
         [](const Groups& a, const Groups& b) { return a.anchors != b.anchors; }},
        {"anchors, the third point",
         [self](ChartSession&) { self->Click(self->PlotPoint(0.7, 0.5)); },
         [](const Groups& a, const Groups& b) { return a.anchors != b.anchors; }},
        {"figure, its type",
         [](ChartSession& c) { c.ChooseChartType(FigureKindNamed("fan-lines")->number); },
         [](const Groups& a, const Groups& b) { return a.figure != b.figure; }},
        {"figure, RATIO", [](ChartSession& c) { c.RatioBtnClick(); },
         [](const Groups& a, const Groups& b) {
             return a.figure.Ratio != b.figure.Ratio && a.ellipse != b.ellipse;
         }},
        {"ellipse, grown by Draw", [](ChartSession& c) { c.DrawBtnClick(); },
         [](const Groups& a, const Groups& b) { return a.ellipse != b.ellipse; }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        PlotWeekdays();
        Figure();
        const Groups before = Of(s->GloVar);
        const int depth = s->UndoDepth();
        row.change(*s);
        const Groups after = Of(s->GloVar);
        ASSERT_TRUE(row.differs(before, after));
        EXPECT_EQ(s->UndoDepth(), depth + 1);
        s->UndoClick();
        EXPECT_TRUE(Of(s->GloVar) == before);
        s->RedoClick();
        EXPECT_TRUE(Of(s->GloVar) == after);
    }
}

// What follows from the kept values is no step of its own.
TEST_F(Snapshot, AChangeOutsideTheKeptGroupsIsNoStep)
{
    PlotWeekdays();
    Figure();
    const Groups before = Of(s->GloVar);
    const int depth = s->UndoDepth();
    s->ColorClick(!s->GloVar.Monochrome);
    s->Image1MouseMove(PlotPoint(0.4, 0.4).x(), PlotPoint(0.4, 0.4).y());
    EXPECT_EQ(s->UndoDepth(), depth);
    EXPECT_TRUE(Of(s->GloVar) == before);
}
