#include "app/session/UiModel.h"

UiModel::UiModel()
{
    for (int i = 0; i < CtlCount; ++i) {
        const MenuCommand& r = CommandOf(static_cast<Ctl>(i));
        ControlState& s = controls[static_cast<size_t>(i)];
        s.caption = r.caption;
        s.hint = r.tip;
        s.image = r.place->image;
        s.enabled = r.place->enabled;
        s.visible = r.place->visible;
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
