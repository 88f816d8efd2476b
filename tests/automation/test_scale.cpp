// Figures keep their values in prices and dates whatever the chart shows:
// weekly or monthly bars, a log price axis, and for those built on angles
// and distances the scale of their first Draw whatever the window's size,
// the range shown or a save and reopen; a study kept without a scale opens
// with the one of the default chart.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "data/RecordDates.h"
#include "tests/Support.h"

namespace {
const char* const DemoRange = R"(ack
press FileBtn
open "@SAMPLES@/sample.txt"
dates FRecordEdit=2340 LRecordEdit=2600 NdayEdit=30
press PlotBtn
)";

struct ShapedFigure {
    const char* name;
    // P1, P2 (and a third point) set and the figure drawn once.
    const char* draw;
};

// The first five keep the scale of their first Draw.
const ShapedFigure Shaped[] = {
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
const size_t ScaledShapes = 5;

class FigureScales : public ScriptInFolder {};
} // namespace

// Figures are kept in daily slots and linear prices: whatever the size,
// range, bars or price axis the chart shows, before the figure was drawn
// (setup) or after (moves), the same values come back.
TEST_F(FigureScales, EachShapeGivesTheSameValuesWhateverTheChartShows)
{
    const struct {
        const char* name;
        const char* setup;
        const char* moves;
        bool scaledOnly; // a size or range keeps the values of the shapes with a scale only
    } moves[] = {
        {"700x700", "", "resize 700 700", true},
        {"980x590", "", "resize 980 590", true},
        {"1400x900", "", "resize 1400 900", true},
        {"small then large", "", "resize 700 700\nresize 1400 900", true},
        {"a longer period by the wheel", "", "wheel 500 300 -1", true},
        {"a period back and forth", "", "key Left\nkey Right", true},
        {"a period back and forth by button", "", "press ToolButton1\npress ToolButton2", true},
        {"shift+wheel back and forth", "", "wheel 500 300 1 shift\nwheel 500 300 -1 shift", true},
        {"one scale throughout on and off", "", "press ToolBar2\npress ToolBar2", true},
        {"a wider range in the Dates dialog", "", "dates FRecordEdit=2200 LRecordEdit=2600", true},
        {"saved and reopened at another size", "",
         "study save s.aurigon\nresize 1400 900\nstudy open s.aurigon", true},
        {"weekly", "", "menu \"View/Weekly\"", false},
        {"monthly", "", "menu \"View/Monthly\"", false},
        {"weekly and back", "", "menu \"View/Weekly\"\nmenu \"View/Daily\"", false},
        {"log scale", "", "menu \"View/Log scale\"", false},
        {"log scale on and off", "", "menu \"View/Log scale\"\nmenu \"View/Log scale\"", false},
        {"weekly on a log axis", "", "menu \"View/Log scale\"\nmenu \"View/Weekly\"", false},
        {"saved on weekly, reopened and made daily", "",
         "menu \"View/Weekly\"\nstudy save w.aurigon\nmenu \"View/Monthly\"\n"
         "study open w.aurigon\nmenu \"View/Daily\"",
         false},
        {"drawn on weekly bars, then daily", "menu \"View/Weekly\"", "menu \"View/Daily\"", false},
        {"drawn on a log axis, then linear", "menu \"View/Log scale\"", "menu \"View/Log scale\"",
         false},
        {"drawn weekly on a log axis, then daily linear",
         "menu \"View/Weekly\"\nmenu \"View/Log scale\"",
         "menu \"View/Log scale\"\nmenu \"View/Daily\"", false},
    };
    for (const ShapedFigure& fig : Shaped)
        for (const auto& move : moves) {
            ASSERT_TRUE(dir.isValid());
            const std::string row = std::string(fig.name) + ", " + move.name;
            if (move.scaledOnly && &fig - Shaped >= std::ptrdiff_t(ScaledShapes))
                continue;
            const ScriptRun r =
                Run(QLatin1String(DemoRange) + QLatin1String(move.setup) + QLatin1Char('\n') +
                    QLatin1String(fig.draw) + QStringLiteral("\nvalues before.csv\n") +
                    QLatin1String(move.moves) + QStringLiteral("\nvalues after.csv\nstate\n"));
            ASSERT_EQ(r.status, 0) << row;
            const QStringList before = Rows(QStringLiteral("before.csv"));
            ASSERT_GT(before.size(), 1) << row;
            EXPECT_EQ(Rows(QStringLiteral("after.csv")), before) << row;
            EXPECT_EQ(StateVar(r.last("state"), "FigureCount").toInt(), 1) << row;
        }
}

TEST_F(FigureScales, TheShapeIsTheFirstDrawsNotTheWindowsNow)
{
    // Drawn at 700x700 the fan is steeper in prices than at the default size:
    // a figure takes the scale of the chart it is first drawn on.
    ASSERT_TRUE(dir.isValid());
    const QString fan = QLatin1String(Shaped[0].draw);
    ASSERT_EQ(Run(QLatin1String(DemoRange) + fan + QStringLiteral("\nvalues default.csv\n")).status,
              0);
    ASSERT_EQ(Run(QLatin1String(DemoRange) + QStringLiteral("resize 700 700\n") + fan +
                  QStringLiteral("\nvalues small.csv\nresize 1400 900\nvalues large.csv\n"))
                  .status,
              0);
    const QStringList first = Rows(QStringLiteral("default.csv")),
                      small = Rows(QStringLiteral("small.csv"));
    ASSERT_EQ(small.size(), first.size());
    EXPECT_NE(small, first);
    EXPECT_EQ(Rows(QStringLiteral("large.csv")), small);
}

TEST_F(FigureScales, AStudyKeptWithoutAScaleOpensWithTheDefaultChartsScale)
{
    ASSERT_TRUE(dir.isValid());
    QString draws;
    for (size_t i = 0; i < ScaledShapes; ++i)
        draws += QLatin1String(Shaped[i].draw) + QStringLiteral("\npress ClipButton\n");
    ASSERT_EQ(Run(QLatin1String(DemoRange) + draws +
                  QStringLiteral("values kept.csv\nstudy save new.aurigon\n"))
                  .status,
              0);
    // The same study as one written before scales were kept.
    QJsonObject root =
        QJsonDocument::fromJson(ReadBytes(dir.filePath(QStringLiteral("new.aurigon")))).object();
    QJsonArray figures = root[QStringLiteral("figures")].toArray();
    ASSERT_EQ(figures.size(), 5);
    QJsonArray scales;
    for (qsizetype i = 0; i < figures.size(); ++i) {
        QJsonObject f = figures[i].toObject();
        scales.append(f[QStringLiteral("scale")]);
        EXPECT_TRUE(f.contains(QStringLiteral("scale"))) << i;
        EXPECT_GT(f[QStringLiteral("scale")].toObject()[QStringLiteral("pricePerSlot")].toDouble(),
                  0)
            << i;
        f.remove(QStringLiteral("scale"));
        figures[i] = f;
    }
    root[QStringLiteral("figures")] = figures;
    WriteFile(dir, QStringLiteral("old.aurigon"), QJsonDocument(root).toJson());

    // Opened on a larger window, and on a smaller one, it draws what the
    // default chart drew.
    for (const char* size : {"resize 1400 900", "resize 700 700"}) {
        const ScriptRun r = Run(QStringLiteral("ack\n%1\nstudy open old.aurigon\nvalues old.csv\n"
                                               "study save resaved.aurigon\nstate\n")
                                    .arg(QLatin1String(size)));
        ASSERT_EQ(r.status, 0) << size;
        EXPECT_EQ(Rows(QStringLiteral("old.csv")), Rows(QStringLiteral("kept.csv"))) << size;
        EXPECT_EQ(StateVar(r.last("state"), "FigureCount").toInt(), 5) << size;
        // Saved again, it keeps the scale it was given.
        const QJsonArray again =
            QJsonDocument::fromJson(ReadBytes(dir.filePath(QStringLiteral("resaved.aurigon"))))
                .object()[QStringLiteral("figures")]
                .toArray();
        ASSERT_EQ(again.size(), scales.size()) << size;
        for (qsizetype i = 0; i < again.size(); ++i)
            EXPECT_EQ(again[i].toObject()[QStringLiteral("scale")], scales[i])
                << size << " figure " << i;
    }
}

TEST_F(FigureScales, NoAnchorMovesByADayAfterAResize)
{
    ASSERT_TRUE(dir.isValid());
    // Anchors clicked at many columns, some near a slot's edge; each size
    // draws them again from their dates.
    for (int x : {401, 433, 467, 502, 538}) {
        const ScriptRun r =
            Run(QLatin1String(DemoRange) +
                QStringLiteral("press P1Btn\nclick %1 350\npress P2Btn\nclick %2 190\ntype 8\n"
                               "press DrawBtn\nstate\nresize 700 700\nresize 1400 900\n"
                               "resize 1013 641\nvalues v.csv\nstate\n")
                    .arg(x)
                    .arg(x + 97));
        ASSERT_EQ(r.status, 0) << x;
        const QList<QJsonObject> states = StateReports(r);
        ASSERT_EQ(states.size(), 2) << x;
        for (const char* key : {"P1Date", "P2Date", "P1Price", "P2Price"})
            EXPECT_EQ(StateVar(states[1], key), StateVar(states[0], key)) << x << key;
        const QStringList rows = Rows(QStringLiteral("v.csv"));
        ASSERT_GT(rows.size(), 1) << x;
        const QStringList cells = rows[1].split(QLatin1Char(','));
        EXPECT_EQ(DayFromIsoText(cells[7]), StateVar(states[0], "P1Date").toDouble()) << x;
        EXPECT_EQ(DayFromIsoText(cells[9]), StateVar(states[0], "P2Date").toDouble()) << x;
    }
}
