#include "app/UiModel.h"

namespace {
const char* const Names[CtlCount] = {
    "FileBtn", "DateBtn", "PlotBtn", "P1Btn", "P2Btn", "DrawBtn", "DirBtn", "RatioBtn",
    "ClipButton", "EraseBtn", "SaveBtn", "PrintBtn", "ExitBtn", "UpBtn", "DownBtn",
    "ToolButton1", "ToolButton2", "LeftBtn", "RightBtn", "ToolBar2", "PeriodCB"};

struct Row {
    Ctl id;
    const char* caption;
    const char* hint;
    int image;
    bool enabled;
};
const Row CreationRows[] = {
    {Ctl::FileBtn, "File", "Select data file - Click right mouse to setup  file spec", 0, true},
    {Ctl::DateBtn, "Dates", "Selet Date Range", 1, false},
    {Ctl::PlotBtn, "Plot", "Plot Price Chart or Back to setup new chart", 2, false},
    {Ctl::P1Btn, "P1", "To set P1 point", 6, false},
    {Ctl::P2Btn, "P2", "To set P2 point", 6, false},
    {Ctl::DrawBtn, "Draw", "Draw tool charts  -  Right click to chose a Chart type", 7, false},
    {Ctl::DirBtn, "DIR",
     "Toggle between + and - of DIR value - Click Right mouse to setup angles for Fan-Lines", 14,
     true},
    {Ctl::RatioBtn, "RATIO", "Increase or Decrease Ratio value", 17, true},
    {Ctl::ClipButton, "Clip", "", 15, false},
    {Ctl::EraseBtn, "Clear", "Erase all the tool charts drawn", 4, false},
    {Ctl::SaveBtn, "Save", "Save the snap shot of current chart", 8, false},
    {Ctl::PrintBtn, "Print", "Print current chart", 10, false},
    {Ctl::ExitBtn, "Exit", "", 3, true},
    {Ctl::UpBtn, "", "Draw begining period", 18, true},
    {Ctl::DownBtn, "", "Lengthen drawing period", 19, true},
    {Ctl::ToolButton1, "", "Shift to previous period", 20, true},
    {Ctl::ToolButton2, "", "Shift to next period", 21, true},
    {Ctl::LeftBtn, "", "Shorten drawing period", 22, true},
    {Ctl::RightBtn, "", "Draw whole period", 23, true},
    {Ctl::ToolBar2, "", "", -1, false},
    {Ctl::PeriodCB, "260", "# of Days per chart when shift buttons are used", -1, false},
};
} // namespace

UiModel::UiModel()
{
    for (const Row& r : CreationRows) {
        ControlState& s = (*this)[r.id];
        s.caption = QString::fromLatin1(r.caption);
        s.hint = QString::fromLatin1(r.hint);
        s.image = r.image;
        s.enabled = r.enabled;
    }
    (*this)[Ctl::SaveBtn].visible = false;
}

bool UiModel::enabledInPlace(Ctl c) const
{
    if (!toolBar1Enabled || !(*this)[c].enabled)
        return false;
    return !IsInToolBar2(c) || (*this)[Ctl::ToolBar2].enabled;
}

bool UiModel::reacts(Ctl c) const
{
    return enabledInPlace(c) && (*this)[c].visible;
}

bool IsInToolBar2(Ctl c)
{
    return c >= Ctl::UpBtn && c <= Ctl::RightBtn ? true : c == Ctl::PeriodCB;
}

const char* CtlName(Ctl c)
{
    return Names[static_cast<int>(c)];
}

bool CtlFromName(const QString& name, Ctl& out)
{
    for (int i = 0; i < CtlCount; ++i) {
        if (name == QLatin1String(Names[i])) {
            out = static_cast<Ctl>(i);
            return true;
        }
    }
    return false;
}
