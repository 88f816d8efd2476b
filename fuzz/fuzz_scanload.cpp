// A whole scan and load of an arbitrary file, then the chart drawn from it.
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdint>

#include "app/session/ChartSession.h"
#include "app/session/GloVar.h"
#include "app/session/Prompts.h"

namespace {
class NoPrompts : public Prompts {
public:
    void beep() override {}
    void message(const QString&, const QString&) override {}
    void error(const QString&) override {}
    std::optional<QString> openFileName(const QString&, const QString&) override { return path; }
    std::optional<QString> saveFileName(const QString&, const QString&, const QString&) override
    {
        return std::nullopt;
    }
    std::unique_ptr<PrintTarget> printerSetup() override { return nullptr; }
    QString path;
};
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    NoPrompts prompts;
    prompts.path = dir.filePath(QStringLiteral("prices.txt"));
    {
        QFile f(prompts.path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        // The first byte picks the layout and spacing, the rest is the file.
        f.write(reinterpret_cast<const char*>(data) + (size ? 1 : 0), qint64(size ? size - 1 : 0));
    }
    const uint8_t opts = size ? data[0] : 0;
    ChartSession s(prompts);
    s.toClipboard = nullptr;
    s.FormCreate(dir.path());
    s.GloVar.DateFormat = int16_t(opts % DateLayoutCount);
    const char seps[] = {',', ';', '\t'};
    s.GloVar.FieldSeparator = seps[(opts >> 6) % 3];
    s.GloVar.HasHeaderLine = (opts & 8) != 0;
    s.SplashAcknowledged(false);
    s.FinishFirstActivation(200, 120);
    s.FileBtnClick();
    s.GloVar.LeaveHolidaySpace = (opts & 16) != 0;
    s.GloVar.BlankDaysRight = (opts & 32) ? 50 : 0;
    s.GloVar.FirstRecord = std::max(1, s.GloVar.FirstRecord);
    if (s.ui[Ctl::PlotBtn].enabled)
        s.PlotBtnClick();
    return 0;
}
