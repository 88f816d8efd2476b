// Many studies in one run: each chart as a single run draws it, failures
// named and the rest still drawn, nothing partial left behind, and progress
// only for a person at a terminal.
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/Support.h"

namespace {
class Batch : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        WriteFile(dir, QStringLiteral("a.txt"), WeekdayFile(400));
        const Outcome made =
            Run({QStringLiteral("--script"), QStringLiteral("-")},
                "ack\npress FileBtn\nopen a.txt\npress PlotBtn\npress P1Btn\n"
                "click 300 300\npress P2Btn\nclick 400 200\ntype 1\npress DrawBtn\n"
                "study save a.aurigon\n");
        ASSERT_EQ(made.status, 0) << made.err.constData();
        QFile f(dir.filePath(QStringLiteral("a.aurigon")));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        study = f.readAll();
        ASSERT_TRUE(study.contains("\"a.txt\""));
    }
    Outcome Run(const QStringList& args, const QByteArray& input = QByteArray())
    {
        return RunAurigon(dir.path(), args, input);
    }
    // A study of the same figure on a price file of its own, of records days.
    QString Study(const QString& name, int records)
    {
        const QString prices = name + QStringLiteral(".txt");
        WriteFile(dir, prices, WeekdayFile(records));
        QByteArray text = study;
        text.replace("\"a.txt\"", "\"" + prices.toUtf8() + "\"");
        WriteFile(dir, name + QStringLiteral(".aurigon"), text);
        return name + QStringLiteral(".aurigon");
    }
    QStringList GoodStudies(int n)
    {
        QStringList out;
        for (int i = 0; i < n; ++i)
            out << Study(QStringLiteral("s%1").arg(i), 300 + 17 * i);
        return out;
    }
    QByteArray Read(const QString& name)
    {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
        return f.readAll();
    }
    QTemporaryDir dir;
    QByteArray study;
};

const QRegularExpression
    Summary(QStringLiteral("^(\\d+) charts? in \\d+\\.\\d s, (\\d+) failed\\n$"));

QStringList Lines(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
} // namespace

TEST_F(Batch, FailuresAreNamedAndTheRestAreDrawnWhole)
{
    QStringList list = GoodStudies(10);
    list.insert(3, Study(QStringLiteral("gone"), 300));
    QFile::remove(dir.filePath(QStringLiteral("gone.txt")));
    WriteFile(dir, QStringLiteral("bad.aurigon"), "{\"format\": \"aurigon-study\"");
    list.insert(7, QStringLiteral("bad.aurigon"));
    const Outcome o =
        Run({QStringLiteral("--study-list"), QStringLiteral("-"), QStringLiteral("--image-dir"),
             QStringLiteral("out"), QStringLiteral("--jobs"), QStringLiteral("3")},
            list.join(QLatin1Char('\n')).toUtf8() + '\n');
    EXPECT_EQ(o.status, 1);
    const QStringList err = Lines(o.err);
    ASSERT_EQ(err.size(), 3) << o.err.constData();
    QStringList failures = err.mid(0, 2);
    failures.sort();
    EXPECT_TRUE(failures[0].startsWith(
        QStringLiteral("aurigon: bad.aurigon: Cannot open study bad.aurigon")))
        << failures[0].toStdString();
    EXPECT_TRUE(failures[1].startsWith(QStringLiteral("aurigon: gone.aurigon: ")) &&
                failures[1].contains(QStringLiteral("gone.txt")))
        << failures[1].toStdString();
    const QRegularExpressionMatch m = Summary.match(err[2] + QLatin1Char('\n'));
    ASSERT_TRUE(m.hasMatch()) << err[2].toStdString();
    EXPECT_EQ(m.captured(1), QStringLiteral("12"));
    EXPECT_EQ(m.captured(2), QStringLiteral("2"));
    // The ten pictures and nothing else: no temporary or partial file.
    QStringList want;
    for (int i = 0; i < 10; ++i)
        want << QStringLiteral("s%1.png").arg(i);
    want.sort();
    QStringList have = QDir(dir.filePath(QStringLiteral("out")))
                           .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    have.sort();
    EXPECT_EQ(have, want);
}

TEST_F(Batch, EveryWorkerCountDrawsWhatSingleRunsDraw)
{
    const QStringList list = GoodStudies(6);
    QMap<QString, QByteArray> single;
    for (const QString& s : list) {
        const QString png = QFileInfo(s).completeBaseName() + QStringLiteral(".png");
        ASSERT_EQ(Run({QStringLiteral("--study"), s, QStringLiteral("--image"), png}).status, 0);
        single[png] = Read(png);
    }
    WriteFile(dir, QStringLiteral("list"), list.join(QLatin1Char('\n')).toUtf8());
    const struct {
        const char* name;
        QStringList args;
    } rows[] = {
        {"one worker", {"--study-list", "list", "--jobs", "1"}},
        {"four workers", {"--study-list", "list", "--jobs", "4"}},
        {"the cores", {"--study", list[0], "--study", list[1], "--study-list", "list2"}},
    };
    WriteFile(dir, QStringLiteral("list2"),
              list.mid(2).join(QStringLiteral("\r\n")).toUtf8() + "\r\n\r\n");
    for (const auto& r : rows) {
        const QString out = QStringLiteral("out-") + QString::fromLatin1(r.name).replace(' ', '-');
        const Outcome o = Run(r.args + QStringList{QStringLiteral("--image-dir"), out});
        EXPECT_EQ(o.status, 0) << r.name << o.err.constData();
        EXPECT_TRUE(Summary.match(QString::fromUtf8(o.err)).hasMatch())
            << r.name << o.err.constData();
        for (auto it = single.cbegin(); it != single.cend(); ++it)
            EXPECT_TRUE(Read(out + QLatin1Char('/') + it.key()) == it.value())
                << r.name << " " << it.key().toStdString();
    }
}

TEST_F(Batch, AWorkerThatDiesFailsItsStudyAndTheRunGoesOn)
{
    // Files larger than 4 KB are refused by the system with a signal that
    // ends the process: every worker dies in the middle of its chart, and
    // its replacement takes the next study.
    const QStringList list = GoodStudies(3);
    QDir(dir.path()).mkdir(QStringLiteral("tmp"));
    const Outcome o = RunAurigon(
        dir.path(),
        {QStringLiteral("ulimit -f 4; TMPDIR=tmp \"$AURIGON\" --image-dir out --jobs 2 --study"),
         list.join(QStringLiteral(" --study "))},
        QByteArray(), true);
    EXPECT_EQ(o.status, 1);
    const QStringList err = Lines(o.err);
    ASSERT_EQ(err.size(), 4) << o.err.constData();
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(
            err.filter(QStringLiteral("aurigon: %1: its worker was ended by signal").arg(list[i]))
                .size() == 1)
            << o.err.constData();
    const QRegularExpressionMatch m = Summary.match(err[3] + QLatin1Char('\n'));
    ASSERT_TRUE(m.hasMatch()) << err[3].toStdString();
    EXPECT_EQ(m.captured(2), QStringLiteral("3"));
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("out")))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList());
}

TEST_F(Batch, MistakesAreRefusedBeforeAnythingIsDrawn)
{
    const QStringList list = GoodStudies(2);
    QDir(dir.path()).mkdir(QStringLiteral("other"));
    QFile::copy(dir.filePath(list[0]), dir.filePath(QStringLiteral("other/") + list[0]));
    const struct {
        const char* name;
        QStringList args;
        int status;
        const char* says;
    } rows[] = {
        {"the same name twice",
         {"--study", list[0], "--study", list[1], "--study", "other/" + list[0], "--image-dir",
          "out"},
         2,
         "The studies s0.aurigon and other/s0.aurigon would both be written to out/s0.png"},
        {"an empty list", {"--study-list", "/dev/null", "--image-dir", "out"}, 2, "names no study"},
        {"a folder for a list",
         {"--study-list", "other", "--image-dir", "out"},
         2,
         "It is a folder"},
        {"a missing list",
         {"--study-list", "nolist", "--image-dir", "out"},
         2,
         "Cannot read the study list nolist"},
        {"a list without a folder", {"--study-list", "-"}, 2, "--study-list needs --image-dir"},
        {"two studies without a folder",
         {"--study", list[0], "--study", list[1], "--image", "x.png"},
         2,
         "Several studies are written with --image-dir"},
        {"a format of one study",
         {"--study", list[0], "--image", "x.png", "--format", "bmp"},
         2,
         "--format goes with --image-dir"},
        {"an unknown format",
         {"--study", list[0], "--image-dir", "out", "--format", "gif"},
         2,
         "--format must be one of png, bmp"},
        {"no workers",
         {"--study", list[0], "--image-dir", "out", "--jobs", "0"},
         2,
         "--jobs must be a number from 1 to 256"},
        {"one price file for all",
         {"--study", list[0], "--image-dir", "out", "--prices", "a.txt"},
         2,
         "each study on its own price file"},
    };
    for (const auto& r : rows) {
        const Outcome o = Run(r.args);
        EXPECT_EQ(o.status, r.status) << r.name;
        EXPECT_TRUE(o.err.contains(r.says)) << r.name << ": " << o.err.constData();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out")))) << "nothing was drawn";
}

TEST_F(Batch, ProgressIsShownOnATerminalOnly)
{
    const QStringList list = GoodStudies(3);
    const QStringList args =
        QStringList{QStringLiteral("--image-dir"), QStringLiteral("out")} + [&] {
            QStringList a;
            for (const QString& s : list)
                a << QStringLiteral("--study") << s;
            return a;
        }();
    // Not a terminal: the summary alone, and with --quiet nothing at all.
    const Outcome piped = Run(args);
    EXPECT_EQ(piped.status, 0);
    EXPECT_TRUE(Summary.match(QString::fromUtf8(piped.err)).hasMatch()) << piped.err.constData();
    const Outcome quiet = Run(args + QStringList{QStringLiteral("--quiet")});
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.err, QByteArray());

    // A terminal: the line is redrawn in place, then the summary.
    std::vector<QByteArray> argv8{QByteArray(AURIGON_BINARY)};
    for (const QString& a : args)
        argv8.push_back(a.toUtf8());
    std::vector<char*> argv;
    for (QByteArray& a : argv8)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const QByteArray folder = QFile::encodeName(dir.path());
    int master = -1;
    const pid_t pid = ::forkpty(&master, nullptr, nullptr, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (::chdir(folder.constData()) != 0)
            ::_exit(127);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    QByteArray seen;
    for (;;) {
        pollfd p{master, POLLIN, 0};
        if (::poll(&p, 1, 120000) <= 0)
            break;
        char buffer[4096];
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0)
            break; // EIO once the program has gone
        seen.append(buffer, n);
    }
    ::close(master);
    int status = -1;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(seen.contains("\r\033[K[")) << seen.constData();
    EXPECT_TRUE(seen.contains("3/3 charts, ")) << seen.constData();
    EXPECT_TRUE(seen.contains(" left")) << seen.constData();
    EXPECT_TRUE(seen.endsWith(" failed\r\n")) << seen.constData();
    EXPECT_TRUE(Summary
                    .match(QString::fromUtf8(seen.mid(seen.lastIndexOf("\033[K") + 3))
                               .replace(QStringLiteral("\r\n"), QStringLiteral("\n")))
                    .hasMatch())
        << seen.constData();
}

namespace {
// The share of the picture's black pixels that have a dark pixel within one
// pixel of them in the other: 1 when every line and letter is drawn again.
double InkFound(const QImage& picture, const QImage& other)
{
    const QImage a = picture.convertToFormat(QImage::Format_Grayscale8);
    const QImage b = other.convertToFormat(QImage::Format_Grayscale8);
    if (a.size() != b.size())
        return 0;
    long ink = 0, found = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if (a.constScanLine(y)[x] >= 128)
                continue;
            ++ink;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx) {
                    const int u = x + dx, v = y + dy;
                    near = u >= 0 && v >= 0 && u < b.width() && v < b.height() &&
                           b.constScanLine(v)[u] < 160;
                }
            found += near;
        }
    return ink ? double(found) / double(ink) : 0;
}

// pdftoppm and pdftotext, when installed.
QByteArray Poppler(const QString& tool, const QStringList& args, const QString& folder)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.start(tool, args);
    if (!p.waitForStarted(30000))
        return {};
    p.waitForFinished(120000);
    return p.exitCode() == 0 ? p.readAllStandardOutput() : QByteArray();
}
} // namespace

TEST_F(Batch, SvgAndPdfDrawWhatThePictureShows)
{
    const QString s = Study(QStringLiteral("chart"), 400);
    ASSERT_EQ(
        Run({QStringLiteral("--study"), s, QStringLiteral("--image-dir"), QStringLiteral("png")})
            .status,
        0);
    const QImage png(dir.filePath(QStringLiteral("png/chart.png")));
    ASSERT_FALSE(png.isNull());
    for (const char* format : {"svg", "pdf"}) {
        const QString out = QString::fromLatin1(format);
        const Outcome o = Run({QStringLiteral("--study"), s, QStringLiteral("--image-dir"), out,
                               QStringLiteral("--format"), out});
        ASSERT_EQ(o.status, 0) << format << o.err.constData();
        EXPECT_EQ(QDir(dir.filePath(out)).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("chart.") + out});
    }
    // SVG: well-formed, the letters as outlines, the same lines and letters.
    const QByteArray svg = Read(QStringLiteral("svg/chart.svg"));
    EXPECT_TRUE(svg.contains("<title>chart</title>"));
    EXPECT_FALSE(svg.contains("<text")) << "letters are outlines, whatever fonts a reader has";
    QSvgRenderer renderer(svg);
    ASSERT_TRUE(renderer.isValid());
    EXPECT_EQ(renderer.viewBox(), png.rect());
    QImage drawn(png.size(), QImage::Format_RGB32);
    drawn.fill(Qt::white);
    {
        QPainter p(&drawn);
        renderer.render(&p);
    }
    EXPECT_GT(InkFound(png, drawn), 0.97) << "every line and letter of the picture is in the SVG";
    EXPECT_GT(InkFound(drawn, png), 0.97) << "and nothing else";

    // PDF: one page of the chart's size, its text searchable.
    const QByteArray pdf = Read(QStringLiteral("pdf/chart.pdf"));
    EXPECT_TRUE(pdf.startsWith("%PDF-1."));
    EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
    EXPECT_TRUE(pdf.contains("/MediaBox [0 0 980.000000 590.000000]")) << "one point a pixel";
    // Drawn again, only the creation date and the document's ID differ.
    ASSERT_EQ(Run({QStringLiteral("--study"), s, QStringLiteral("--image-dir"),
                   QStringLiteral("pdf2"), QStringLiteral("--format"), QStringLiteral("pdf")})
                  .status,
              0);
    const auto stamped = [](const QByteArray& bytes) {
        static const QRegularExpression stamps(QStringLiteral(
            "/CreationDate \\([^)]*\\)|/ID \\[[^]]*\\]|startxref\\s+\\d+|\\d{10} \\d{5} n"));
        return QString::fromLatin1(bytes).remove(stamps);
    };
    EXPECT_EQ(stamped(Read(QStringLiteral("pdf2/chart.pdf"))), stamped(pdf));
    const QByteArray text =
        Poppler(QStringLiteral("pdftotext"), {QStringLiteral("pdf/chart.pdf"), QStringLiteral("-")},
                dir.path());
    if (text.isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    EXPECT_TRUE(text.contains("(c) Aurigon Charting")) << text.constData();
    EXPECT_TRUE(text.contains("chart.txt: ")) << text.constData();
    Poppler(QStringLiteral("pdftoppm"),
            {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("72"),
             QStringLiteral("-singlefile"), QStringLiteral("pdf/chart.pdf"),
             QStringLiteral("page")},
            dir.path());
    const QImage page(dir.filePath(QStringLiteral("page.png")));
    ASSERT_FALSE(page.isNull());
    EXPECT_GT(InkFound(png, page), 0.97) << "every line and letter of the picture is in the PDF";
    EXPECT_GT(InkFound(page, png), 0.97);
}
