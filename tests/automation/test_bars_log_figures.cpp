// Figures kept in daily slots and linear prices whatever the chart shows:
// weekly and monthly bars, a log price axis, a study saved on one and
// opened on the other, and the mouse's pan and zoom counting bars; a
// timeframe change and a log scale toggle are each one step of Undo.
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>

#include "tests/OldIndex.h"
#include "tests/Support.h"

namespace {
const char* const DemoRange = R"(ack
press FileBtn
open "@SAMPLES@/sample.txt"
dates FRecordEdit=2340 LRecordEdit=2600 NdayEdit=30
press PlotBtn
)";

struct Shape {
    const char* name;
    const char* draw; // P1, P2 (and a third point) set and the figure drawn once
};

const Shape Shapes[] = {
    {"fan lines", "press P1Btn\nclick 430 350\npress P2Btn\nclick 560 190\nclick 600 420\ntype "
                  "3\npress DrawBtn"},
    {"arcs", "press P1Btn\nclick 430 350\npress P2Btn\nclick 520 250\ntype 8\npress DrawBtn"},
    {"spiral", "press P1Btn\nclick 430 300\npress P2Btn\nclick 470 260\ntype 1\npress DrawBtn"},
    {"ellipse", "press P1Btn\nclick 380 380\npress P2Btn\nclick 600 200\ntype 2\npress DrawBtn"},
    {"channel", "press P1Btn\nclick 300 420\npress P2Btn\nclick 600 250\nclick 450 250\ntype "
                "7\npress DrawBtn"},
    {"extensions", "press P1Btn\nclick 430 350\npress P2Btn\nclick 560 190\ntype 4\npress DrawBtn"},
    {"corrections",
     "press P1Btn\nclick 300 200\npress P2Btn\nclick 480 400\ntype 5\npress DrawBtn"},
};

// The slot under column x on the chart a state report describes.
int SlotAt(const QJsonObject& state, int x)
{
    const double left = StateVar(state, "PlotLeft").toDouble(),
                 right = StateVar(state, "PlotRight").toDouble();
    return int(std::lround((x - left) * StateVar(state, "SlotCount").toDouble() / (right - left)));
}

class BarsAndLog : public ScriptInFolder {};
} // namespace

TEST_F(BarsAndLog, EachFigureKeepsItsValuesOnOtherBarsAndOnALogAxis)
{
    const struct {
        const char* name;
        const char* moves;
    } moves[] = {
        {"weekly", "menu \"View/Weekly\""},
        {"monthly", "menu \"View/Monthly\""},
        {"weekly and back", "menu \"View/Weekly\"\nmenu \"View/Daily\""},
        {"log scale", "menu \"View/Log scale\""},
        {"log scale on and off", "menu \"View/Log scale\"\nmenu \"View/Log scale\""},
        {"weekly on a log axis", "menu \"View/Log scale\"\nmenu \"View/Weekly\""},
        {"saved on weekly, reopened and made daily",
         "menu \"View/Weekly\"\nstudy save w.aurigon\nmenu \"View/Monthly\"\n"
         "study open w.aurigon\nmenu \"View/Daily\""},
    };
    ASSERT_TRUE(dir.isValid());
    for (const Shape& fig : Shapes)
        for (const auto& move : moves) {
            const std::string row = std::string(fig.name) + ", " + move.name;
            const ScriptRun r =
                Run(QLatin1String(DemoRange) + QLatin1String(fig.draw) +
                    QStringLiteral("\nvalues before.csv\n") + QLatin1String(move.moves) +
                    QStringLiteral("\nvalues after.csv\nstate\n"));
            ASSERT_EQ(r.status, 0) << row;
            const QStringList before = Rows(QStringLiteral("before.csv"));
            ASSERT_GT(before.size(), 1) << row;
            EXPECT_EQ(Rows(QStringLiteral("after.csv")), before) << row;
            EXPECT_EQ(StateVar(r.last("state"), "FigureCount").toInt(), 1) << row;
        }
}

TEST_F(BarsAndLog, AFigureFirstDrawnOnWeeklyBarsOrALogAxisIsTheSameOnDailyLinearOnes)
{
    const struct {
        const char* name;
        const char* on;
        const char* off;
    } views[] = {
        {"weekly", "menu \"View/Weekly\"", "menu \"View/Daily\""},
        {"log", "menu \"View/Log scale\"", "menu \"View/Log scale\""},
        {"weekly log", "menu \"View/Weekly\"\nmenu \"View/Log scale\"",
         "menu \"View/Log scale\"\nmenu \"View/Daily\""},
    };
    ASSERT_TRUE(dir.isValid());
    for (const Shape& fig : Shapes)
        for (const auto& view : views) {
            const std::string row = std::string(fig.name) + ", " + view.name;
            const ScriptRun r =
                Run(QLatin1String(DemoRange) + QLatin1String(view.on) + QLatin1Char('\n') +
                    QLatin1String(fig.draw) + QStringLiteral("\nvalues drawn.csv\n") +
                    QLatin1String(view.off) + QStringLiteral("\nvalues daily.csv\nstate\n"));
            ASSERT_EQ(r.status, 0) << row;
            const QStringList drawn = Rows(QStringLiteral("drawn.csv"));
            ASSERT_GT(drawn.size(), 1) << row;
            EXPECT_EQ(Rows(QStringLiteral("daily.csv")), drawn) << row;
            EXPECT_EQ(StateVar(r.last("state"), "Timeframe"), QStringLiteral("daily")) << row;
            EXPECT_EQ(StateVar(r.last("state"), "LogScale"), false) << row;
        }
}

TEST_F(BarsAndLog, ATimeframeChangeAndALogToggleAreEachOneUndoStep)
{
    const struct {
        const char* name;
        const char* change;
        const char* timeframe;
        bool log;
    } rows[] = {
        {"weekly", "menu \"View/Weekly\"", "weekly", false},
        {"monthly", "menu \"View/Monthly\"", "monthly", false},
        {"log scale", "menu \"View/Log scale\"", "daily", true},
    };
    ASSERT_TRUE(dir.isValid());
    for (const auto& row : rows) {
        const ScriptRun r = Run(
            QLatin1String(DemoRange) + QLatin1String(Shapes[0].draw) +
            QStringLiteral("\npress ClipButton\n") + QLatin1String(Shapes[2].draw) +
            QStringLiteral("\nvalues before.csv\nstate\n") + QLatin1String(row.change) +
            QStringLiteral("\nstate\nundo\nstate\nvalues undone.csv\nredo\nstate\nvalues redone.csv"
                           "\nundo\nvalues again.csv\n"));
        ASSERT_EQ(r.status, 0) << row.name;
        const QList<QJsonObject> s = StateReports(r);
        ASSERT_EQ(s.size(), 4) << row.name;
        EXPECT_EQ(StateVar(s[1], "Timeframe"), QLatin1String(row.timeframe)) << row.name;
        EXPECT_EQ(StateVar(s[1], "LogScale"), row.log) << row.name;
        // Undo: the timeframe, scale, range and figures as they were.
        for (const char* name : {"Timeframe", "LogScale", "FirstRecord", "LastRecord",
                                 "LoadedCount", "ScaleTop", "ScaleBottom", "FigureCount"})
            EXPECT_EQ(StateVar(s[2], name), StateVar(s[0], name)) << row.name << ": " << name;
        EXPECT_EQ(Rows(QStringLiteral("undone.csv")), Rows(QStringLiteral("before.csv")))
            << row.name;
        EXPECT_EQ(Rows(QStringLiteral("again.csv")), Rows(QStringLiteral("before.csv")))
            << row.name;
        // Redo: the change again, with the very same figure values.
        EXPECT_EQ(StateVar(s[3], "Timeframe"), QLatin1String(row.timeframe)) << row.name;
        EXPECT_EQ(StateVar(s[3], "LogScale"), row.log) << row.name;
        EXPECT_EQ(Rows(QStringLiteral("redone.csv")), Rows(QStringLiteral("before.csv")))
            << row.name;
    }
}

namespace {
// Six years of an old index with its holidays and Saturday sessions, as
// weekly bars: the pan and the zoom count whole weeks.
class WeeklyMouse : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        days = OldIndexSessions(QDate(1905, 12, 29));
        prices = WriteFile(dir, QStringLiteral("djia.csv"), OldIndexFile(days));
        for (size_t i = 0; i < days.size(); ++i)
            if (i == 0 || days[i].date.weekNumber() != days[i - 1].date.weekNumber())
                weekStarts.push_back(int(i) + 1);
    }
    ScriptRun Go(const QString& moves) const
    {
        QString text = QStringLiteral("ack\npress FileBtn\nopen \"@PRICES@\"\n"
                                      "dates FRecordEdit=800 LRecordEdit=1200\npress PlotBtn\n"
                                      "menu \"View/Weekly\"\nperiod 65\nstate\n") +
                       moves;
        return RunScript(dir.path(), text.replace(QStringLiteral("@PRICES@"), prices));
    }
    // The week (1 the file's first) of a record.
    int WeekOf(int record) const
    {
        return int(std::upper_bound(weekStarts.begin(), weekStarts.end(), record) -
                   weekStarts.begin());
    }
    // The week under column x of a weekly chart.
    int WeekUnder(const QJsonObject& state, int x) const
    {
        const int slot = std::clamp(SlotAt(state, x), 1, StateVar(state, "LoadedCount").toInt());
        return WeekOf(StateVar(state, "FirstRecord").toInt()) + slot - 1;
    }
    QTemporaryDir dir;
    std::vector<OldSession> days;
    std::vector<int> weekStarts;
    QString prices;
};
} // namespace

TEST_F(WeeklyMouse, AShiftDragPansByWholeBars)
{
    const struct {
        const char* name;
        int dx;
    } rows[] = {{"right, to earlier weeks", 130}, {"left, to later weeks", -95}};
    for (const auto& row : rows) {
        const ScriptRun r =
            Go(QStringLiteral("drag 500 300 %1 310 shift\nstate\nundo\nstate\n").arg(500 + row.dx));
        ASSERT_EQ(r.status, 0) << row.name;
        const QList<QJsonObject> s = StateReports(r);
        ASSERT_EQ(s.size(), 3) << row.name;
        const double slotWidth =
            (StateVar(s[0], "PlotRight").toDouble() - StateVar(s[0], "PlotLeft").toDouble()) /
            StateVar(s[0], "SlotCount").toDouble();
        const int moved = int(std::lround(row.dx / slotWidth));
        ASSERT_NE(moved, 0) << row.name;
        // Moved by whole weeks: the same number of bars, the range on week starts.
        const int first = WeekOf(StateVar(s[0], "FirstRecord").toInt()),
                  last = WeekOf(StateVar(s[0], "LastRecord").toInt());
        EXPECT_EQ(WeekOf(StateVar(s[1], "FirstRecord").toInt()), first - moved) << row.name;
        EXPECT_EQ(WeekOf(StateVar(s[1], "LastRecord").toInt()), last - moved) << row.name;
        EXPECT_EQ(StateVar(s[1], "FirstRecord").toInt(), weekStarts[size_t(first - moved - 1)])
            << row.name;
        EXPECT_EQ(StateVar(s[1], "LoadedCount"), StateVar(s[0], "LoadedCount")) << row.name;
        // One step: Undo returns the range.
        EXPECT_EQ(StateVar(s[2], "FirstRecord"), StateVar(s[0], "FirstRecord")) << row.name;
        EXPECT_EQ(StateVar(s[2], "LastRecord"), StateVar(s[0], "LastRecord")) << row.name;
    }
}

TEST_F(WeeklyMouse, CtrlWheelKeepsTheBarUnderThePointer)
{
    const struct {
        const char* name;
        int x, notches;
    } rows[] = {
        {"in, near the left", 200, 1},
        {"in, in the middle", 500, 1},
        {"out, in the middle", 500, -1},
        {"out, near the right", 800, -1},
    };
    for (const auto& row : rows) {
        const ScriptRun r =
            Go(QStringLiteral("wheel %1 300 %2 ctrl\nstate\n").arg(row.x).arg(row.notches));
        ASSERT_EQ(r.status, 0) << row.name;
        const QList<QJsonObject> s = StateReports(r);
        ASSERT_EQ(s.size(), 2) << row.name;
        EXPECT_NE(StateVar(s[1], "LoadedCount"), StateVar(s[0], "LoadedCount")) << row.name;
        EXPECT_EQ(StateVar(s[1], "Timeframe"), QStringLiteral("weekly")) << row.name;
        // Whole weeks, with the week under the pointer still there.
        EXPECT_EQ(StateVar(s[1], "FirstRecord").toInt(),
                  weekStarts[size_t(WeekOf(StateVar(s[1], "FirstRecord").toInt()) - 1)])
            << row.name;
        EXPECT_EQ(WeekUnder(s[1], row.x), WeekUnder(s[0], row.x)) << row.name;
    }
}
