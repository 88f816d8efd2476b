#pragma once
// The table of commands. Every toolbar control, every item of the menu bar
// and every key of the window is one row of MenuCommands() below (id,
// caption, tip, keys, icon, place on the bars, enabled and ticked rules,
// handler). The toolbar, the menu bar, the keys, the hidden menu, the state
// report and the script runner all read it.

#include <QKeySequence>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

// The window's controls, in the order the table lists them; each is the row
// of the same name.
enum class Ctl {
    FileBtn,
    DateBtn,
    PlotBtn,
    P1Btn,
    P2Btn,
    DrawBtn,
    DirBtn,
    RatioBtn,
    ClipButton,
    EraseBtn,
    SaveBtn,
    PrintBtn,
    UpBtn,
    DownBtn,
    ToolButton1,
    ToolButton2,
    LeftBtn,
    RightBtn,
    PeriodCB,
    ToolBar2,
    ExitBtn,
    Count
};
constexpr int CtlCount = static_cast<int>(Ctl::Count);

class ChartSession;

// Where a control sits on the toolbars and how it starts.
struct ToolPlace {
    // Main, or the navigation bar ToolBar2.
    enum Bar { Main, Nav };
    // What follows the control on its bar.
    enum After { Nothing, Separator, RatioLabel };
    Ctl ctl;
    int image = -1;
    bool enabled = true;
    bool visible = true;
    Bar bar = Main;
    After after = Nothing;
    // The ChartSession member a click runs.
    void (ChartSession::*click)() = nullptr;
    // A script's press line reaches it (the period list is chosen, not pressed).
    bool pressable = true;
    // The dialog line a script's press must be followed by, or none.
    const char* answer = nullptr;
};

// A row of the table: the controls first, in their order, then the menu
// bar's rows in the order the menus show them.
struct MenuCommand {
    // Control: a control of the toolbars, in no menu.
    enum Kind { Item, Separator, Submenu, Control };
    Kind kind = Item;
    // Unique; the item's object name.
    QString id;
    // The menus it sits in, by their captions: "&File", "&View/&Bar style".
    // Empty: a control, or a key of the window that no menu shows.
    QString menu;
    QString caption;
    // Its keys as written on a menu, several joined by "; ": "Up; +".
    QString keys;
    // "" none, or a picture the window draws: "select".
    QString icon;
    QString tip;
    // Also on the main toolbar, after its controls, as a button of this name.
    QString toolButton;
    // A control's place; set for Control rows only.
    std::optional<ToolPlace> place;
    bool checkable = false;
    // Ticked items of a group exclude each other; an optional group may have none.
    QString group;
    bool groupOptional = false;
    // Rules read whenever the session changed; an empty enabled rule is
    // always enabled, an empty checked rule of a checkable item leaves the
    // tick to the window.
    std::function<bool(const ChartSession&)> enabled;
    std::function<bool(const ChartSession&)> checked;
    // A caption that follows the session ("&Undo Clear").
    std::function<QString(const ChartSession&)> captionNow;
    // The session's handler; on is the item's tick after the click. Empty:
    // the window's own (Exit, About, the Select tool, the crosshair).
    std::function<void(ChartSession&, bool on)> run;
    // The user's setting the click is remembered under, and its value.
    QString kept;
    std::function<QVariant(bool on)> keptValue;

    // The keys as the window binds them; none for an empty keys text.
    [[nodiscard]] QList<QKeySequence> shortcuts() const;
};

[[nodiscard]] const std::vector<MenuCommand>& MenuCommands();

// What the rules of every row say of a session now, in the table's order
// (-1 where a row has no such rule): what the menus show.
struct MenuRules {
    std::vector<signed char> enabled, checked;
    QStringList captions;
    bool operator==(const MenuRules&) const = default;
};
[[nodiscard]] MenuRules ReadMenuRules(const ChartSession& s);
// The row of id, or none.
[[nodiscard]] const MenuCommand* MenuCommandOf(const QString& id);

// The row of control c, and its id.
[[nodiscard]] const MenuCommand& CommandOf(Ctl c);
[[nodiscard]] const char* CtlName(Ctl c);
// The control a row id names, or none.
[[nodiscard]] std::optional<Ctl> CtlFromName(const QString& name);
[[nodiscard]] bool IsInToolBar2(Ctl c);
