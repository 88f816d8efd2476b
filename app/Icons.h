#pragma once
#include <QIcon>
#include <QPixmap>

// The toolbar's button icons, drawn here rather than loaded.
[[nodiscard]] QIcon ToolIcon(int index);
[[nodiscard]] QPixmap ProgramPixmap(int size);
[[nodiscard]] QIcon ProgramIcon();
