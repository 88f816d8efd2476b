// A history from 1 December 1899 through every path a person takes with a
// date, and weekly and monthly bars through the script lines that stand for
// the View menu, the navigation buttons, studies and the mouse's pan and
// zoom, which count whole bars.
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <cmath>

#include "tests/OldIndex.h"
#include "tests/Support.h"

namespace {
// The column of slot k on the chart a state report describes.
int SlotX(const QJsonObject& state, int k)
{
    const double left = StateVar(state, "PlotLeft").toDouble(),
                 right = StateVar(state, "PlotRight").toDouble();
    return int(left + std::lround(k * (right - left) / StateVar(state, "SlotCount").toDouble()));
}

int MidRow(const QJsonObject& state)
{
    return (StateVar(state, "PlotTop").toInt() + StateVar(state, "PlotBottom").toInt()) / 2;
}

class OldHistory : public ScriptInFolder {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        days = OldIndexSessions(QDate(1900, 3, 30));
        prices = WriteFile(dir, QStringLiteral("djia.csv"), OldIndexFile(days));
    }
    ScriptRun Go(QString text) { return Run(text.replace(QStringLiteral("@PRICES@"), prices)); }
    // The record number of a day of the history.
    int RecordOf(const QDate& d) const
    {
        for (size_t i = 0; i < days.size(); ++i)
            if (days[i].date == d)
                return int(i) + 1;
        return 0;
    }
    std::vector<OldSession> days;
    QString prices;
};

const char* const OpenAndPlot = R"(ack
press FileBtn
open "@PRICES@"
state
dates FDateEdit=1899-12-04 LDateEdit=1900-03-30
state
trace trace.txt
press PlotBtn
trace off
state
)";
} // namespace

// Read, shown, chosen, kept as an anchor and exported: each path a date
// before 1900 takes.
TEST_F(OldHistory, EveryPathOfADateBefore1900)
{
    const ScriptRun plot = Go(QString::fromLatin1(OpenAndPlot));
    ASSERT_EQ(plot.status, 0);
    // Read: nothing refused, the first day -29, the last the file's.
    EXPECT_EQ(plot.kinds().count(QStringLiteral("message")), 0)
        << plot.kinds().join(u' ').toStdString();
    const QList<QJsonObject> states = StateReports(plot);
    ASSERT_EQ(states.size(), 3);
    EXPECT_EQ(StateVar(states[0], "FirstFileDate"), -29);
    EXPECT_EQ(StateVar(states[0], "LastFileDate"), OldDay(days.back().date));
    EXPECT_EQ(StateVar(states[0], "RecordCount"), int(days.size()));
    EXPECT_TRUE(StateVar(states[0], "P1Date").isNull());
    // Chosen: Monday 4 December 1899 is the third record.
    EXPECT_EQ(StateVar(states[1], "FirstRecord"), 3);
    EXPECT_EQ(StateVar(states[1], "LastRecord"), int(days.size()));
    // Shown: every record a bar, the status bar and the labels in 1899.
    const QJsonObject chart = states[2];
    EXPECT_EQ(StateVar(chart, "LoadedCount"), int(days.size()) - 2);
    EXPECT_EQ(chart[QStringLiteral("panels")].toArray()[1].toString(),
              QStringLiteral("4 Dec 1899 - 30 Mar 1900"));
    const QStringList trace = Rows(QStringLiteral("trace.txt"));
    EXPECT_FALSE(
        trace.filter(QRegularExpression(QStringLiteral("^text .*\"\\d+ Dec 1899\"$"))).isEmpty());
    EXPECT_FALSE(trace.filter(QStringLiteral("4 Dec 1899-30 Mar 1900")).isEmpty());

    // Kept as an anchor: P1 on Saturday 30 December 1899 (day 0), P2 in March.
    const int dayZeroSlot = RecordOf(QDate(1899, 12, 30)) - 2;
    ASSERT_EQ(dayZeroSlot, 20);
    const QString figure =
        QStringLiteral("press P1Btn\nclick %1 %2\npress P2Btn\nclick %3 %4\ntype 4\n"
                       "press DrawBtn\nstate\nvalues values.csv\nstudy save old.aurigon\n")
            .arg(SlotX(chart, dayZeroSlot))
            .arg(MidRow(chart) + 60)
            .arg(SlotX(chart, 70))
            .arg(MidRow(chart) - 60);
    const ScriptRun drawn = Go(QString::fromLatin1(OpenAndPlot) + figure +
                               QStringLiteral("study open old.aurigon\nstate\nvalues again.csv\n"));
    ASSERT_EQ(drawn.status, 0)
        << drawn.last("error")[QStringLiteral("text")].toString().toStdString();
    const QList<QJsonObject> after = StateReports(drawn);
    ASSERT_EQ(after.size(), 5);
    EXPECT_EQ(StateVar(after[3], "P1Date"), 0);
    EXPECT_EQ(StateVar(after[3], "FigureCount"), 1);
    EXPECT_EQ(StateVar(after[4], "P1Date"), 0);
    EXPECT_EQ(StateVar(after[4], "FigureCount"), 1);
    // Exported: the anchor's day in the values, before and after the study.
    for (const char* file : {"values.csv", "again.csv"}) {
        const QStringList rows = Rows(QLatin1String(file));
        ASSERT_GE(rows.size(), 2) << file;
        EXPECT_EQ(rows[1].split(u',').value(7), QStringLiteral("1899-12-30")) << file;
    }
    EXPECT_TRUE(ReadBytes(dir.filePath(QStringLiteral("old.aurigon"))).contains("\"1899-12-30\""));
}

namespace {
// Six years of an old index with its holidays and Saturday sessions.
class WeeklyBars : public OldHistory {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        days = OldIndexSessions(QDate(1905, 12, 29));
        prices = WriteFile(dir, QStringLiteral("djia.csv"), OldIndexFile(days));
        // Each week's first record, from the sessions by ISO week.
        for (size_t i = 0; i < days.size(); ++i)
            if (i == 0 || days[i].date.weekNumber() != days[i - 1].date.weekNumber())
                weekStarts.push_back(int(i) + 1);
    }
    // The week (1 the file's first) of a record.
    int WeekOf(int record) const
    {
        return int(std::upper_bound(weekStarts.begin(), weekStarts.end(), record) -
                   weekStarts.begin());
    }
    // Weekly bars of records 800 to 1200, 65 weeks a period, then the moves.
    ScriptRun Weekly(const QString& moves)
    {
        return Go(QStringLiteral("ack\npress FileBtn\nopen \"@PRICES@\"\n"
                                 "dates FRecordEdit=800 LRecordEdit=1200\npress PlotBtn\n"
                                 "menu \"View/Weekly\"\nperiod 65\nstate\n") +
                  moves);
    }
    // The week under column x of a weekly chart.
    int WeekUnder(const QJsonObject& state, int x) const
    {
        const double left = StateVar(state, "PlotLeft").toDouble(),
                     right = StateVar(state, "PlotRight").toDouble();
        const int slot = std::clamp(
            int(std::lround((x - left) * StateVar(state, "SlotCount").toDouble() / (right - left))),
            1, StateVar(state, "LoadedCount").toInt());
        return WeekOf(StateVar(state, "FirstRecord").toInt()) + slot - 1;
    }
    std::vector<int> weekStarts;
};
} // namespace

// View > Weekly: the range keeps its days in whole weeks, the period buttons
// move by weeks, and View > Daily brings the days back.
TEST_F(WeeklyBars, NavigationCountsWeeks)
{
    const ScriptRun r = Go(
        QStringLiteral("ack\npress FileBtn\nopen \"@PRICES@\"\n"
                       "dates FRecordEdit=8 LRecordEdit=40\npress PlotBtn\n"
                       "menu \"View/Weekly\"\nstate\nperiod 5\npress ToolButton2\nstate\n"
                       "press ToolButton1\npress ToolButton1\nstate\n"
                       "menu \"View/Monthly\"\nstate\nmenu \"View/Daily\"\nstate\n"
                       "menu \"View/Weekly\"\nkey End\nstate\n"
                       "study save w.aurigon\nmenu \"View/Daily\"\nstudy open w.aurigon\nstate\n"));
    ASSERT_EQ(r.status, 0);
    const QList<QJsonObject> s = StateReports(r);
    ASSERT_EQ(s.size(), 7);
    // Records 8 and 40 lie in weeks 3 and 9 (from Friday 1 December): seven bars.
    auto firstOf = [&](int week) { return weekStarts[size_t(week - 1)]; };
    auto lastOf = [&](int week) {
        return week < int(weekStarts.size()) ? weekStarts[size_t(week)] - 1 : int(days.size());
    };
    const int w1 = WeekOf(8), w2 = WeekOf(40);
    EXPECT_EQ(StateVar(s[0], "Timeframe"), QStringLiteral("weekly"));
    EXPECT_EQ(StateVar(s[0], "LoadedCount"), w2 - w1 + 1);
    EXPECT_EQ(StateVar(s[0], "FirstRecord"), 8); // the range itself keeps its records
    // Next by five weeks.
    EXPECT_EQ(StateVar(s[1], "FirstRecord"), firstOf(w1 + 5));
    EXPECT_EQ(StateVar(s[1], "LastRecord"), lastOf(w2 + 5));
    EXPECT_EQ(StateVar(s[1], "LoadedCount"), w2 - w1 + 1);
    // Back by ten: stopped at the first week, six weeks long.
    EXPECT_EQ(StateVar(s[2], "FirstRecord"), 1);
    EXPECT_EQ(StateVar(s[2], "LastRecord"), lastOf(w2 - w1 + 1));
    EXPECT_EQ(StateVar(s[3], "Timeframe"), QStringLiteral("monthly"));
    EXPECT_EQ(StateVar(s[3], "LoadedCount"), 2); // December 1899 and January 1900
    EXPECT_EQ(StateVar(s[4], "Timeframe"), QStringLiteral("daily"));
    EXPECT_EQ(StateVar(s[4], "LoadedCount"), lastOf(w2 - w1 + 1));
    // End: the last five weeks.
    const int weeks = int(weekStarts.size());
    EXPECT_EQ(StateVar(s[5], "LastRecord"), int(days.size()));
    EXPECT_EQ(StateVar(s[5], "FirstRecord"), firstOf(weeks - 4));
    EXPECT_EQ(StateVar(s[5], "LoadedCount"), 5);
    // The study keeps the timeframe.
    EXPECT_EQ(StateVar(s[6], "Timeframe"), QStringLiteral("weekly"));
    EXPECT_TRUE(
        ReadBytes(dir.filePath(QStringLiteral("w.aurigon"))).contains("\"timeframe\": \"weekly\""));
}

TEST_F(WeeklyBars, AShiftDragPansByWholeBars)
{
    const struct {
        const char* name;
        int dx;
    } rows[] = {{"right, to earlier weeks", 130}, {"left, to later weeks", -95}};
    for (const auto& row : rows) {
        const ScriptRun r = Weekly(
            QStringLiteral("drag 500 300 %1 310 shift\nstate\nundo\nstate\n").arg(500 + row.dx));
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

TEST_F(WeeklyBars, CtrlWheelKeepsTheBarUnderThePointer)
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
            Weekly(QStringLiteral("wheel %1 300 %2 ctrl\nstate\n").arg(row.x).arg(row.notches));
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
