// Files and entries a user might load or type by mistake: each gives the
// program's normal behaviour or a clear error box, never a crash or a hang.
#include <QCryptographicHash>
#include <QRandomGenerator>

#include "data/Dates.h"
#include "data/Numbers.h"
#include "data/Settings.h"
#include "tests/Support.h"

namespace {
class BadInput : public SessionTest {
protected:
    // Opens the bytes as a price file, plots when possible and checks the file is untouched.
    void OpenAndPlot(const QByteArray& bytes)
    {
        const QString path = WriteFile(dir, QStringLiteral("bad.txt"), bytes);
        Open(path);
        GloVar.FirstRecord = 1;
        GloVar.LastRecord = std::max(GloVar.RecordCount, 1);
        s->PlotBtnClick();
        if (GloVar.ChartShown) {
            EXPECT_EQ(s->chart.image().size(), QSize(width, height));
            s->PlotBtnClick();
        }
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), bytes) << "the price file was changed";
    }
};
} // namespace

TEST_F(BadInput, EmptyAndHeaderOnlyFiles)
{
    const QStringList noLines(QStringLiteral("message:Aurigon:\"bad.txt\" holds no price lines."));
    OpenAndPlot(QByteArray());
    EXPECT_EQ(GloVar.RecordCount, 1); // an empty file after the header still counts one line
    EXPECT_FALSE(s->ui[Ctl::PlotBtn].enabled);
    EXPECT_EQ(prompts.events, noLines);
    prompts.events.clear();
    OpenAndPlot("Date,Open,High,Low,Close\r\n");
    EXPECT_EQ(GloVar.RecordCount, 1);
    EXPECT_EQ(prompts.events, noLines);
}

TEST_F(BadInput, BinaryGarbageNulBytesAndNonUtf8Dates)
{
    QByteArray garbage(200000, '\0');
    QRandomGenerator rng(42);
    for (char& c : garbage)
        c = char(rng.bounded(256));
    OpenAndPlot(garbage);
    OpenAndPlot(QByteArray("h\n01/03/2005,1\0,2,0.5,1\n", 24) + "01/04/2005,1,2,0.5,1\n");
    EXPECT_EQ(GloVar.RecordCount, 2);
    EXPECT_EQ(ParseDate("\xff\xfe/01/2005", 1), 0);
    EXPECT_EQ(ParseDate("01/\x80\x81/2005", 1), 0);
    // A first line whose date does not read is left out and named.
    prompts.events.clear();
    OpenAndPlot("h\n\xc3\x28/01/2005,1,2,0.5,1\n01/04/2005,1,2,0.5,1\n");
    EXPECT_EQ(GloVar.FirstFileDate, DayFromYmd(2005, 1, 4));
    EXPECT_EQ(GloVar.RecordCount, 1);
    EXPECT_TRUE(prompts.any(QStringLiteral("message:Aurigon:1 line at the start or the end")));
}

TEST_F(BadInput, TenMegabyteLineAndHugeNumbers)
{
    const QByteArray big = QByteArray("01/04/2005,") + QByteArray(10 << 20, '7') + ",2,1,1.5\n";
    OpenAndPlot("h\n01/03/2005,1,2,0.5,1\n" + big + "01/05/2005,1,2,0.5,1\n");
    EXPECT_EQ(GloVar.RecordCount, 3);

    const std::string digits(5000, '9');
    double v = 0;
    EXPECT_FALSE(ParsePrice(digits, v));
    EXPECT_FALSE(ParsePrice("0." + digits + "x", v));
    EXPECT_EQ(ParseDate("1/1/" + digits, 1), 0);
    EXPECT_EQ(ParseDate(digits, 4), 0);
    int focus = -1;
    OpenWeekdays(500);
    const int first = GloVar.FirstRecord;
    EXPECT_FALSE(s->DatesAccept(QString::fromStdString(digits), QStringLiteral("100"),
                                QStringLiteral("0"), focus));
    EXPECT_EQ(GloVar.FirstRecord, first);
    EXPECT_FALSE(s->FileSetupAccept(true,
                                    {QString::fromStdString(digits), QStringLiteral("2"),
                                     QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")},
                                    1));
    WriteFile(dir, QStringLiteral("fsetup.dat"), QByteArray("1\n") + digits.c_str() + "\n2\n");
    const Settings read = ReadSettingsFile(dir.filePath(QStringLiteral("fsetup.dat")), Settings{});
    EXPECT_EQ(read.layout.dateColumn, 1);
    EXPECT_EQ(read.layout.openColumn, 2);
}

TEST_F(BadInput, FileRemovedBetweenScanAndPlot)
{
    OpenWeekdays(400);
    ASSERT_TRUE(s->ui[Ctl::PlotBtn].enabled);
    ASSERT_TRUE(QFile::remove(GloVar.DataFileName));
    s->PlotBtnClick();
    EXPECT_TRUE(prompts.any(QStringLiteral("error:")));
    EXPECT_FALSE(GloVar.ChartShown);
    // A file cut short since the scan (a downloader rewrote it) is not drawn
    // from: the change is said and the scan offered again.
    OpenWeekdays(400);
    WriteFile(dir, QStringLiteral("prices.txt"), WeekdayFile(50));
    prompts.events.clear();
    s->PlotBtnClick();
    EXPECT_FALSE(GloVar.ChartShown);
    ASSERT_EQ(prompts.events.size(), 2);
    EXPECT_TRUE(prompts.events[0].startsWith(
        QStringLiteral("question:\"prices.txt\" has changed since it was read")));
    // Nobody to answer: said as a message.
    EXPECT_TRUE(prompts.events[1].endsWith(QStringLiteral("File scans it again.")));
    prompts.questionAnswer = QStringLiteral("Cancel");
    s->PlotBtnClick();
    EXPECT_EQ(GloVar.RecordCount, 400); // declined: nothing read again
    prompts.questionAnswer = QStringLiteral("Scan again");
    s->PlotBtnClick();
    EXPECT_EQ(GloVar.RecordCount, 50); // accepted: scanned again
    s->PlotBtnClick();
    EXPECT_TRUE(GloVar.ChartShown);
    EXPECT_EQ(GloVar.LoadedCount, 50);
}

TEST_F(BadInput, SettingsFileOrWorkDirThatCannotBeWritten)
{
    QDir().mkpath(s->SettingsPath()); // fsetup.dat is a folder
    EXPECT_EQ(ReadSettingsFile(s->SettingsPath(), Settings{}).layout.dateColumn, 1);
    Start(dir.path());
    EXPECT_FALSE(s->FileSetupAccept(false,
                                    {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                                     QStringLiteral("5"), QStringLiteral("6")},
                                    1));
    EXPECT_TRUE(prompts.any(QStringLiteral("error:")));
    EXPECT_TRUE(GloVar.HasHeaderLine); // nothing taken over
    EXPECT_EQ(GloVar.DateColumn, 1);
    prompts.events.clear();
    EXPECT_FALSE(
        s->ChartSetupAccept({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    EXPECT_EQ(GloVar.FanAngle1, 38);

    // A work folder nobody can write in: the plot reports it and stays in setup mode.
    OpenWeekdays(300);
    GloVar.WorkDir = WriteFile(dir, QStringLiteral("plain-file"), "x") + QLatin1Char('/');
    prompts.events.clear();
    s->PlotBtnClick();
    ASSERT_EQ(prompts.events.size(), 1);
    EXPECT_TRUE(prompts.events[0].startsWith(QStringLiteral("error:Cannot create file ")));
    EXPECT_FALSE(GloVar.ChartShown);
}
