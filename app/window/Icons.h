#pragma once
#include <QIcon>
#include <QPixmap>

// The toolbar's button icons, drawn here rather than loaded.
[[nodiscard]] QIcon ToolIcon(int index);
[[nodiscard]] QPixmap ProgramPixmap(int size);
[[nodiscard]] QIcon ProgramIcon();
class QWidget;
// The program's mark as a widget of size x size, drawn when first shown.
[[nodiscard]] QWidget* ProgramMark(int size, QWidget* parent);

class QStyle;
// The platform's style with the overflow arrows of the toolbar and the menu
// bar drawn here: the style would read them from image files, and the first
// image read loads every image format plugin at start-up.
[[nodiscard]] QStyle* ProgramStyle();
