// Studies: saved in dates and prices, reopened in a new process, on
// tomorrow's data and on another symbol, and rendered in batch.

#include "tests/Support.h"

namespace {
class Studies : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    // The program itself, in a process of its own; args split at spaces.
    int Aurigon(const QByteArray& args, const QByteArray& script = QByteArray(),
                QByteArray* err = nullptr)
    {
        const Outcome o =
            RunAurigon(dir.path(), QString::fromLatin1(args).split(QLatin1Char(' ')), script);
        if (err)
            *err = o.err;
        return o.status;
    }
    // Script lines run in this process against the real window, in the folder.
    ScriptRun Run(const QByteArray& text)
    {
        const ScriptRun r = RunScript(dir.path(), QString::fromUtf8(text));
        EXPECT_EQ(r.status, 0);
        return r;
    }
    QByteArray Bytes(const char* name) const
    {
        return ReadBytes(dir.filePath(QLatin1String(name)));
    }
    QTemporaryDir dir;
};

const char* const Figures = R"(press P1Btn
click 300 350
press P2Btn
click 420 250
type 1
press DrawBtn
press ClipButton
press P1Btn
click 250 470
press P2Btn
click 560 190
click 500 150
type 7
press DrawBtn
press ClipButton
press P1Btn
click 600 300
press P2Btn
click 700 250
type 2
press DrawBtn
press DrawBtn
press DrawBtn
)";

// Opens prices, plots and draws the three figures.
QByteArray Saving(const char* prices)
{
    return QByteArray("ack\npress FileBtn\nopen ") + prices + "\npress PlotBtn\n" + Figures;
}
} // namespace

TEST_F(Studies, BatchReadsOtherFilesAsFileDoesAndSaysWhatFailed)
{
    const QByteArray plain = WeekdayFile(700);
    WriteFile(dir, QStringLiteral("a.txt"), plain);
    Run(Saving("a.txt") + "study save a.aurigon\n");
    // The same days written as two other exports do.
    QByteArray dollars;
    QList<QByteArray> rows = plain.split('\n');
    rows.removeFirst();
    rows.removeAll(QByteArray());
    for (const QByteArray& r : rows) {
        const QList<QByteArray> f = r.split(',');
        dollars.prepend(f[0] + ",$" + f[4] + ",1234567,$" + f[1] + ",$" + f[2] + ",$" + f[3] +
                        "\r\n");
    }
    dollars.prepend("Date,Close/Last,Volume,Open,High,Low\r\n");
    // Under the same name, as the chart's header names the file.
    QDir(dir.path()).mkdir(QStringLiteral("semi"));
    QDir(dir.path()).mkdir(QStringLiteral("dollars"));
    WriteFile(dir, QStringLiteral("semi/a.txt"), SemicolonFile(700));
    WriteFile(dir, QStringLiteral("dollars/a.txt"), dollars);
    QFile::remove(dir.filePath(QStringLiteral("TmpPrice.bmp")));
    QByteArray err, first;
    for (const char* prices : {"a.txt", "semi/a.txt", "dollars/a.txt"}) {
        ASSERT_EQ(
            Aurigon(QByteArray("--study a.aurigon --image o.png --prices ") + prices, {}, &err), 0)
            << err.constData();
        if (first.isEmpty())
            first = Bytes("o.png");
        EXPECT_EQ(Bytes("o.png"), first) << prices; // byte-identical
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("TmpPrice.bmp"))));
    // Another symbol on the same days, at a size of its own.
    WriteFile(dir, QStringLiteral("b.txt"), QByteArray(plain).replace(",1", ",2"));
    ASSERT_EQ(Aurigon("--study a.aurigon --prices b.txt --image b.png --size 800x500"), 0);
    EXPECT_EQ(QImage(dir.filePath(QStringLiteral("b.png"))).size(), QSize(800, 500));
    // A file no layout reads: status 1, and the reason.
    WriteFile(dir, QStringLiteral("words.csv"),
              "Date,Open,High,Low,Close\nyesterday,1,2,3,4\ntoday,1,2,3,4\n");
    EXPECT_EQ(Aurigon("--study a.aurigon --prices words.csv --image w.png", {}, &err), 1);
    EXPECT_TRUE(err.contains("No date reads in line 2")) << err.constData();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("w.png"))));
    // A missing option shows the usage.
    EXPECT_EQ(Aurigon("--study a.aurigon", {}, &err), 2);
    EXPECT_TRUE(err.contains("Usage: aurigon"));
}

TEST_F(Studies, ReopenedOnNewerOrShorterDataTheChartFollowsTheDates)
{
    WriteFile(dir, QStringLiteral("prices.txt"), WeekdayFile(600));
    Run(Saving("prices.txt") + "study save s.aurigon\n");
    WriteFile(dir, QStringLiteral("prices.txt"), WeekdayFile(620)); // 20 more days
    const QJsonObject vars =
        Run("ack\nstudy open s.aurigon\nstate\n").last("state")[QStringLiteral("vars")].toObject();
    EXPECT_EQ(vars[QStringLiteral("LastRecord")].toInt(), 620);
    EXPECT_EQ(vars[QStringLiteral("FirstRecord")].toInt(), 620 - 260);
    // The ellipse is the last figure: its P1 was clicked at column 600 on the
    // old range; on the new one it stands 20 slots further left.
    const double slotWidth = 900.0 / vars[QStringLiteral("SlotCount")].toDouble();
    EXPECT_NEAR(vars[QStringLiteral("P1X")].toInt(), 600 - 20 * slotWidth, 1.0);
    EXPECT_NEAR(vars[QStringLiteral("P2X")].toInt(), 700 - 20 * slotWidth, 1.0);
    EXPECT_EQ(vars[QStringLiteral("ChartType")].toInt(), 2);

    // The first 300 days only: the figures' dates are gone.
    WriteFile(dir, QStringLiteral("prices.txt"), WeekdayFile(300));
    const ScriptRun r = Run("ack\nstudy open s.aurigon\nstate\n");
    EXPECT_TRUE(r.last("message")[QStringLiteral("text")].toString().startsWith(
        QStringLiteral("3 of the study's figures")));
    EXPECT_TRUE(StateVar(r.last("state"), "ChartShown").toBool());
    // A study that does not open: OverOpenFiles.AStudyThatDoesNotOpenFromTheMenuIsSaidOnce.
}

// A study keeps the bar style with its figures: reopened in a new process
// the chart is pixel-identical; batch draws it or the style asked for.
TEST_F(Studies, TheBarStyleIsKeptByTheStudyAndChosenForBatch)
{
    WriteFile(dir, QStringLiteral("prices.txt"), WeekdayFile(500));
    const QByteArray candles = QByteArray("ack\npress FileBtn\nopen prices.txt\npress PlotBtn\n"
                                          "menu \"View/Bar style/Candlesticks\"\n") +
                               Figures;
    ASSERT_EQ(Aurigon("--script -", candles + "image made.png\nstudy save c.aurigon\n"), 0);
    ASSERT_EQ(Aurigon("--script -", Saving("prices.txt") + "study save b.aurigon\n"), 0);
    EXPECT_TRUE(Bytes("c.aurigon").contains("\"barStyle\": \"candles\""));
    EXPECT_TRUE(Bytes("b.aurigon").contains("\"barStyle\": \"bars\""));
    // Readable and diffable: the points are dates and prices, never pixels.
    const QByteArray json = Bytes("c.aurigon");
    EXPECT_TRUE(json.contains("\"priceFile\": \"prices.txt\""));
    EXPECT_TRUE(json.contains("\"date\": \"20"));
    EXPECT_FALSE(json.contains("P1X"));
    EXPECT_EQ(json.count("\"type\":"), 3);

    // Reopened in a new process: the very same picture, candles again.
    ASSERT_EQ(Aurigon("--script -", "ack\nstudy open c.aurigon\nimage again.png\n"), 0);
    EXPECT_TRUE(Bytes("again.png") == Bytes("made.png"));
    const ScriptRun reopened = Run("ack\nstudy open c.aurigon\nstate\n");
    EXPECT_EQ(StateVar(reopened.last("state"), "ChartStyle").toString(), QStringLiteral("candles"));

    // Batch: the study's own style, or the one asked for.
    QByteArray err;
    ASSERT_EQ(Aurigon("--study c.aurigon --image c.png", {}, &err), 0) << err.constData();
    ASSERT_EQ(Aurigon("--study b.aurigon --image b.png"), 0);
    ASSERT_EQ(Aurigon("--study b.aurigon --bar-style candles --image bc.png"), 0);
    ASSERT_EQ(Aurigon("--study c.aurigon --bar-style bars --image cb.png"), 0);
    EXPECT_FALSE(Bytes("c.png") == Bytes("b.png"));
    EXPECT_TRUE(Bytes("bc.png") == Bytes("c.png"));
    EXPECT_TRUE(Bytes("cb.png") == Bytes("b.png"));
    // The many-studies form takes the option too.
    QDir(dir.path()).mkdir(QStringLiteral("out"));
    ASSERT_EQ(Aurigon("--study b.aurigon --image-dir out --bar-style candles --quiet", {}, &err), 0)
        << err.constData();
    EXPECT_TRUE(Bytes("out/b.png") == Bytes("c.png"));

    // A study written before bar styles opens as OHLC bars.
    QByteArray old = Bytes("c.aurigon");
    old.replace("\"barStyle\": \"candles\",", "");
    ASSERT_FALSE(old.contains("barStyle"));
    WriteFile(dir, QStringLiteral("old.aurigon"), old);
    ASSERT_EQ(Aurigon("--study old.aurigon --image old.png"), 0);
    EXPECT_TRUE(Bytes("old.png") == Bytes("b.png"));

    // Mistakes: an unknown style in the study or on the command line, the option alone.
    WriteFile(dir, QStringLiteral("odd.aurigon"),
              QByteArray(Bytes("c.aurigon")).replace("\"candles\"", "\"renko\""));
    EXPECT_EQ(Aurigon("--study odd.aurigon --image odd.png", {}, &err), 1);
    EXPECT_TRUE(err.contains("bar style \"renko\"")) << err.constData();
    EXPECT_EQ(Aurigon("--study b.aurigon --bar-style Candles --image x.png", {}, &err), 2);
    EXPECT_TRUE(err.contains("--bar-style must be one of")) << err.constData();
    EXPECT_EQ(Aurigon("--bar-style candles prices.txt", {}, &err), 2);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x.png"))));
}
