// Reading an arbitrary fsetup.dat, then writing and reading it back.
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

#include "app/GloVar.h"
#include "data/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("fsetup.dat"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    ResetSharedState();
    ReadSettingsFile(path);
    const SharedState first = GloVar;
    if (!WriteSettingsFile(path).isEmpty())
        return 0;
    ResetSharedState();
    ReadSettingsFile(path);
    const auto& g = GloVar;
    // What was read survives a write and a second read.
    if (g.HasHeaderLine != first.HasHeaderLine || g.DateColumn != first.DateColumn ||
        g.CloseColumn != first.CloseColumn || g.DateFormat != first.DateFormat)
        __builtin_trap();
    return 0;
}
