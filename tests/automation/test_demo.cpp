// The demo script's pictures, kept by pixel hashes so that restructuring
// the code cannot change a single pixel of them unnoticed, and so that they
// are the same whatever fonts the machine has.
#include <QCryptographicHash>
#include <QImage>

#include "tests/Support.h"

namespace {
std::string PixelHash(const QString& path)
{
    const QImage img = QImage(path).convertToFormat(QImage::Format_RGB32);
    if (img.isNull())
        return "missing";
    QCryptographicHash h(QCryptographicHash::Md5);
    for (int y = 0; y < img.height(); ++y)
        h.addData(
            QByteArrayView(reinterpret_cast<const char*>(img.constScanLine(y)), img.width() * 4));
    return h.result().toHex().toStdString();
}

const std::pair<const char*, const char*> Expected[] = {
    {"chart.png", "0f35494747b0c4891dd9e1dd716fed56"},
    {"1-spiral.png", "bdce8e3eafe4516fa11299d77e52dd29"},
    {"2-ellipse.png", "e2da75429887865e46258f3e1706ab29"},
    {"3-fan-lines.png", "e8bfc8391a62b3bc639eafb7951c6f39"},
    {"4-extensions.png", "4944b72e2195256dd5acbf3be80d22db"},
    {"5-corrections.png", "224c356b2fced2ecdad591529cbf2fad"},
    {"6-time-goals.png", "92f9cd94e0f9e5db171de706f60a92c9"},
    {"7-channel.png", "93433f9182c8f33597fd2ad6d5248675"},
    {"8-arcs.png", "3ced5e7813a58afa775dedaa305469cc"},
    {"navigated.png", "3e1d261129c46545cd7d0380dc056e83"},
    {"saved.bmp", "3e1d261129c46545cd7d0380dc056e83"},
    {"TmpPrice.bmp", "62152085c27b0e06dfd2fde1d487e272"},
};

QString DemoScript()
{
    return QString::fromUtf8(ReadBytes(QStringLiteral(SAMPLES_DIR "/demo.script")))
        .replace(QStringLiteral("@SAMPLES@"), QStringLiteral(SAMPLES_DIR));
}

void ExpectDemoPictures(const QString& dir, const char* how)
{
    for (const auto& [name, hash] : Expected)
        EXPECT_EQ(PixelHash(QDir(dir).filePath(QLatin1String(name))), hash) << name << ", " << how;
}

// A fontconfig setup of its own: the given font folder (none if empty),
// its cache in the test's folder, and the given rules.
QString FontConfig(const QString& folder, const QString& fontDir, const QString& rules)
{
    QFile f(folder + QStringLiteral("/fonts.conf"));
    const QString dirLine =
        fontDir.isEmpty() ? QString() : QStringLiteral("  <dir>%1</dir>\n").arg(fontDir);
    const QByteArray text =
        QStringLiteral("<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
                       "<fontconfig>\n%1  <cachedir>%2/cache</cachedir>\n%3</fontconfig>\n")
            .arg(dirLine, folder, rules)
            .toUtf8();
    return f.open(QIODevice::WriteOnly) && f.write(text) == text.size() ? f.fileName() : QString();
}

// Renames every font of one family to another as fontconfig reads it.
QString Rename(const char* from, const char* to)
{
    return QStringLiteral(
               "  <match target=\"scan\"><test name=\"family\"><string>%1</string></test>"
               "<edit name=\"family\" mode=\"assign\"><string>%2</string></edit></match>\n")
        .arg(QLatin1String(from), QLatin1String(to));
}
// Runs a script in this process against the real window in the folder
// given, and says whether it ran without an error event.
bool RunsCleanly(const QString& dir, QString text)
{
    const ScriptRun r =
        RunScript(dir, text.replace(QStringLiteral("@SAMPLES@"), QStringLiteral(SAMPLES_DIR)));
    return r.status == 0 && !r.kinds().contains(QStringLiteral("error"));
}

// Every figure type, kept and replaced, grown, shrunk and dragged, on the
// sample; the study of it is saved at the end.
const char* const AllFigures = R"(
ack
press FileBtn
open "@SAMPLES@/sample.txt"
dates FRecordEdit=2340 LRecordEdit=2600 NdayEdit=30
press PlotBtn
press P1Btn
click 430 350
press P2Btn
click 560 190
type 1
press DrawBtn
press DirBtn
press ClipButton
type 2
press DrawBtn
press DrawBtn
press ClipButton
press RatioBtn
press DrawBtn
press ClipButton
press DirBtn
press DrawBtn
press DrawBtn
press ClipButton
down 560 190 right
move 600 170
up 600 170 right
press ClipButton
click 700 120
type 3
press DrawBtn
press ClipButton
press P1Btn
click 250 470
press P2Btn
click 560 190
type 4
press DrawBtn
press ClipButton
type 5
press DrawBtn
press ClipButton
type 6
press DrawBtn
press ClipButton
click 500 150
type 7
press DrawBtn
press ClipButton
type 8
press DrawBtn
image all.png
study save all.aurigon
)";
} // namespace

// The program itself, run with no fonts at all and with impostors: fonts
// that take the names of the chart's own faces but have the other face's
// letters. Every picture is the one made with the machine's fonts.
TEST(Demo, PicturesDoNotDependOnInstalledFonts)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString text = DemoScript();

    const QString impostors = root.filePath(QStringLiteral("impostors"));
    ASSERT_TRUE(QDir().mkpath(impostors));
    for (const char* file : {"DejaVuSans-Bold.ttf", "LiberationMono-Bold.ttf"})
        ASSERT_TRUE(QFile::copy(QStringLiteral(FONTS_DIR "/") + QLatin1String(file),
                                impostors + QLatin1Char('/') + QLatin1String(file)));
    const QString swap = Rename("DejaVu Sans", "Impostor") +
                         Rename("Liberation Mono", "DejaVu Sans") +
                         Rename("Impostor", "Liberation Mono");

    struct Way {
        const char* name;
        QString fontDir, rules;
    };
    const Way ways[] = {
        {"with no fonts", QString(), QString()},
        {"with impostor fonts", impostors, swap},
    };
    for (const Way& way : ways) {
        const QString dir = root.filePath(QString::number(&way - ways));
        ASSERT_TRUE(QDir().mkpath(dir));
        const QString conf = FontConfig(dir, way.fontDir, way.rules);
        ASSERT_FALSE(conf.isEmpty());
        const Outcome o =
            RunAurigon(dir, {QStringLiteral("--script"), QStringLiteral("-")}, text.toUtf8(), false,
                       nullptr, {QStringLiteral("FONTCONFIG_FILE=") + conf});
        EXPECT_EQ(o.status, 0) << way.name << ": " << o.err.toStdString();
        ExpectDemoPictures(dir, way.name);
    }
}

// The demo's pictures in this process; the drawing operations of the demo
// and of every figure, and the picture of a study reopened, stay what they
// are operation for operation.
TEST(Demo, PicturesAndDrawingOperationsAreUnchanged)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString demo = DemoScript();
    const auto traced = [](QString text, const char* name) {
        return text.replace(QStringLiteral("\nack\n"),
                            QStringLiteral("\nack\ntrace %1\n").arg(QLatin1String(name)));
    };
    EXPECT_TRUE(RunsCleanly(dir.path(), traced(demo, "demo.trace")));
    ExpectDemoPictures(dir.path(), "in this process");
    EXPECT_TRUE(RunsCleanly(dir.path(), traced(QLatin1String(AllFigures), "all.trace")));
    EXPECT_TRUE(
        RunsCleanly(dir.path(), QStringLiteral("ack\ntrace study.trace\nstudy open all.aurigon\n"
                                               "image study.png\n")));
    const std::pair<const char*, const char*> expected[] = {
        {"demo.trace", "5607ec67fa972fa4e0f76ee9c91d7887"},
        {"all.trace", "10a32bca01d853c668ef3b8dbb9f8ce8"},
        {"study.trace", "4c337d52b0ddb67425c5fb689e113721"},
    };
    for (const auto& [name, hash] : expected)
        EXPECT_EQ(QCryptographicHash::hash(ReadBytes(dir.filePath(QLatin1String(name))),
                                           QCryptographicHash::Md5)
                      .toHex()
                      .toStdString(),
                  hash)
            << name;
    EXPECT_EQ(PixelHash(dir.filePath(QStringLiteral("all.png"))),
              "3d8770e1bacb4f4068760da782210804");
    EXPECT_EQ(PixelHash(dir.filePath(QStringLiteral("study.png"))),
              "8d337308dd010fec3b8e967e30e6f4d3");
}
