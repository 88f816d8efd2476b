// The automation runner against the real main window, offscreen.
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include "app/automation/ScriptParse.h"
#include "app/automation/ScriptRunner.h"
#include "tests/Support.h"

namespace {
class Script : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        prices = WriteFile(dir, QStringLiteral("prices.txt"), WeekdayFile(2000));
    }
    ScriptRun Go(const QString& text)
    {
        return RunScript(dir.path(), text.arg(prices, dir.path()));
    }
    QTemporaryDir dir;
    QString prices;
};

} // namespace

TEST(ScriptParse, Words)
{
    EXPECT_EQ(*SplitScriptLine(QStringLiteral("  press   FileBtn ")),
              QStringList({QStringLiteral("press"), QStringLiteral("FileBtn")}));
    EXPECT_EQ(*SplitScriptLine(QStringLiteral("open \"/a b/c.txt\"")),
              QStringList({QStringLiteral("open"), QStringLiteral("/a b/c.txt")}));
    EXPECT_EQ(*SplitScriptLine(QStringLiteral("dates FRecordEdit=\"\"")),
              QStringList({QStringLiteral("dates"), QStringLiteral("FRecordEdit=")}));
    // Comments and an open quote: Script.ErrorsNameTheirLine.
    EXPECT_EQ(ParsePageSize(QStringLiteral("4800X6600")), QSize(4800, 6600));
    EXPECT_FALSE(ParsePageSize(QStringLiteral("0x5")));
    EXPECT_FALSE(ParsePageSize(QStringLiteral("99999999999x5")));
    EXPECT_FALSE(ParsePageSize(QStringLiteral("5x5x5")));
}

// Which controls react before "ack": Shell.CreationAndFirstActivationValues.
TEST_F(Script, BeforeTheSplashIsAcknowledgedNothingReactsAndTheChartHasItsSize)
{
    qputenv("AURIGON_CHART_SIZE", "800x500");
    const ScriptRun r = Go(QStringLiteral("press FileBtn\nopen \"%1\"\nstate\nack\nstate\n"));
    qunsetenv("AURIGON_CHART_SIZE");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(StateVar(r.events[0], "RecordCount"), 0);
    EXPECT_EQ(StateVar(r.last("state"), "ChartWidth"), 800);
    EXPECT_EQ(StateVar(r.last("state"), "ChartHeight"), 500);
}

TEST_F(Script, ErrorsNameTheirLine)
{
    const struct {
        const char* text;
        int status, line; // line: of the last event, 0 for none
    } rows[] = {
        {"ack\n\n# fine\nfrobnicate\nstate\n", 2, 4},
        {"ack\npress FileBtn\nstate\n", 2, 2}, // the dialog wanted its answer
        {"ack\nopen x\n", 2, 2},
        {"ack\nimage \"unterminated\n", 2, 2},
        {"ack\nimage \"%2/none/x.png\"\n", 2, 2},     // a picture that cannot be written
        {"study open \"%2/s.aurigon\"\nack\n", 2, 1}, // nothing opens before the splash is gone
    };
    for (const auto& row : rows) {
        const ScriptRun r = Go(QLatin1String(row.text));
        EXPECT_EQ(r.status, row.status) << row.text;
        ASSERT_FALSE(r.events.isEmpty()) << row.text;
        EXPECT_EQ(r.events.last()[QStringLiteral("line")], row.line) << row.text;
    }
    // A file that cannot be opened is the program's error, not the script's.
    const ScriptRun r = Go(QStringLiteral("ack\npress FileBtn\nopen \"%2/none.txt\"\nstate\n"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.kinds(), QStringList({QStringLiteral("error"), QStringLiteral("state")}));
}

TEST_F(Script, KeyLinesArePressesOnTheWindowThatTheShortcutsSee)
{
    // What each key does: Trader.KeysMoveTheRangeAsTheButtonsDo. Here the
    // runner's side: a key reaches the shortcuts, a dialog a key opens takes
    // the next line, a key no shortcut takes does nothing, a bad key stops.
    const ScriptRun r = Go(QStringLiteral(
        "ack\npress FileBtn\nopen \"%1\"\npress PlotBtn\nstate\nkey Left\nstate\n"
        "key Ctrl+E\nsaveas \"%2/shot\"\nkey Ctrl+Shift+O\nopen cancel\nkey F13\nstate\n"
        "key Left+Right\n"));
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.events.last()[QStringLiteral("line")], 14);
    QList<std::pair<int, int>> ranges;
    for (const QJsonObject& e : r.events)
        if (e[QStringLiteral("event")] == QLatin1String("state"))
            ranges << std::make_pair(StateVar(e, "FirstRecord").toInt(),
                                     StateVar(e, "LastRecord").toInt());
    const std::pair<int, int> plotted(1740, 2000), previous(1480, 1740);
    const QList<std::pair<int, int>> expected = {plotted, previous, previous};
    EXPECT_EQ(ranges, expected);
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("shot.png"))));
}

// The record fields, the figures, the drag, the navigation and the pictures
// they leave: Demo.PicturesAndDrawingOperationsAreUnchanged; the BMP a
// picture is written as: Session.SaveAndPrint; a print to a PDF file:
// Process.NoImageOrPrintPluginIsLoaded.
TEST_F(Script, DatesAndPeriodLines)
{
    const ScriptRun r =
        Go(QStringLiteral("ack\npress FileBtn\nopen \"%1\"\n"
                          "dates FRecordEdit=1000 LRecordEdit=1260 NdayEdit=10 LeaveSpace=1\n"
                          "press PlotBtn\nperiod 22\nstate\n"));
    ASSERT_EQ(r.status, 0) << QJsonDocument(r.events.last()).toJson().toStdString();
    const QJsonObject chart = r.last("state");
    EXPECT_EQ(StateVar(chart, "PeriodLength"), 22);
    EXPECT_EQ(chart[QStringLiteral("panels")].toArray()[2], QStringLiteral("Holiday"));
}

TEST_F(Script, TheLayoutAndAnglesDialogsAndARealPriceFile)
{
    // Newest day first, semicolons and decimal commas: the layout is worked
    // out on open, said once as an event, and shown in the state report.
    prices = WriteFile(dir, QStringLiteral("kurse.csv"), SemicolonFile(300, true));
    const ScriptRun r =
        Go(QStringLiteral("ack\nlayout headline=0 DateOrder=1 dateFmtCB=mm/dd/yyyy\nangles 40 abc "
                          "50\nangles 40.0 61,8 45\n"
                          "state\npress FileBtn\nopen \"%1\"\npress PlotBtn\nstate\npress "
                          "PlotBtn\nlayout sepCB=0\nstate\n"));
    ASSERT_EQ(r.status, 0);
    ASSERT_EQ(r.kinds(), QStringList({QStringLiteral("error"), QStringLiteral("state"),
                                      QStringLiteral("message"), QStringLiteral("state"),
                                      QStringLiteral("state")}));
    EXPECT_EQ(StateVar(r.events[1], "HasHeaderLine"), false);
    EXPECT_EQ(StateVar(r.events[1], "DateFormat"), 1);
    EXPECT_EQ(StateVar(r.events[1], "FanAngle2"), 61.8);
    EXPECT_TRUE(
        r.events[2][QStringLiteral("text")].toString().contains(QStringLiteral("semicolons")));
    // How such files read and chart: PriceFiles; here the state report's side.
    EXPECT_EQ(StateVar(r.events[3], "FieldSeparator"), QStringLiteral(";"));
    EXPECT_EQ(StateVar(r.events[3], "NewestFirst"), true);
    EXPECT_EQ(StateVar(r.last("state"), "FieldSeparator"), QStringLiteral(","));
}

// Pictures on a full disk: FullDisk.PicturesAreWholeOrNotWrittenAtAll, as
// every picture goes through the same writer.
TEST_F(Script, PrintsOnAFullDiskFailAndSaySo)
{
    const SmallDisk disk(dir.filePath(QStringLiteral("small")), "128k");
    if (!disk.mounted())
        GTEST_SKIP() << SmallDisk::Why;
    disk.fill();
    const ScriptRun r =
        Go(QStringLiteral("ack\npress FileBtn\nopen \"%1\"\npress PlotBtn\n"
                          "press PrintBtn\nprintto \"%2/small/chart.pdf\" 4800x6600\n"));
    EXPECT_EQ(r.kinds(), QStringList(QStringLiteral("error")));
    const QString print = r.last("error")[QStringLiteral("text")].toString();
    EXPECT_TRUE(print.startsWith(QStringLiteral("Cannot create file ")) &&
                print.endsWith(QStringLiteral("No space left on device")))
        << print.toStdString();
    EXPECT_FALSE(QFile::exists(disk.path + QStringLiteral("/chart.pdf")));
}

TEST_F(Script, TheTitleNamesTheStudyAndMarksUnsavedChanges)
{
    const ScriptRun r = Go(QStringLiteral(
        "ack\npress FileBtn\nopen \"%1\"\npress PlotBtn\nstate\n"
        "press P1Btn\nclick 400 300\npress P2Btn\nclick 520 240\ntype 1\npress DrawBtn\nstate\n"
        "study save \"%2/week.aurigon\"\nstate\n"));
    ASSERT_EQ(r.status, 0);
    QList<std::pair<QString, bool>> seen;
    for (const QJsonObject& e : r.events)
        if (e[QStringLiteral("event")] == QLatin1String("state")) {
            const QString caption = e[QStringLiteral("caption")].toString();
            seen << std::make_pair(caption.section(QStringLiteral(" - "), 0, 0),
                                   StateVar(e, "Modified").toBool());
            // The chart's own caption follows the name.
            EXPECT_TRUE(
                caption.section(QStringLiteral(" - "), 1).startsWith(QStringLiteral("Aurigon")))
                << caption.toStdString();
        }
    const QList<std::pair<QString, bool>> expected = {{QStringLiteral("Untitled"), false},
                                                      {QStringLiteral("Untitled*"), true},
                                                      {QStringLiteral("week.aurigon"), false}};
    EXPECT_EQ(seen, expected);
}

// Ctrl+wheel takes the next period of the list around the pointer: the day
// under it stays under it, and each turn is one undo step.
TEST_F(Script, CtrlWheelZoomsAroundThePointer)
{
    const ScriptRun r = Go(QStringLiteral(
        "ack\npress FileBtn\nopen \"%1\"\npress PlotBtn\npress ToolButton1\npress ToolButton1\n"
        "move 600 300\nstate\n"
        "wheel 600 300 1 ctrl\nmove 600 300\nstate\nwheel 600 300 -2 ctrl\nmove 600 300\nstate\n"
        "key Ctrl+Z\nkey Ctrl+Z\nstate\nwheel 600 300 1 sideways\n"));
    EXPECT_EQ(r.status, 2); // the last line's word is refused
    QList<QJsonObject> states;
    for (const QJsonObject& e : r.events)
        if (e[QStringLiteral("event")] == QLatin1String("state"))
            states << e;
    ASSERT_EQ(states.size(), 4);
    auto dateAt = [](const QJsonObject& s) {
        return s[QStringLiteral("panels")].toArray()[7].toString();
    };
    auto period = [](const QJsonObject& s) { return StateVar(s, "PeriodLength").toInt(); };
    auto range = [](const QJsonObject& s) {
        return std::make_pair(StateVar(s, "FirstRecord").toInt(),
                              StateVar(s, "LastRecord").toInt());
    };
    EXPECT_EQ(period(states[0]), 260);
    EXPECT_EQ(period(states[1]), 130);
    EXPECT_EQ(period(states[2]), 520);
    for (int i : {1, 2}) {
        EXPECT_EQ(dateAt(states[i]), dateAt(states[0])) << i;
        EXPECT_EQ(range(states[i]).second - range(states[i]).first, period(states[i])) << i;
    }
    // The range moved around the pointer, not just from its end.
    EXPECT_LT(range(states[1]).second, range(states[0]).second);
    EXPECT_GT(range(states[2]).second, range(states[0]).second);
    EXPECT_EQ(range(states[3]), range(states[0]));
    EXPECT_TRUE(
        r.events.last()[QStringLiteral("text")].toString().contains(QLatin1String("'ctrl'")));
}

TEST_F(Script, ALineWithTheWrongWordsCannotRunAndSaysWhy)
{
    const struct {
        const char* name;
        const char* line;
        const char* error;
    } rows[] = {
        {"unknown", "frobnicate", "cannot run 'frobnicate'"},
        {"names are exact", "Ack", "cannot run 'Ack'"},
        {"a word too many", "ack now", "cannot run 'ack now'"},
        {"a word too few", "press", "cannot run 'press'"},
        {"undo takes none", "undo 2", "cannot run 'undo 2'"},
        {"study neither save nor open", "study copy x", "cannot run 'study copy x'"},
        {"study without its path", "study save", "cannot run 'study save'"},
        {"wheel short", "wheel 1 2", "cannot run 'wheel 1 2'"},
        {"wheel long", "wheel 1 2 3 shift x", "cannot run 'wheel 1 2 3 shift x'"},
        {"wheel's fourth word", "wheel 1 2 3 alt",
         "wheel takes only 'shift' or 'ctrl' after its notches"},
        {"move short", "move 1", "move needs X Y"},
        {"down short", "down 1 2", "down needs X Y BUTTON"},
        {"no such button", "down 1 2 sideways", "BUTTON is left, right or middle"},
        {"an answer unasked", "saveas", "no dialog is waiting for 'saveas'"},
        {"a question unasked", "answer Save", "no question is waiting for 'answer'"},
        {"no such control", "press Nothing", "no control named Nothing"},
        {"resize too small", "resize 0 5",
         "resize needs a width and a height of 1 to 16384 pixels"},
        {"drag short", "drag 1 2 3", "cannot run 'drag 1 2 3'"},
        {"drag's fifth word", "drag 1 2 3 4 ctrl", "drag takes only 'shift' after its points"},
        {"drag not a number", "drag a 2 3 4", "drag needs X1 Y1 X2 Y2 as whole numbers"},
        {"wait not a number", "wait soon", "wait needs the milliseconds (0 to 600000), not 'soon'"},
        {"wait below zero", "wait -5", "wait needs the milliseconds (0 to 600000), not '-5'"},
        {"two keys", "key Left+Right",
         "key needs one key such as Left or Ctrl+E, not 'Left+Right'"},
        {"no such key", "key Frobnicate",
         "key needs one key such as Left or Ctrl+E, not 'Frobnicate'"},
        {"a chord", "key Ctrl+A,Ctrl+B",
         "key needs one key such as Left or Ctrl+E, not 'Ctrl+A,Ctrl+B'"},
        {"only a modifier", "key Ctrl+", "key needs one key such as Left or Ctrl+E, not 'Ctrl+'"},
        {"a date not as ISO writes it", "dates FDateEdit=14/02/2025",
         "FDateEdit takes a date as yyyy-mm-dd, not '14/02/2025'"},
    };
    for (const auto& row : rows) {
        const ScriptRun r =
            RunScript(dir.path(), QStringLiteral("ack\n%1\n").arg(QLatin1String(row.line)));
        EXPECT_EQ(r.status, 2) << row.name;
        ASSERT_FALSE(r.events.isEmpty()) << row.name;
        EXPECT_EQ(r.events.last()[QStringLiteral("line")], 2) << row.name;
        EXPECT_EQ(r.events.last()[QStringLiteral("text")].toString(), QLatin1String(row.error))
            << row.name;
    }
}

TEST_F(Script, EveryLineRefusesStrayWords)
{
    const QStringList usages = ScriptRunner::ScriptLineUsages();
    ASSERT_GE(usages.size(), 30);
    for (const QString& usage : usages) {
        const QString name = usage.section(QLatin1Char(' '), 0, 0);
        const ScriptRun r =
            RunScript(dir.path(), QStringLiteral("ack\n%1 x x x x x x x x x\n").arg(name));
        EXPECT_EQ(r.status, 2) << usage.toStdString();
        ASSERT_FALSE(r.events.isEmpty()) << usage.toStdString();
        EXPECT_EQ(r.events.last()[QStringLiteral("line")], 2) << usage.toStdString();
    }
}
