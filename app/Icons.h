#pragma once
#include <QIcon>

// The toolbar's button icons, drawn here rather than loaded.
[[nodiscard]] QIcon ToolIcon(int index);
[[nodiscard]] QIcon ProgramIcon();
