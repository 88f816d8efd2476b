#pragma once
// Everything the program remembers between runs, but for the layout file
// beside the price files, lives in one settings file of the user's. The view
// file older versions kept beside the layout file is taken over once.

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace Kept {
// The settings file by its full name, so that nothing but it is read (no
// system-wide fallbacks).
[[nodiscard]] QString FileName();
// False when a pipe, device or folder lies at the file's name: reading it
// would hang the start and saving would replace it. Said once.
[[nodiscard]] bool Usable();
[[nodiscard]] QSettings Open();
// Writes st out; settings lost to a read-only folder are said once.
void Sync(QSettings& st);
// One value set and written out, when the file is usable.
void Put(const QString& key, const QVariant& value);

// Said once a run on standard error: remembered values are no reason to stop.
void NoteOnce(const QString& text);
// What was said so far this run.
[[nodiscard]] QStringList Notes();

// The view toggles older versions kept in the view file, by their keys here.
inline constexpr const char* LevelValuesKey = "view/levelValues";
inline constexpr const char* ScaleToFiguresKey = "view/scaleToFigures";
inline constexpr const char* TimeGoalRoomKey = "view/timeGoalRoom";
inline constexpr const char* BarStyleKey = "view/barStyle";

// The old view file at path moved into the settings, when it is a regular
// file and none was taken over before; it is never written again. Anything
// else at the name is said once and left as it is.
void TakeOverViewFile(const QString& path);
} // namespace Kept
