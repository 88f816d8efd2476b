// A history from 1 December 1899 through every path a person takes with a
// date, and weekly and monthly bars through the script lines that stand for
// the View menu, the navigation buttons and studies.
#include <QJsonArray>
#include <QJsonDocument>

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

class OldHistory : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        days = OldIndexSessions(QDate(1900, 3, 30));
        prices = WriteFile(dir, QStringLiteral("djia.csv"), OldIndexFile(days));
    }
    ScriptRun Go(QString text) const
    {
        return RunScript(dir.path(), text.replace(QStringLiteral("@PRICES@"), prices));
    }
    QStringList Rows(const char* name) const
    {
        return QString::fromUtf8(ReadBytes(dir.filePath(QLatin1String(name))))
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    // The record number of a day of the history.
    int RecordOf(const QDate& d) const
    {
        for (size_t i = 0; i < days.size(); ++i)
            if (days[i].date == d)
                return int(i) + 1;
        return 0;
    }
    QTemporaryDir dir;
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
    const QStringList trace = Rows("trace.txt");
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
        const QStringList rows = Rows(file);
        ASSERT_GE(rows.size(), 2) << file;
        EXPECT_EQ(rows[1].split(u',').value(7), QStringLiteral("1899-12-30")) << file;
    }
    EXPECT_TRUE(ReadBytes(dir.filePath(QStringLiteral("old.aurigon"))).contains("\"1899-12-30\""));
}

namespace {
class WeeklyBars : public OldHistory {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        days = OldIndexSessions(QDate(1900, 12, 31));
        prices = WriteFile(dir, QStringLiteral("djia.csv"), OldIndexFile(days));
        // Each week's first record, from the sessions by ISO week.
        for (size_t i = 0; i < days.size(); ++i)
            if (i == 0 || days[i].date.weekNumber() != days[i - 1].date.weekNumber())
                weekStarts.push_back(int(i) + 1);
    }
    std::vector<int> weekStarts;
};
} // namespace

// View > Weekly: the range keeps its days in whole weeks, the period buttons
// move by weeks, and View > Daily brings the days back.
TEST_F(WeeklyBars, NavigationCountsWeeks)
{
    const ScriptRun r =
        Go(QStringLiteral("ack\npress FileBtn\nopen \"@PRICES@\"\n"
                          "dates FRecordEdit=8 LRecordEdit=40\npress PlotBtn\n"
                          "menu \"View/Weekly\"\nstate\nperiod 5\npress ToolButton2\nstate\n"
                          "press ToolButton1\npress ToolButton1\nstate\n"
                          "menu \"View/Monthly\"\nstate\nmenu \"View/Daily\"\nstate\n"
                          "menu \"View/Weekly\"\nkey End\nstate\n"));
    ASSERT_EQ(r.status, 0);
    const QList<QJsonObject> s = StateReports(r);
    ASSERT_EQ(s.size(), 6);
    // Records 8 and 40 lie in weeks 3 and 9 (from Friday 1 December): seven bars.
    auto weekOf = [&](int record) {
        return int(std::upper_bound(weekStarts.begin(), weekStarts.end(), record) -
                   weekStarts.begin());
    };
    auto firstOf = [&](int week) { return weekStarts[size_t(week - 1)]; };
    auto lastOf = [&](int week) {
        return week < int(weekStarts.size()) ? weekStarts[size_t(week)] - 1 : int(days.size());
    };
    const int w1 = weekOf(8), w2 = weekOf(40);
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
}

// A figure keeps its days and prices through weekly bars and back, and a
// study keeps the timeframe.
TEST_F(WeeklyBars, FiguresStayOnTheirDatesAndStudiesKeepTheTimeframe)
{
    const QString open =
        QStringLiteral("ack\npress FileBtn\nopen \"@PRICES@\"\n"
                       "dates FRecordEdit=100 LRecordEdit=250\npress PlotBtn\nstate\n");
    const ScriptRun plot = Go(open);
    ASSERT_EQ(plot.status, 0);
    const QJsonObject chart = plot.last("state");
    // Anchors on a Wednesday and a Thursday: inside their weeks, not on their first days.
    const int a = 123, b = 227;
    const QString draw =
        QStringLiteral("press P1Btn\nclick %1 %2\npress P2Btn\nclick %3 %4\ntype 4\n"
                       "press DrawBtn\nstate\nvalues daily.csv\n")
            .arg(SlotX(chart, a - 99))
            .arg(MidRow(chart) + 50)
            .arg(SlotX(chart, b - 99))
            .arg(MidRow(chart) - 50);
    const ScriptRun r =
        Go(open + draw +
           QStringLiteral("menu \"View/Weekly\"\nstate\nvalues weekly.csv\nstudy save w.aurigon\n"
                          "menu \"View/Monthly\"\nvalues monthly.csv\nmenu \"View/Daily\"\nstate\n"
                          "values back.csv\nstudy open w.aurigon\nstate\nvalues reopened.csv\n"));
    ASSERT_EQ(r.status, 0) << r.last("error")[QStringLiteral("text")].toString().toStdString();
    const QList<QJsonObject> s = StateReports(r);
    ASSERT_EQ(s.size(), 5);
    const QJsonValue p1 = StateVar(s[1], "P1Date"), p2 = StateVar(s[1], "P2Date");
    EXPECT_EQ(p1, OldDay(days[size_t(a - 1)].date));
    EXPECT_EQ(p2, OldDay(days[size_t(b - 1)].date));
    EXPECT_EQ(StateVar(s[2], "Timeframe"), QStringLiteral("weekly"));
    EXPECT_LT(StateVar(s[2], "LoadedCount").toInt(), StateVar(s[1], "LoadedCount").toInt() / 4);
    EXPECT_EQ(StateVar(s[2], "FigureCount"), 1);
    EXPECT_EQ(StateVar(s[3], "P1Date"), p1);
    EXPECT_EQ(StateVar(s[3], "P2Date"), p2);
    EXPECT_EQ(StateVar(s[3], "LoadedCount"), StateVar(s[1], "LoadedCount"));
    EXPECT_EQ(StateVar(s[4], "Timeframe"), QStringLiteral("weekly"));
    EXPECT_EQ(StateVar(s[4], "FigureCount"), 1);
    // The anchors' days and prices, the same in every file.
    auto anchors = [&](const char* file) {
        const QStringList rows = Rows(file);
        return rows.size() < 2 ? QStringList() : rows[1].split(u',').mid(7, 4);
    };
    const QStringList daily = anchors("daily.csv");
    ASSERT_EQ(daily.size(), 4);
    EXPECT_EQ(daily[0], days[size_t(a - 1)].date.toString(Qt::ISODate));
    for (const char* file : {"weekly.csv", "monthly.csv", "back.csv", "reopened.csv"})
        EXPECT_EQ(anchors(file), daily) << file;
    EXPECT_TRUE(
        ReadBytes(dir.filePath(QStringLiteral("w.aurigon"))).contains("\"timeframe\": \"weekly\""));
}
