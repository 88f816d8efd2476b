#pragma once
// The table of commands. Every toolbar control is one row (name, caption,
// hint, icon, place on the bars, state at start, handler), and every item of
// the menu bar is one row of MenuCommands() below (menu, caption, keys, icon,
// enabled and ticked rules, handler). The toolbar, the menu bar, the keys,
// the hidden menu, the state report and the script runner all read them.

// X(name, caption, hint, icon, enabled, visible, bar, after, handler)
//   bar: Main or Nav (the navigation bar ToolBar2); after: what follows the
//   control on its bar (Nothing, Separator, RatioLabel); handler: the
//   ChartSession member a click runs.
#define AURIGON_COMMANDS(X)                                                                        \
    X(FileBtn, "File", "Select data file - Click right mouse to setup  file spec", 0, true, true,  \
      Main, Nothing, FileBtnClick)                                                                 \
    X(DateBtn, "Dates", "Selet Date Range", 1, false, true, Main, Nothing, DateBtnClick)           \
    X(PlotBtn, "Plot", "Plot Price Chart or Back to setup new chart", 2, false, true, Main,        \
      Separator, PlotBtnClick)                                                                     \
    X(P1Btn, "P1", "To set P1 point", 6, false, true, Main, Nothing, P1BtnClick)                   \
    X(P2Btn, "P2", "To set P2 point", 6, false, true, Main, Separator, P2BtnClick)                 \
    X(DrawBtn, "Draw", "Draw tool charts  -  Right click to chose a Chart type", 7, false, true,   \
      Main, Nothing, DrawBtnClick)                                                                 \
    X(DirBtn, "DIR",                                                                               \
      "Toggle between + and - of DIR value - Click Right mouse to setup angles for Fan-Lines", 14, \
      true, true, Main, Nothing, DirBtnClick)                                                      \
    X(RatioBtn, "RATIO", "Increase or Decrease Ratio value", 17, true, true, Main, RatioLabel,     \
      RatioBtnClick)                                                                               \
    X(ClipButton, "Clip", "", 15, false, true, Main, Nothing, ClipButtonClick)                     \
    X(EraseBtn, "Clear", "Erase all the tool charts drawn", 4, false, true, Main, Nothing,         \
      EraseBtnClick)                                                                               \
    X(SaveBtn, "Save", "Save the snap shot of current chart", 8, false, false, Main, Nothing,      \
      SaveBtnClick)                                                                                \
    X(PrintBtn, "Print", "Print current chart", 10, false, true, Main, Separator, PrintBtnClick)   \
    X(UpBtn, "", "Draw begining period", 18, true, true, Nav, Nothing, UpBtnClick)                 \
    X(DownBtn, "", "Lengthen drawing period", 19, true, true, Nav, Separator, DownBtnClick)        \
    X(ToolButton1, "", "Shift to previous period", 20, true, true, Nav, Nothing, ToolButton1Click) \
    X(ToolButton2, "", "Shift to next period", 21, true, true, Nav, Separator, ToolButton2Click)   \
    X(LeftBtn, "", "Shorten drawing period", 22, true, true, Nav, Nothing, LeftBtnClick)           \
    X(RightBtn, "", "Draw whole period", 23, true, true, Nav, Separator, RightBtnClick)            \
    X(PeriodCB, "260", "# of Days per chart when shift buttons are used", -1, false, true, Nav,    \
      Nothing, PeriodCBClick)                                                                      \
    X(ToolBar2, "", "", -1, false, true, Main, Separator, ToolBar2Click)                           \
    X(ExitBtn, "Exit", "", 3, true, true, Main, Nothing, ExitBtnClick)

#include <QKeySequence>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <vector>

#define AURIGON_CTL_ENUM(name, ...) name,
enum class Ctl { AURIGON_COMMANDS(AURIGON_CTL_ENUM) Count };
#undef AURIGON_CTL_ENUM
constexpr int CtlCount = static_cast<int>(Ctl::Count);

class ChartSession;

struct Command {
    enum Bar { Main, Nav };
    enum After { Nothing, Separator, RatioLabel };
    Ctl id;
    const char* name;
    const char* caption;
    const char* hint;
    int icon;
    bool enabled;
    bool visible;
    Bar bar;
    After after;
    void (ChartSession::*handler)();
};

[[nodiscard]] const Command& CommandOf(Ctl c);
[[nodiscard]] const char* CtlName(Ctl c);
[[nodiscard]] bool CtlFromName(const QString& name, Ctl& out);
[[nodiscard]] bool IsInToolBar2(Ctl c);

// A row of the menu bar, in the order the menus show them.
struct MenuCommand {
    enum Kind { Item, Separator, Submenu };
    Kind kind = Item;
    // Unique; the item's object name.
    QString id;
    // The menus it sits in, by their captions: "&File", "&View/&Bar style".
    // Empty: a key of the window that no menu shows.
    QString menu;
    QString caption;
    // Its keys as written on a menu, several joined by "; ": "Up; +".
    QString keys;
    // "" none, or a picture the window draws: "select".
    QString icon;
    QString tip;
    // Also on the main toolbar, after its controls, as a button of this name.
    QString toolButton;
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
