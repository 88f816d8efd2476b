// The automation runner against the real main window, offscreen.
#include <QApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/ScriptParse.h"
#include "tests/Support.h"

namespace {
class Script : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        prices = WriteFile(dir, QStringLiteral("prices.txt"), WeekdayFile(2000));
    }
    ScriptRun Go(const QString& text) { return RunScript(dir.path(), text.arg(prices, dir.path())); }
    QTemporaryDir dir;
    QString prices;
};

QJsonObject Button(const QJsonObject& state, const char* name)
{
    return state[QStringLiteral("buttons")].toObject()[QLatin1String(name)].toObject();
}
QJsonValue Var(const QJsonObject& state, const char* name)
{
    return state[QStringLiteral("vars")].toObject()[QLatin1String(name)];
}
} // namespace

TEST(ScriptParse, Words)
{
    EXPECT_EQ(*SplitScriptLine(QStringLiteral("  press   FileBtn ")),
              QStringList({QStringLiteral("press"), QStringLiteral("FileBtn")}));
    EXPECT_EQ(*SplitScriptLine(QStringLiteral("open \"/a b/c.txt\"")),
              QStringList({QStringLiteral("open"), QStringLiteral("/a b/c.txt")}));
    EXPECT_EQ(*SplitScriptLine(QStringLiteral("dates FRecordEdit=\"\"")),
              QStringList({QStringLiteral("dates"), QStringLiteral("FRecordEdit=")}));
    EXPECT_TRUE(SplitScriptLine(QStringLiteral("# comment"))->isEmpty());
    EXPECT_FALSE(SplitScriptLine(QStringLiteral("open \"unterminated")).has_value());
    int w = 0, h = 0;
    EXPECT_TRUE(ParsePageSize(QStringLiteral("4800x6600"), w, h));
    EXPECT_EQ(w, 4800);
    EXPECT_FALSE(ParsePageSize(QStringLiteral("0x5"), w, h));
    EXPECT_FALSE(ParsePageSize(QStringLiteral("99999999999x5"), w, h));
}

TEST_F(Script, NothingReactsBeforeTheSplashIsAcknowledged)
{
    const ScriptRun r =
        Go(QStringLiteral("press FileBtn\nopen \"%1\"\nstate\nack\nstate\nabout\n"));
    ASSERT_EQ(r.status, 0);
    const QJsonObject before = r.events[0];
    for (const QString& name : before[QStringLiteral("buttons")].toObject().keys())
        EXPECT_FALSE(
            Button(before, name.toLatin1().constData())[QStringLiteral("enabled")].toBool())
            << name.toStdString();
    EXPECT_EQ(before[QStringLiteral("panels")].toArray()[0], QStringLiteral(""));
    EXPECT_EQ(Var(before, "RecordCount"), 0);
    // The rest of the state after it: Shell.CreationAndFirstActivationValues.
    EXPECT_EQ(r.last("state")[QStringLiteral("panels")].toArray()[0],
              QStringLiteral("File not selected"));
}

TEST_F(Script, ChartSizeFromTheEnvironmentAndTheSampleScan)
{
    qputenv("AURIGON_CHART_SIZE", "800x500");
    prices = QStringLiteral(SAMPLES_DIR "/sample.txt");
    const ScriptRun r = Go(QStringLiteral("ack\npress FileBtn\nopen \"%1\"\nstate\n"));
    qunsetenv("AURIGON_CHART_SIZE");
    ASSERT_EQ(r.status, 0);
    const QJsonObject st = r.last("state");
    EXPECT_EQ(Var(st, "ChartWidth"), 800);
    EXPECT_EQ(Var(st, "ChartHeight"), 500);
    EXPECT_EQ(Var(st, "RecordCount"), 2600);
    EXPECT_EQ(Var(st, "FirstRecord"), 2340);
    EXPECT_EQ(Var(st, "LastRecord"), 2600);
    EXPECT_EQ(st[QStringLiteral("panels")].toArray()[1], QStringLiteral("2340 - 2600"));
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
            ranges << std::make_pair(Var(e, "FirstRecord").toInt(), Var(e, "LastRecord").toInt());
    const std::pair<int, int> plotted(1740, 2000), previous(1480, 1740);
    const QList<std::pair<int, int>> expected = {plotted, previous, previous};
    EXPECT_EQ(ranges, expected);
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("shot.png"))));
}

TEST_F(Script, LayoutAndAnglesDialogs)
{
    const ScriptRun r =
        Go(QStringLiteral("ack\nlayout OpenOrder=x\nstate\nlayout headline=0 DateOrder=1 "
                          "dateFmtCB=mm/dd/yyyy\nangles 40 abc 50\nangles 40.0 61,8 45\nstate\n"));
    ASSERT_EQ(r.status, 0);
    QStringList kinds = r.kinds();
    EXPECT_EQ(kinds, QStringList({QStringLiteral("beep"), QStringLiteral("message"),
                                  QStringLiteral("state"), QStringLiteral("error"),
                                  QStringLiteral("state")}));
    EXPECT_EQ(r.events[1][QStringLiteral("text")],
              QStringLiteral("Wrong field number!   Enter again."));
    EXPECT_EQ(r.events[3][QStringLiteral("text")],
              QStringLiteral("'abc' is not a valid floating point value"));
    const QJsonObject st = r.last("state");
    EXPECT_EQ(Var(st, "HasHeaderLine"), false);
    EXPECT_EQ(Var(st, "DateFormat"), 1);
    EXPECT_EQ(Var(st, "FanAngle2"), 61.8);
}

TEST_F(Script, AWholeSession)
{
    const QString text = QStringLiteral(R"(ack
press FileBtn
open "%1"
dates FRecordEdit=1000 LRecordEdit=1260 NdayEdit=10 LeaveSpace=1
dates FRecordEdit=1260 LRecordEdit=1260
trace "%2/trace.txt"
press PlotBtn
image "%2/plot.bmp"
press P1Btn
click 300 300
press P2Btn
click 600 200
type 2
press DrawBtn
down 600 200 right
move 620 190
move 640 180
move 660 170
up 660 170 right
type 3
press DrawBtn
press ToolButton1
press ToolButton2
press SaveBtn
saveas "%2/saved"
press PrintBtn
printto "%2/chart.pdf" 4800x6600
period 22
state
press PlotBtn
state
)");
    const ScriptRun r = Go(text);
    ASSERT_EQ(r.status, 0) << QJsonDocument(r.events.last()).toJson().toStdString();
    QStringList kinds = r.kinds();
    EXPECT_EQ(kinds.count(QStringLiteral("message")), 1); // the refused 1260 - 1260
    EXPECT_EQ(kinds.count(QStringLiteral("error")), 0);

    const QJsonObject chart = r.events[r.events.size() - 2];
    EXPECT_EQ(Var(chart, "ChartShown"), true);
    EXPECT_EQ(Var(chart, "FirstRecord"), 1000);
    EXPECT_EQ(Var(chart, "LastRecord"), 1260);
    EXPECT_EQ(Var(chart, "ChartType"), 3);
    EXPECT_EQ(Var(chart, "PeriodLength"), 22);
    EXPECT_EQ(Var(chart, "TotalSlots"), 271);
    EXPECT_EQ(Button(chart, "PlotBtn")[QStringLiteral("caption")], QStringLiteral("Reset"));
    EXPECT_TRUE(Button(chart, "DrawBtn")[QStringLiteral("enabled")].toBool()); // anchors came back
    EXPECT_EQ(chart[QStringLiteral("panels")].toArray()[2], QStringLiteral("Holiday"));
    const QJsonObject setup = r.last("state");
    EXPECT_EQ(Var(setup, "ChartShown"), false);
    EXPECT_TRUE(Button(setup, "FileBtn")[QStringLiteral("enabled")].toBool());
    EXPECT_FALSE(setup[QStringLiteral("imageVisible")].toBool());

    const QImage plot(dir.filePath(QStringLiteral("plot.bmp")));
    EXPECT_EQ(plot.size(), QSize(980, 590));
    EXPECT_EQ(plot.depth(), 1);
    const QByteArray pdf = ReadBytes(dir.filePath(QStringLiteral("chart.pdf")));
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page "), 1);
    // What the trace and the saved picture hold: Demo.DrawingOperationsAreUnchanged.
    EXPECT_TRUE(ReadBytes(dir.filePath(QStringLiteral("trace.txt"))).contains("restore\n"));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("saved.bmp"))));
}

TEST_F(Script, ARealPriceFileThroughTheRunner)
{
    // Newest day first, semicolons and decimal commas: the layout is worked
    // out on open, said once as an event, and shown in the state report.
    QByteArray bytes = "Datum;Erster;Hoch;Tief;Schluss\n";
    QDate d(2024, 12, 31);
    for (int i = 0; i < 300; d = d.addDays(-1)) {
        if (d.dayOfWeek() > 5)
            continue;
        const QString c = QString::number(50 + (i % 17) * 0.25, 'f', 2).replace('.', ',');
        bytes += QStringLiteral("%1;%2;%2;%2;%2\n")
                     .arg(d.toString(QStringLiteral("dd.MM.yyyy")), c)
                     .toUtf8();
        ++i;
    }
    prices = WriteFile(dir, QStringLiteral("kurse.csv"), bytes);
    const ScriptRun r = Go(QStringLiteral("ack\npress FileBtn\nopen \"%1\"\npress PlotBtn\nstate\n"
                                          "press PlotBtn\nlayout sepCB=0\nstate\n"));
    ASSERT_EQ(r.status, 0);
    ASSERT_EQ(r.kinds(), QStringList({QStringLiteral("message"), QStringLiteral("state"),
                                      QStringLiteral("state")}));
    EXPECT_TRUE(
        r.events[0][QStringLiteral("text")].toString().contains(QStringLiteral("semicolons")));
    const QJsonObject st = r.events[1];
    // How such files read and chart: PriceFiles; here the state report's side.
    EXPECT_EQ(Var(st, "FieldSeparator"), QStringLiteral(";"));
    EXPECT_EQ(Var(st, "NewestFirst"), true);
    EXPECT_EQ(Var(st, "LoadedCount"), 261);
    // The layout dialog changes the separator back, and fsetup.dat keeps it.
    EXPECT_EQ(Var(r.last("state"), "FieldSeparator"), QStringLiteral(","));
}

TEST_F(Script, ImagesAndPrintsOnAFullDiskFailAndSaySo)
{
    const SmallDisk disk(dir.filePath(QStringLiteral("small")), "128k");
    if (!disk.mounted())
        GTEST_SKIP() << SmallDisk::Why;
    disk.fill();
    const ScriptRun r = Go(QStringLiteral("ack\npress FileBtn\nopen \"%1\"\npress PlotBtn\n"
                                          "press PrintBtn\nprintto \"%2/small/chart.pdf\" 4800x6600\n"
                                          "image \"%2/small/chart.png\"\n"));
    EXPECT_EQ(r.status, 2); // the image line could not run
    ASSERT_GE(r.events.size(), 2);
    const QString print = r.events[0][QStringLiteral("text")].toString();
    EXPECT_EQ(r.events[0][QStringLiteral("event")], QStringLiteral("error"));
    EXPECT_TRUE(print.startsWith(QStringLiteral("Cannot create file ")) &&
                print.endsWith(QStringLiteral("No space left on device")))
        << print.toStdString();
    EXPECT_TRUE(r.events.last()[QStringLiteral("text")].toString().startsWith(
        QStringLiteral("Cannot create file ")));
    EXPECT_FALSE(QFile::exists(disk.path + QStringLiteral("/chart.png")));
    EXPECT_FALSE(QFile::exists(disk.path + QStringLiteral("/chart.pdf")));
}
