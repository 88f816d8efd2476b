#include "app/session/KeptSettings.h"

#include <QSet>
#include <QStandardPaths>
#include <cstdio>
#include <optional>

#include "data/FileNames.h"

namespace Kept {
namespace {
// Set once the old view file's values are here, so that the file, left in
// place for older versions, does not undo later changes.
constexpr const char* ViewFileTakenKey = "view/viewFileTaken";

QStringList& Said()
{
    static QStringList said;
    return said;
}
} // namespace

QString FileName()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/aurigon/aurigon.conf");
}

void NoteOnce(const QString& text)
{
    if (Said().contains(text))
        return;
    Said().append(text);
    std::fprintf(stderr, "aurigon: %s\n", qPrintable(text));
}

QStringList Notes()
{
    return Said();
}

bool Usable()
{
    const QString file = FileName();
    if (const Result<void> kept = CheckKeptFile(file); !kept) {
        NoteOnce(QStringLiteral("the settings are neither read nor kept: %1: %2")
                     .arg(file, kept.error().reason));
        return false;
    }
    return true;
}

QSettings Open()
{
    return QSettings(FileName(), QSettings::IniFormat);
}

void Sync(QSettings& st)
{
    st.sync();
    if (st.status() == QSettings::AccessError)
        NoteOnce(QStringLiteral("the settings cannot be kept: %1 cannot be written.")
                     .arg(st.fileName()));
}

void Put(const QString& key, const QVariant& value)
{
    if (!Usable())
        return;
    QSettings st = Open();
    st.setValue(key, value);
    Sync(st);
}

void TakeOverViewFile(const QString& path)
{
    if (!Usable())
        return;
    QSettings st = Open();
    if (st.value(QLatin1String(ViewFileTakenKey), false).toBool())
        return;
    if (const Result<void> kept = CheckKeptFile(path); !kept) {
        NoteOnce(QStringLiteral("the old view settings are not taken over: %1: %2")
                     .arg(path, kept.error().reason));
        return;
    }
    const std::optional<QByteArray> text = ReadKeptFile(path, 256);
    if (!text)
        return;
    // One KEY=0/1 a line; files of the first versions hold the first line only.
    for (const QByteArray& raw : text->split('\n')) {
        const QByteArray line = raw.trimmed();
        const bool on = line.endsWith("=1");
        if (line.startsWith("LevelValues="))
            st.setValue(QLatin1String(LevelValuesKey), on);
        else if (line.startsWith("ScaleToFigures="))
            st.setValue(QLatin1String(ScaleToFiguresKey), on);
        else if (line.startsWith("TimeGoalRoom="))
            st.setValue(QLatin1String(TimeGoalRoomKey), on);
    }
    st.setValue(QLatin1String(ViewFileTakenKey), true);
    Sync(st);
}
} // namespace Kept
