// The View menu's figure switches through scripts: what they do to the chart
// is the session's (FigureView tests); here a script keeps no settings.
#include <QFileInfo>
#include <QTemporaryDir>

#include "tests/Support.h"

namespace {
const char* const Plot = R"(ack
press FileBtn
open "@SAMPLES@/sample.txt"
dates FRecordEdit=2340 LRecordEdit=2600 NdayEdit=0
press PlotBtn
)";

class FigureViewScript : public ScriptInFolder {};
} // namespace

TEST_F(FigureViewScript, ASwitchTurnedOnIsNotKeptForTheNextRun)
{
    ASSERT_TRUE(dir.isValid());
    // What the switches do to the chart: FigureView.ScaleAndBlankDaysGrowToTheFiguresAndBack.
    const ScriptRun on =
        Run(QLatin1String(Plot) + QStringLiteral("menu \"View/Scale to figures\"\n"
                                                 "menu \"View/Room for time goals\"\nstate\n"));
    ASSERT_EQ(on.status, 0) << on.kinds().join(' ').toStdString();
    EXPECT_EQ(StateVar(on.last("state"), "ScaleToFigures"), true);
    EXPECT_EQ(StateVar(on.last("state"), "TimeGoalRoom"), true);
    // The next run starts from the defaults again, and nothing is left
    // beside the layout file.
    const ScriptRun next = Run(QLatin1String(Plot) + QStringLiteral("state\n"));
    ASSERT_EQ(next.status, 0);
    EXPECT_EQ(StateVar(next.last("state"), "ScaleToFigures"), false);
    EXPECT_EQ(StateVar(next.last("state"), "TimeGoalRoom"), false);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("fview.dat"))));
}
