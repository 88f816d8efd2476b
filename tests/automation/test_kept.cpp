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
        const QJsonObject vars = r.last("state")[QStringLiteral("vars")].toObject();
        EXPECT_EQ(vars[QStringLiteral("FigureCount")].toInt(), 3) << row.name;
        // The figure type chosen last stays chosen.
        EXPECT_EQ(vars[QStringLiteral("ChartType")].toInt(), 6) << row.name;
    }
}

TEST_F(KeptFigures, FiguresOffTheRangeStayAndComeBack)
{
    ASSERT_TRUE(dir.isValid());
    // One period back: every figure's dates are off the chart, none is drawn,
    // yet all three are still the chart's and return with their dates.
    const ScriptRun r = Run(QStringLiteral("key Left\nvalues away.csv\nstate\nkey Right"));
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(Rows("away.csv").size(), 1); // the header alone
    EXPECT_EQ(Rows("after.csv"), Rows("before.csv"));
    EXPECT_EQ(
        r.last("state")[QStringLiteral("vars")].toObject()[QStringLiteral("FigureCount")].toInt(),
        3);
}

TEST_F(KeptFigures, AfterAResizeTheLevelsAndAnchorsReadTheSame)
{
    ASSERT_TRUE(dir.isValid());
    const ScriptRun r = Run(QStringLiteral("resize 1400 950"));
    ASSERT_EQ(r.status, 0);
    const QJsonObject vars = r.last("state")[QStringLiteral("vars")].toObject();
    EXPECT_GT(vars[QStringLiteral("ChartWidth")].toInt(), 980);
    const QStringList before = Rows("before.csv"), after = Rows("after.csv");
    ASSERT_EQ(after.size(), before.size());
    // The levels (a price and no date) and the anchors are read in prices and
    // dates, whatever the pixels; a slanted line's ends are not yet.
    for (qsizetype i = 1; i < before.size(); ++i) {
        const QStringList b = before[i].split(QLatin1Char(',')),
                          a = after[i].split(QLatin1Char(','));
        ASSERT_EQ(a.size(), b.size());
        EXPECT_EQ(a.mid(0, 3), b.mid(0, 3)) << before[i].toStdString();
        EXPECT_EQ(a.mid(7), b.mid(7)) << before[i].toStdString();
        if (b[2].startsWith(QLatin1String("level"))) {
            EXPECT_EQ(a[3], b[3]) << before[i].toStdString();
        }
        if (b[2].startsWith(QLatin1String("time goal"))) {
            EXPECT_EQ(a[4], b[4]) << before[i].toStdString();
        }
    }
}
