#include "app/session/UiModel.h"

UiModel::UiModel()
{
    for (int i = 0; i < CtlCount; ++i) {
        const Command& r = CommandOf(static_cast<Ctl>(i));
        ControlState& s = controls[static_cast<size_t>(i)];
        s.caption = QString::fromLatin1(r.caption);
        s.hint = QString::fromLatin1(r.hint);
        s.image = r.icon;
        s.enabled = r.enabled;
        s.visible = r.visible;
    }
}

void UiModel::clearReadout()
{
    panels[PanelDate].clear();
    panels[PanelPrice].clear();
    panels[PanelPosition].clear();
    panels[PanelBar].clear();
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
