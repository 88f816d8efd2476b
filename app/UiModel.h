#pragma once
// What the main window's controls show. The handlers change this model; the
// window only mirrors it, and the state report reads it.

#include <QString>
#include <array>

enum class Ctl {
    FileBtn, DateBtn, PlotBtn, P1Btn, P2Btn, DrawBtn, DirBtn, RatioBtn, ClipButton, EraseBtn,
    SaveBtn, PrintBtn, ExitBtn, UpBtn, DownBtn, ToolButton1, ToolButton2, LeftBtn, RightBtn,
    ToolBar2, PeriodCB, Count
};
constexpr int CtlCount = static_cast<int>(Ctl::Count);

enum class ChartCursor { Arrow, Drag, MultiDrag, SizeAll };

struct ControlState {
    bool enabled = false;
    bool visible = true;
    QString caption;
    QString hint;
    int image = -1;
};

struct UiModel {
    std::array<ControlState, CtlCount> controls;
    bool toolBar1Enabled = false;
    std::array<QString, 10> panels;
    QString label1;
    QString hint;
    QString caption;
    ChartCursor cursor = ChartCursor::Arrow;
    bool toolbar2Green = false;
    bool imageVisible = false;

    UiModel();
    ControlState& operator[](Ctl c) { return controls[static_cast<size_t>(c)]; }
    const ControlState& operator[](Ctl c) const { return controls[static_cast<size_t>(c)]; }
    void enable(Ctl c, bool on = true) { (*this)[c].enabled = on; }
    // Enabled with its enclosing toolbars, as a widget's isEnabled() reports it.
    [[nodiscard]] bool enabledInPlace(Ctl c) const;
    // Enabled in place and visible: a click reaches its handler.
    [[nodiscard]] bool reacts(Ctl c) const;
};

[[nodiscard]] const char* CtlName(Ctl c);
[[nodiscard]] bool CtlFromName(const QString& name, Ctl& out);
[[nodiscard]] bool IsInToolBar2(Ctl c);
