#pragma once
// The table of commands: every toolbar control is one row (name, caption,
// hint, icon, place on the bars, state at start, handler). The toolbar, the
// hidden menu, the state report and the script runner all read it.

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

#include <QString>

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
