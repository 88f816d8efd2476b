// Moving the chart with the mouse and the scale options, through scripts:
// a Shift drag pans by the slots dragged over, a drag on the price axis
// stretches the scale, each one step that Undo takes back; the log scale
// and the volume pane keep the figures on their dates and prices.
#include <QJsonObject>
#include <cmath>

#include "tests/FiguresScript.h"

namespace {
class Navigation : public FiguresScript {
protected:
    static QJsonObject Vars(const QJsonObject& state)
    {
        return state[QStringLiteral("vars")].toObject();
    }
    static double Num(const QJsonObject& state, const char* name)
    {
        return Vars(state)[QLatin1String(name)].toDouble(-1);
    }
    // The states printed, in order.
    static QList<QJsonObject> States(const ScriptRun& r)
    {
        QList<QJsonObject> out;
        for (const QJsonObject& e : r.events)
            if (e[QStringLiteral("event")].toString() == QLatin1String("state"))
                out << e;
        return out;
    }
    // The sample with a volume column, in the test's folder.
    QString VolumeFile() const
    {
        QByteArray text = ReadBytes(QStringLiteral(SAMPLES_DIR "/sample.txt"));
        QList<QByteArray> lines = text.split('\n');
        QByteArray out = lines[0].trimmed() + ",Volume\n";
        for (qsizetype i = 1; i < lines.size(); ++i)
            if (!lines[i].trimmed().isEmpty())
                out += lines[i].trimmed() + (i % 2 ? ",41.2M\n" : ",2.51B\n");
        return WriteFile(dir, QStringLiteral("volume.txt"), out);
    }
};
} // namespace

TEST_F(Navigation, ShiftDragPansByTheSlotsDraggedAndUndoReturns)
{
    ASSERT_TRUE(dir.isValid());
    // The sample's range ends at its last record: later days need an earlier range first.
    const struct {
        const char* name;
        const char* first;
        int dx;
    } rows[] = {{"right, to earlier days", "", 120},
                {"left, to later days", "drag 300 300 700 300 shift\n", -90}};
    for (const auto& row : rows) {
        const ScriptRun r =
            RunWith(QLatin1String(row.first) +
                        QStringLiteral("values start.csv\nstate\ndrag 500 300 %1 320 "
                                       "shift\nstate\nundo\nvalues "
                                       "undone.csv\nstate")
                            .arg(500 + row.dx),
                    QString());
        ASSERT_EQ(r.status, 0) << row.name;
        const QList<QJsonObject> s = States(r);
        ASSERT_EQ(s.size(), 3) << row.name;
        const double slotWidth =
            (Num(s[0], "PlotRight") - Num(s[0], "PlotLeft")) / Num(s[0], "SlotCount");
        const int moved = int(std::lround(row.dx / slotWidth));
        ASSERT_NE(moved, 0) << row.name;
        // Whole slots: the day under the press ends under the release.
        EXPECT_EQ(Num(s[1], "FirstRecord"), Num(s[0], "FirstRecord") - moved) << row.name;
        EXPECT_EQ(Num(s[1], "LastRecord"), Num(s[0], "LastRecord") - moved) << row.name;
        // The figures are kept, on their dates and prices.
        EXPECT_EQ(Num(s[1], "FigureCount"), 3) << row.name;
        EXPECT_EQ(Num(s[1], "P1Price"), Num(s[0], "P1Price")) << row.name;
        // One step, and Undo returns to the very range and values.
        EXPECT_EQ(Num(s[2], "FirstRecord"), Num(s[0], "FirstRecord")) << row.name;
        EXPECT_EQ(Num(s[2], "LastRecord"), Num(s[0], "LastRecord")) << row.name;
        EXPECT_EQ(Rows("undone.csv"), Rows("start.csv")) << row.name;
    }
}

TEST_F(Navigation, PanStopsAtTheFileEnds)
{
    // The sample's last record is shown: a drag to later days has nowhere to go.
    const ScriptRun r =
        RunWith(QStringLiteral(
                    "state\ndrag 500 300 100 300 shift\nstate\ndrag 100 300 900 300 shift\nstate"),
                QString());
    ASSERT_EQ(r.status, 0);
    const QList<QJsonObject> s = States(r);
    ASSERT_EQ(s.size(), 3);
    EXPECT_EQ(Num(s[1], "LastRecord"), Num(s[0], "RecordCount"));
    EXPECT_EQ(Num(s[1], "FirstRecord"), Num(s[0], "FirstRecord"));
    // The range keeps its length whatever the pan.
    EXPECT_EQ(Num(s[2], "LastRecord") - Num(s[2], "FirstRecord"),
              Num(s[0], "LastRecord") - Num(s[0], "FirstRecord"));
    EXPECT_LT(Num(s[2], "FirstRecord"), Num(s[0], "FirstRecord"));
}

TEST_F(Navigation, WithoutShiftADragKeepsTheDesignsMeaning)
{
    // No Shift, no Select tool: the press is the design's click, the range stays.
    const ScriptRun r = RunWith(QStringLiteral("state\ndrag 500 300 620 300\nstate"), QString());
    ASSERT_EQ(r.status, 0);
    const QList<QJsonObject> s = States(r);
    ASSERT_EQ(s.size(), 2);
    EXPECT_EQ(Num(s[1], "FirstRecord"), Num(s[0], "FirstRecord"));
    EXPECT_EQ(Num(s[1], "ScaleTop"), Num(s[0], "ScaleTop"));
}

TEST_F(Navigation, DragOnThePriceAxisStretchesTheScaleAsOneStep)
{
    const ScriptRun r =
        RunWith(QStringLiteral("state\ndrag 30 200 30 330 shift\nstate\ndrag 30 330 "
                               "30 100 shift\nstate\nundo\nundo\nstate"),
                QString());
    ASSERT_EQ(r.status, 0);
    const QList<QJsonObject> s = States(r);
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

TEST_F(Navigation, LogScaleKeepsTheFiguresAndIsSavedInTheStudy)
{
    const ScriptRun r =
        RunWith(QStringLiteral("state\nmenu \"View/Log scale\"\nstate\nstudy save "
                               "log.study\nmenu \"View/Log scale\"\nvalues back.csv\n"
                               "state\nstudy open log.study\nstate"),
                QString());
    ASSERT_EQ(r.status, 0);
    const QList<QJsonObject> s = States(r);
    ASSERT_EQ(s.size(), 4);
    EXPECT_FALSE(Vars(s[0])[QStringLiteral("LogScale")].toBool());
    EXPECT_TRUE(Vars(s[1])[QStringLiteral("LogScale")].toBool());
    // On either scale the anchors are the same dates and prices.
    for (const char* name : {"P1Date", "P2Date", "P1Price", "P2Price", "FigureCount"})
        EXPECT_EQ(Num(s[1], name), Num(s[0], name)) << name;
    // Back on the linear scale, every figure has its values again.
    EXPECT_EQ(Rows("back.csv"), Rows("before.csv"));
    EXPECT_FALSE(Vars(s[2])[QStringLiteral("LogScale")].toBool());
    // The study keeps the scale it was saved with.
    EXPECT_TRUE(Vars(s[3])[QStringLiteral("LogScale")].toBool());
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
    EXPECT_FALSE(Vars(r.last("state"))[QStringLiteral("LogScale")].toBool());
}

TEST_F(Navigation, VolumePaneOfferedOnlyWithAVolumeColumn)
{
    ASSERT_TRUE(dir.isValid());
    const QString withVolume = VolumeFile();
    const ScriptRun r = RunScript(
        dir.path(),
        QStringLiteral("ack\npress FileBtn\nopen \"%1/sample.txt\"\npress PlotBtn\nmenu "
                       "\"View/Volume\"\nstate\npress PlotBtn\npress FileBtn\nopen \"%2\"\npress "
                       "PlotBtn\nstate\nmenu \"View/Volume\"\nstate\nmenu \"View/Volume\"\nstate")
            .arg(QStringLiteral(SAMPLES_DIR), withVolume));
    ASSERT_EQ(r.status, 0);
    const QList<QJsonObject> s = States(r);
    ASSERT_EQ(s.size(), 4);
    // The sample has no volume: the item does not react.
    EXPECT_FALSE(Vars(s[0])[QStringLiteral("VolumePane")].toBool());
    EXPECT_TRUE(Vars(s[2])[QStringLiteral("VolumePane")].toBool());
    // The plot gives a fifth of its height to the pane, and takes it back.
    const double full = Num(s[1], "PlotBottom") - Num(s[1], "PlotTop");
    EXPECT_EQ(Num(s[2], "PlotBottom"), Num(s[1], "PlotBottom") - std::floor(full / 5));
    EXPECT_EQ(Num(s[3], "PlotBottom"), Num(s[1], "PlotBottom"));
    EXPECT_FALSE(Vars(s[3])[QStringLiteral("VolumePane")].toBool());
}

TEST_F(Navigation, DragLineIsCheckedAsWritten)
{
    const struct {
        const char* line;
    } rows[] = {{"drag 1 2 3"}, {"drag 1 2 3 4 ctrl"}, {"drag a 2 3 4"}};
    for (const auto& row : rows) {
        const ScriptRun r =
            RunScript(dir.path(), QStringLiteral("ack\n") + QLatin1String(row.line));
        EXPECT_EQ(r.status, 2) << row.line;
        EXPECT_EQ(r.last("error")[QStringLiteral("line")].toInt(), 2) << row.line;
    }
}
