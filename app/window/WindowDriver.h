#pragma once
// What the automation runner drives of the main window: the paths a person's
// clicks, presses and drops take, and the items the menu table built. The
// runner needs nothing else of the window.

#include <QString>

#include "app/session/Commands.h"
#include "tools/AnchorTool.h"

class ChartSession;
class QAction;
class QMenu;
class QWidget;
class ScriptableDialog;

class WindowDriver {
public:
    virtual ~WindowDriver() = default;

    [[nodiscard]] virtual ChartSession& driven() = 0;
    // The window itself, which takes keys and is resized.
    [[nodiscard]] virtual QWidget& widget() = 0;
    [[nodiscard]] virtual bool closedByUser() const = 0;

    // A left click on a toolbar control, and the right button on FileBtn,
    // DrawBtn or DirBtn; nothing happens unless it reacts.
    virtual void Press(Ctl c) = 0;
    virtual void RightPress(Ctl c) = 0;
    virtual void ChoosePeriod(int index) = 0;
    virtual void ChartMouseDown(MouseButton b, int x, int y, bool ctrl, bool shift) = 0;
    virtual void ChartMouseMove(int x, int y) = 0;
    virtual void ChartMouseUp() = 0;
    virtual void ChartWheel(int notches, bool shift, bool ctrl, int x) = 0;
    virtual void OpenDropped(const QString& path) = 0;
    virtual void FlushResize() = 0;
    virtual void Help2Click() = 0;

    // The one action behind a control, which the hidden menu triggers too.
    [[nodiscard]] virtual QAction* action(Ctl c) const = 0;
    // The never-shown menu that still reaches the hidden Save and every figure.
    [[nodiscard]] virtual QMenu& hiddenMenu() const = 0;
    // A menu bar item of the command table by its visible texts without "&",
    // joined by "/".
    [[nodiscard]] virtual QAction* menuItem(const QString& path) const = 0;
    // The item of a row of the menu table by its id.
    [[nodiscard]] virtual QAction* command(const QString& id) const = 0;
    // The set-up dialog a script fills: "layout", "dates" or "angles".
    [[nodiscard]] virtual ScriptableDialog* scriptableDialog(const QString& kind) = 0;

protected:
    WindowDriver() = default;
    WindowDriver(const WindowDriver&) = default;
    WindowDriver& operator=(const WindowDriver&) = default;
};
