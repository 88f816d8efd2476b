// Figures kept through every move of the chart: each move draws them again
// from their dates and prices, so their values come back the same.
#include "tests/FiguresScript.h"

namespace {
class KeptFigures : public FiguresScript {
protected:
    ScriptRun Run(const QString& moves)
    {
        return RunWith(moves, QStringLiteral("values after.csv\nstate\n"));
    }
};
} // namespace

TEST_F(KeptFigures, EveryMoveBackDrawsTheSameFiguresWithTheSameValues)
{
    const struct {
        const char* name;
        const char* moves;
    } rows[] = {
        {"previous and next period by key", "key Left\nkey Right"},
        {"previous and next period by button", "press ToolButton1\npress ToolButton2"},
        {"wheel in and out", "wheel 500 300 1\nwheel 500 300 -1"},
        {"shift+wheel back and forth", "wheel 500 300 1 shift\nwheel 500 300 -1 shift"},
        {"one scale throughout on and off", "press ToolBar2\npress ToolBar2"},
        {"the Dates dialog elsewhere and back",
         "dates FRecordEdit=2000 LRecordEdit=2300\ndates FRecordEdit=2340 LRecordEdit=2600"},
        {"a resize and back", "resize 1300 900\nresize 1100 760"},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(dir.isValid());
        const ScriptRun r = Run(QString::fromLatin1(row.moves));
        ASSERT_EQ(r.status, 0) << row.name;
        const QStringList before = Rows("before.csv"), after = Rows("after.csv");
        // A header, the two kept figures' rows and the current one's.
        ASSERT_GT(before.size(), 4) << row.name;
        EXPECT_EQ(after, before) << row.name;
        EXPECT_EQ(StateVar(r.last("state"), "FigureCount"), 3) << row.name;
        // The figure type chosen last stays chosen.
        EXPECT_EQ(StateVar(r.last("state"), "ChartType"), 6) << row.name;
    }
}
