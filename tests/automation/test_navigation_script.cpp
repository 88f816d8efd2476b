// Moving the chart and the scale options through scripts: a pan stops at
// the file's ends, a drag on the price axis stretches the scale by its rule,
// the log scale is kept by the study or refused with its reason.
#include <QJsonObject>
#include <cmath>

#include "tests/FiguresScript.h"

namespace {
class Navigation : public FiguresScript {};

double Num(const QJsonObject& state, const char* name)
{
    return StateVar(state, name).toDouble(-1);
}
} // namespace

TEST_F(Navigation, PanStopsAtTheFileEnds)
{
    // The sample's last record is shown: a drag to later days has nowhere to go.
    const ScriptRun r =
        RunWith(QStringLiteral(
                    "state\ndrag 500 300 100 300 shift\nstate\ndrag 100 300 900 300 shift\nstate"),
                QString());
    ASSERT_EQ(r.status, 0);
    const QList<QJsonObject> s = StateReports(r);
    ASSERT_EQ(s.size(), 3);
    EXPECT_EQ(Num(s[1], "LastRecord"), Num(s[0], "RecordCount"));
    EXPECT_EQ(Num(s[1], "FirstRecord"), Num(s[0], "FirstRecord"));
    // The range keeps its length whatever the pan.
    EXPECT_EQ(Num(s[2], "LastRecord") - Num(s[2], "FirstRecord"),
              Num(s[0], "LastRecord") - Num(s[0], "FirstRecord"));
    EXPECT_LT(Num(s[2], "FirstRecord"), Num(s[0], "FirstRecord"));
}

TEST_F(Navigation, DragOnThePriceAxisStretchesTheScaleAsOneStep)
{
    const ScriptRun r =
        RunWith(QStringLiteral("state\ndrag 30 200 30 330 shift\nstate\ndrag 30 330 "
                               "30 100 shift\nstate\nundo\nundo\nstate"),
                QString());
    ASSERT_EQ(r.status, 0);
    const QList<QJsonObject> s = StateReports(r);
    ASSERT_EQ(s.size(), 4);
    // Down squeezes the prices together: the scale spans more, around its middle.
    // 130 of the plot's 520 rows: the span grows by 2^(1/4).
    EXPECT_NEAR(Num(s[1], "ScaleRange"), Num(s[0], "ScaleRange") * std::pow(2, 0.25),
                1e-9 * Num(s[0], "ScaleRange"));
    EXPECT_NEAR(Num(s[1], "ScaleTop") + Num(s[1], "ScaleBottom"),
                Num(s[0], "ScaleTop") + Num(s[0], "ScaleBottom"), 1e-6);
    // Up spreads them apart.
    EXPECT_LT(Num(s[2], "ScaleRange"), Num(s[1], "ScaleRange"));
    EXPECT_EQ(Num(s[1], "FigureCount"), 3);
    EXPECT_EQ(Num(s[3], "ScaleTop"), Num(s[0], "ScaleTop"));
    EXPECT_EQ(Num(s[3], "ScaleRange"), Num(s[0], "ScaleRange"));
}

TEST_F(Navigation, LogScaleIsSavedInTheStudy)
{
    const ScriptRun r = RunWith(QStringLiteral("state\nmenu \"View/Log scale\"\nstate\nstudy save "
                                               "log.study\nmenu \"View/Log scale\"\n"
                                               "state\nstudy open log.study\nstate"),
                                QString());
    ASSERT_EQ(r.status, 0);
    const QList<QJsonObject> s = StateReports(r);
    ASSERT_EQ(s.size(), 4);
    EXPECT_FALSE(StateVar(s[0], "LogScale").toBool());
    EXPECT_TRUE(StateVar(s[1], "LogScale").toBool());
    // The figures' values on either scale:
    // FigureScales.EachShapeGivesTheSameValuesWhateverTheChartShows.
    EXPECT_EQ(Num(s[1], "FigureCount"), 3);
    EXPECT_FALSE(StateVar(s[2], "LogScale").toBool());
    // The study keeps the scale it was saved with.
    EXPECT_TRUE(StateVar(s[3], "LogScale").toBool());
    EXPECT_TRUE(QString::fromUtf8(ReadBytes(dir.filePath(QStringLiteral("log.study"))))
                    .contains(QLatin1String("\"logScale\": true")));
}

TEST_F(Navigation, LogScaleRefusedForPricesAtOrBelowZero)
{
    ASSERT_TRUE(dir.isValid());
    const QString path = WriteFile(dir, QStringLiteral("spread.txt"),
                                   "Date,Open,High,Low,Close\n"
                                   "01/02/2025,1,2,-1,0.5\n"
                                   "01/03/2025,0.5,1.5,-0.5,1\n"
                                   "01/06/2025,1,2,0,1.5\n");
    const ScriptRun r =
        RunScript(dir.path(), QStringLiteral("ack\npress FileBtn\nopen \"%1\"\npress "
                                             "PlotBtn\nmenu \"View/Log scale\"\nstate")
                                  .arg(path));
    ASSERT_EQ(r.status, 0);
    const QJsonObject m = r.last("message");
    EXPECT_TRUE(m[QStringLiteral("text")].toString().startsWith(
        QLatin1String("A log scale needs prices above zero")))
        << m[QStringLiteral("text")].toString().toStdString();
    EXPECT_FALSE(StateVar(r.last("state"), "LogScale").toBool());
}
