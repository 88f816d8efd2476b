// The program as started from a shell: empty and endless inputs, a folder
// too deep to name, names that are not UTF-8, one line per batch error,
// nothing on standard error, and printing past a planted link.
#include <QMap>
#include <QRegularExpression>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/Support.h"

namespace {
class Process : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        WriteFile(dir, QStringLiteral("a.txt"), WeekdayFile(400));
    }
    Outcome Run(const QStringList& args, const QByteArray& input = QByteArray(), bool shell = false,
                const char* inputFile = nullptr)
    {
        return RunAurigon(dir.path(), args, input, shell, inputFile);
    }
    // a.aurigon: the plot of a.txt kept as a study.
    void SaveStudy()
    {
        const Outcome o =
            Run({QStringLiteral("--script"), QStringLiteral("-")},
                "ack\npress FileBtn\nopen a.txt\npress PlotBtn\nstudy save a.aurigon\n");
        ASSERT_EQ(o.status, 0) << o.err.constData();
    }
    // A script run in this process instead, against the real window.
    ScriptRun Go(const QString& text) { return RunScript(dir.path(), text.arg(dir.path())); }
    QTemporaryDir dir;
};

const QByteArray Plot = "ack\npress FileBtn\nopen a.txt\npress PlotBtn\n";
} // namespace

// --- Options and paths -------------------------------------------------------

TEST_F(Process, EmptyAndEndlessInputsEndWithAWord)
{
    // Each kind of refusal once through main(); every message of its kind
    // is checked in the option and script reading tests.
    const struct {
        QStringList args;
        const char* input; // a file for standard input; null: none
        const char* says;
    } rows[] = {
        {{"--script", ""}, nullptr, "--script needs a value"},
        {{"--script", "-"}, "/dev/zero", "the script on standard input is larger than 16 MB"},
    };
    for (const auto& r : rows) {
        const Outcome o = Run(r.args, QByteArray(), false, r.input);
        EXPECT_EQ(o.status, 2) << r.args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(o.err.contains(r.says)) << o.err.constData();
    }
}

TEST_F(Process, AFolderTooDeepToNameStartsNoChartWork)
{
    // Made and entered one step at a time, as only relative names reach it.
    const QString step(200, QLatin1Char('d'));
    const QString line =
        QStringLiteral(
            "cd deep-root && for i in $(seq 1 25); do mkdir %1 && cd %1 || exit 9; done; "
            "printf 'ack\\n' | \"$AURIGON\" --script -; echo \"rc=$?\"; "
            "ls -A; cd \"%2\" && rm -rf deep-root")
            .arg(step, dir.path());
    QDir(dir.path()).mkdir(QStringLiteral("deep-root"));
    const bool rootHadThem = QFile::exists(QStringLiteral("/fsetup.dat")) ||
                             QFile::exists(QStringLiteral("/TmpPrice.bmp"));
    const Outcome o = Run({line}, QByteArray(), true);
    EXPECT_EQ(o.out, "rc=1\n") << "nothing written in the deep folder either";
    EXPECT_TRUE(o.err.contains(
        "the current folder cannot be named: its name is longer than the system allows"))
        << o.err.constData();
    if (!rootHadThem) {
        EXPECT_FALSE(QFile::exists(QStringLiteral("/fsetup.dat")));
        EXPECT_FALSE(QFile::exists(QStringLiteral("/TmpPrice.bmp")));
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("deep-root"))));
}

TEST_F(Process, NamesThatAreNotUtf8AreKeptByteForByte)
{
    ASSERT_NO_FATAL_FAILURE(SaveStudy());
    const Outcome o = Run(
        {QStringLiteral("cp a.aurigon $'st\\xff\\xfe.aurigon' && "
                        "\"$AURIGON\" --study $'st\\xff\\xfe.aurigon' --image $'img\\xe9.png' && "
                        "ls $'img\\xe9.png' && rm $'img\\xe9.png' $'st\\xff\\xfe.aurigon'")},
        QByteArray(), true);
    EXPECT_EQ(o.status, 0) << o.err.constData();
    EXPECT_EQ(o.out, "img\xe9.png\n");
    EXPECT_FALSE(
        QDir(dir.path()).entryList().join(QLatin1Char(' ')).contains(QChar::ReplacementCharacter));
}

// --- Messages ----------------------------------------------------------------

TEST_F(Process, BatchErrorsAreOneLine)
{
    ASSERT_NO_FATAL_FAILURE(SaveStudy());
    ::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe.aurigon"))).constData(), 0600);
    WriteFile(dir, QStringLiteral("empty.txt"), "Date,Open,High,Low,Close\n");
    WriteFile(dir, QStringLiteral("bad.aurigon"), "{\"format\": \"aurigon-study\"");
    // Every kind of thing that is not a file is named in
    // NotAFile.ScriptsStudiesAndBatchPricesNameWhatItIs; here one of each through main().
    const QList<QStringList> rows = {
        {"--study", "a.aurigon", "--prices", ".", "--image", "x.png"},
        {"--study", "a.aurigon", "--prices", "empty.txt", "--image", "x.png"},
        {"--study", "pipe.aurigon", "--image", "x.png"},
        {"--study", "bad.aurigon", "--image", "x.png"},
        {"--study", "a.aurigon", "--image", "missing/x.png"},
    };
    for (const QStringList& args : rows) {
        const Outcome o = Run(args);
        EXPECT_EQ(o.status, 1) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(o.err.count('\n'), 1) << o.err.constData();
        EXPECT_TRUE(o.err.startsWith("aurigon: ")) << o.err.constData();
    }
    EXPECT_TRUE(Run(rows[0]).err.contains("It is a folder")) << "says what it is";
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x.png"))));
}

TEST_F(Process, AScreenOfTwoDevicePixelsAPixelWritesTheSamePictures)
{
    // Plotted, a spiral clipped, a live ellipse dragged, the range shifted:
    // the screen picture follows all of it, the chart's files do not change,
    // and standard error holds nothing, not even the platform's notes.
    const QByteArray script =
        Plot + "press P1Btn\nclick 300 300\npress P2Btn\nclick 400 200\ntype 1\npress DrawBtn\n"
               "press ClipButton\ntype 2\npress DrawBtn\ndown 420 220 right\nmove 450 260\n"
               "up 450 260 right\nmove 350 250\nimage drawn.bmp\npress ToolButton1\n"
               "image shifted.png\nstate\n";
    QMap<QString, QByteArray> first;
    for (const char* scale : {"1", "2"}) {
        const Outcome o = Run({QStringLiteral("QT_SCALE_FACTOR=%1").arg(QLatin1String(scale)),
                               QStringLiteral("\"$AURIGON\" --script -")},
                              script, true);
        ASSERT_EQ(o.status, 0) << scale << o.out.constData();
        EXPECT_TRUE(o.out.contains("\"event\":\"state\""));
        EXPECT_EQ(o.err, QByteArray()) << scale;
        for (const QString& name : QStringList{"drawn.bmp", "shifted.png"}) {
            QFile f(dir.filePath(name));
            ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << scale;
            if (first.contains(name))
                EXPECT_EQ(f.readAll(), first[name]) << name.toStdString();
            else
                first[name] = f.readAll();
        }
    }
}

// --- Writes and links --------------------------------------------------------

TEST_F(Process, PrintingPastAPlantedLinkLeavesItsTargetAlone)
{
    const QString victim = WriteFile(dir, QStringLiteral("victim"), "precious");
    ASSERT_TRUE(QFile::link(victim, dir.filePath(QStringLiteral("chart.pdf.part"))));
    EXPECT_EQ(Go(QStringLiteral("ack\npress FileBtn\nopen \"%1/a.txt\"\npress PlotBtn\n"
                                "press PrintBtn\nprintto \"%1/chart.pdf\" 4800x6600\n"))
                  .status,
              0);
    EXPECT_EQ(ReadBytes(victim), "precious");
    EXPECT_FALSE(QFileInfo(dir.filePath(QStringLiteral("chart.pdf"))).isSymLink());
    EXPECT_TRUE(ReadBytes(dir.filePath(QStringLiteral("chart.pdf"))).startsWith("%PDF"));
    // Only what was there and what was asked for: no temporary left behind.
    QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    files.sort();
    EXPECT_EQ(files, QStringList({QStringLiteral("TmpPrice.bmp"), QStringLiteral("TmpPrint.bmp"),
                                  QStringLiteral("a.txt"), QStringLiteral("chart.pdf"),
                                  QStringLiteral("chart.pdf.part"), QStringLiteral("victim")}));
}

TEST_F(Process, ATraceCutShortByAFullDiskSaysSo)
{
    const SmallDisk disk(dir.filePath(QStringLiteral("small")), "8k");
    if (!disk.mounted())
        GTEST_SKIP() << SmallDisk::Why;
    const ScriptRun r = Go(QStringLiteral("ack\npress FileBtn\nopen \"%1/a.txt\"\n"
                                          "trace \"%1/small/t.log\"\npress PlotBtn\nstate\n"));
    EXPECT_EQ(r.status, 2);
    const QJsonObject error = r.last("error");
    EXPECT_EQ(error[QStringLiteral("text")].toString(),
              QStringLiteral("cannot write the trace %1/small/t.log: No space left on device")
                  .arg(dir.path()));
    EXPECT_EQ(error[QStringLiteral("line")].toInt(), 5) << "the line that drew";
}

// What the dynamic loader loads: reading any image at start-up, or Qt's
// image writer, loads every image format plugin, and the system's print
// plugins bring libcups, whose thread-local globals the leak checker cannot
// walk. The window's pictures are drawn and written by Qt's own writers, and
// a PDF file needs no print plugin.
TEST_F(Process, NoImageOrPrintPluginIsLoaded)
{
    ASSERT_NO_FATAL_FAILURE(SaveStudy());
    const struct {
        const char* name;
        QString command;
        QByteArray input;
        const char* picture; // null: none
        QByteArray magic;
    } rows[] = {
        {"a script's start", QStringLiteral("--script - --color"), "ack\n", nullptr, {}},
        {"script, PNG", QStringLiteral("--script -"), Plot + "image s.png\n", "s.png", "\x89PNG"},
        {"script, BMP", QStringLiteral("--script -"), Plot + "image s.bmp\n", "s.bmp", "BM"},
        {"one study", QStringLiteral("--study a.aurigon --image o.png"), {}, "o.png", "\x89PNG"},
        {"a study list",
         QStringLiteral("--study a.aurigon --image-dir out --format bmp"),
         {},
         "out/a.bmp",
         "BM"},
        {"a print to a file", QStringLiteral("--script -"),
         Plot + "press PrintBtn\nprintto chart.pdf 4800x6600\nstate\n", "chart.pdf", "%PDF"},
    };
    for (const auto& r : rows) {
        const Outcome o =
            Run({QStringLiteral("LD_DEBUG=files \"$AURIGON\" ") + r.command}, r.input, true);
        ASSERT_EQ(o.status, 0) << r.name << ": " << o.err.toStdString();
        ASSERT_TRUE(o.err.contains("libQt6Gui")) << r.name << ": the loader said nothing";
        EXPECT_TRUE(o.err.contains("platforms/libqoffscreen")) << r.name;
        EXPECT_FALSE(o.err.contains("imageformats/")) << r.name;
        EXPECT_FALSE(o.err.contains("printsupport/")) << r.name;
        EXPECT_FALSE(o.err.contains("libcups")) << r.name;
        if (!r.picture)
            continue;
        const QByteArray picture = ReadBytes(dir.filePath(QLatin1String(r.picture)));
        EXPECT_TRUE(picture.startsWith(r.magic)) << r.name;
        EXPECT_GT(picture.size(), 1000) << r.name;
    }
    // The page is the size the script named: 4800x6600 pixels at 1200 dpi.
    const QByteArray pdf = ReadBytes(dir.filePath(QStringLiteral("chart.pdf")));
    EXPECT_TRUE(pdf.contains("%%EOF"));
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page "), 1);
    EXPECT_TRUE(QString::fromLatin1(pdf).contains(
        QRegularExpression(QStringLiteral("/MediaBox \\[0 0 288(\\.0+)? 396(\\.0+)?\\]"))))
        << "no 4 by 5.5 inch page";
}

// --- Keys and the shipped binary ---------------------------------------------

TEST_F(Process, KeysBeyondTheKeyboardsLettersArePressedNotACrash)
{
    // Qt's test library aborts on keys it has no letter for; the runner
    // sends them as the keyboard would, and the window simply ignores them.
    QByteArray script = Plot;
    for (const char* key : {"€", "Ω", "あ", "Zoom", "Cancel", "Execute", "Sleep", "Hangul", "Kanji",
                            "Eject", "Calculator", "Call", "Shift+€", "Ctrl+Ω"})
        script += QByteArray("key ") + key + '\n';
    script += "state\n";
    const Outcome o = Run({QStringLiteral("--script"), QStringLiteral("-")}, script);
    EXPECT_EQ(o.status, 0) << o.err.toStdString();
    EXPECT_TRUE(o.out.contains("\"event\":\"state\"")) << o.out.toStdString();
}

TEST_F(Process, TheShippedProgramDoesNotLinkQtsTestLibrary)
{
    const Outcome o = Run({QStringLiteral("ldd \"$AURIGON\"")}, QByteArray(), true);
    ASSERT_EQ(o.status, 0) << o.err.toStdString();
    ASSERT_TRUE(o.out.contains("libQt6Widgets")) << o.out.toStdString();
    EXPECT_FALSE(o.out.toLower().contains("test")) << o.out.toStdString();
}

TEST_F(Process, ATraceOntoAnythingButARegularFileIsRefusedNotWaitedOn)
{
    const QString pipe = dir.filePath(QStringLiteral("trace.pipe"));
    const QString read = dir.filePath(QStringLiteral("read.pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(read).constData(), 0600), 0);
    // Someone reads this one, so opening it to write would not wait.
    const int reader = ::open(QFile::encodeName(read).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const struct {
        const char* name;
        QString path, says;
    } rows[] = {
        {"a pipe nobody reads", pipe, QStringLiteral("It is a pipe that nobody reads.")},
        {"a pipe someone reads", read, QStringLiteral("It is not a regular file.")},
        {"a device", QStringLiteral("/dev/null"), QStringLiteral("It is not a regular file.")},
        {"a folder", dir.path(), QStringLiteral("Is a directory")},
    };
    for (const auto& row : rows) {
        const ScriptRun r =
            RunScript(dir.path(), QStringLiteral("ack\ntrace \"%1\"\nstate\n").arg(row.path));
        EXPECT_EQ(r.status, 2) << row.name;
        ASSERT_FALSE(r.events.isEmpty()) << row.name;
        EXPECT_EQ(r.events.last()[QStringLiteral("line")].toInt(), 2) << row.name;
        EXPECT_EQ(r.events.last()[QStringLiteral("text")].toString(),
                  QStringLiteral("cannot write %1: %2").arg(row.path, row.says))
            << row.name;
    }
    ::close(reader);
    struct stat st {};
    EXPECT_TRUE(::stat(QFile::encodeName(pipe).constData(), &st) == 0 && S_ISFIFO(st.st_mode));
}

TEST_F(Process, ABatchPictureNeverReplacesWhatTheBatchReads)
{
    ASSERT_NO_FATAL_FAILURE(SaveStudy());
    const QByteArray study = ReadBytes(dir.filePath(QStringLiteral("a.aurigon")));
    const QByteArray prices = ReadBytes(dir.filePath(QStringLiteral("a.txt")));
    WriteFile(dir, QStringLiteral("s.png"), study);
    WriteFile(dir, QStringLiteral("p.bmp"), prices);
    ASSERT_EQ(::link(QFile::encodeName(dir.filePath(QStringLiteral("a.txt"))).constData(),
                     QFile::encodeName(dir.filePath(QStringLiteral("hard.png"))).constData()),
              0);
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("a.txt")),
                            dir.filePath(QStringLiteral("soft.png"))));
    // A study of many whose prices have the name its chart is written under.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("many")));
    WriteFile(dir, QStringLiteral("many/p.png"), prices);
    WriteFile(dir, QStringLiteral("many/p.aurigon"),
              QByteArray(study).replace("\"a.txt\"", "\"p.png\""));
    const struct {
        const char* name;
        QStringList args;
        const char* says;
    } rows[] = {
        {"the study",
         {"--study", "s.png", "--image", "s.png"},
         "an input of the chart; it is not written over"},
        {"the prices named",
         {"--study", "a.aurigon", "--prices", "p.bmp", "--image", "p.bmp"},
         "an input of the chart; it is not written over"},
        {"a hard link to the prices",
         {"--study", "a.aurigon", "--prices", "a.txt", "--image", "hard.png"},
         "an input of the chart; it is not written over"},
        {"a link to the study's own prices",
         {"--study", "a.aurigon", "--image", "soft.png"},
         "an input of the chart; it is not written over"},
        {"the prices of one of many",
         {"--study", "many/p.aurigon", "--image-dir", "many"},
         "an input of the chart; it is not written over"},
    };
    for (const auto& row : rows) {
        const Outcome o = Run(row.args);
        EXPECT_NE(o.status, 0) << row.name;
        EXPECT_TRUE(o.err.contains(row.says)) << row.name << ": " << o.err.toStdString();
    }
    EXPECT_EQ(ReadBytes(dir.filePath(QStringLiteral("s.png"))), study);
    EXPECT_EQ(ReadBytes(dir.filePath(QStringLiteral("p.bmp"))), prices);
    EXPECT_EQ(ReadBytes(dir.filePath(QStringLiteral("a.txt"))), prices);
    EXPECT_EQ(ReadBytes(dir.filePath(QStringLiteral("many/p.png"))), prices);
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("soft.png"))).isSymLink());
}

TEST_F(Process, ABatchPictureAndItsValuesAreTheSameInEveryLocale)
{
    // A figure of an overflowing ratio too: its values say no "inf".
    ASSERT_EQ(Run({QStringLiteral("--script"), QStringLiteral("-")},
                  Plot + "menu \"Figure/PHI - SPIRAL\"\npress P1Btn\nclick 400 300\npress P2Btn\n"
                         "click 520 240\npress DrawBtn\nstudy save a.aurigon\n")
                  .status,
              0);
    QString study = QString::fromUtf8(ReadBytes(dir.filePath(QStringLiteral("a.aurigon"))));
    ASSERT_TRUE(study.contains(QStringLiteral("\"ratio\": ")));
    study.replace(QRegularExpression(QStringLiteral("\"ratio\": [0-9.e+-]+")),
                  QStringLiteral("\"ratio\": 1e308"));
    WriteFile(dir, QStringLiteral("huge.aurigon"), study.toUtf8());
    QList<QByteArray> pictures;
    for (const char* locale : {"C.UTF-8", "de_DE.UTF-8", "ja_JP.UTF-8"}) {
        const QString env = QStringLiteral("LC_ALL=%1").arg(QLatin1String(locale));
        const Outcome o = RunAurigon(dir.path(),
                                     {QStringLiteral("--study"), QStringLiteral("a.aurigon"),
                                      QStringLiteral("--image"), QStringLiteral("out.png")},
                                     {}, false, nullptr, {env});
        ASSERT_EQ(o.status, 0) << locale << ": " << o.err.toStdString();
        pictures << ReadBytes(dir.filePath(QStringLiteral("out.png")));
        const Outcome v =
            RunAurigon(dir.path(), {QStringLiteral("--script"), QStringLiteral("-")},
                       "ack\nstudy open huge.aurigon\nvalues v.csv\n", false, nullptr, {env});
        ASSERT_EQ(v.status, 0) << locale << ": " << v.out.toStdString();
        const QByteArray csv = ReadBytes(dir.filePath(QStringLiteral("v.csv")));
        EXPECT_TRUE(csv.contains("spiral 1e+308")) << csv.constData();
        EXPECT_FALSE(csv.toLower().contains("inf")) << csv.constData();
    }
    EXPECT_EQ(pictures[1], pictures[0]) << "German dates";
    EXPECT_EQ(pictures[2], pictures[0]) << "Japanese dates";
}
