// The demo script's pictures, kept by pixel hashes so that restructuring
// the code cannot change a single pixel of them unnoticed.
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/GloVar.h"
#include "app/MainForm.h"
#include "app/ScriptRunner.h"

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
} // namespace

TEST(Demo, PicturesArePixelIdentical)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile f(QStringLiteral(SAMPLES_DIR "/demo.script"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll())
                             .replace(QStringLiteral("@SAMPLES@"), QStringLiteral(SAMPLES_DIR));
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    ResetSharedState();
    int errors = 0;
    {
        ScriptHost host([&errors](const QJsonObject& o) {
            errors += o[QStringLiteral("event")] == QLatin1String("error");
        });
        TMainForm form(host, dir.path());
        form.show();
        form.FormActivate();
        ScriptRunner runner(form, host);
        EXPECT_EQ(runner.run(text.split(QLatin1Char('\n'))), 0);
    }
    QDir::setCurrent(before);
    EXPECT_EQ(errors, 0);

    const std::pair<const char*, const char*> expected[] = {
        {"chart.png", "efd52f89e1461960ffcba788d6516e82"},
        {"1-spiral.png", "1524d90ddcf32f981fb44632ad00f7fe"},
        {"2-ellipse.png", "96c4c4c775531fc1b67a2446bceda198"},
        {"3-fan-lines.png", "f79d336e3a6b3929ae7524ac1069adb4"},
        {"4-extensions.png", "28fdb410adde405c837c4b35f601b231"},
        {"5-corrections.png", "f5fec1a5b01918a3aff425582d42fb4f"},
        {"6-time-goals.png", "ce907c54d2fa3f341193812a48cd0f20"},
        {"7-channel.png", "0e044af3eeb53457060c006c860866e4"},
        {"8-arcs.png", "d329199a67a0dd861853192adfb3c037"},
        {"navigated.png", "05efeeca4046fbd6450675adbc13a941"},
        {"saved.bmp", "05efeeca4046fbd6450675adbc13a941"},
        {"TmpPrice.bmp", "0d093133d2f6febd5df18dd370127a9d"},
    };
    for (const auto& [name, hash] : expected)
        EXPECT_EQ(PixelHash(dir.filePath(QLatin1String(name))), hash) << name;
}
