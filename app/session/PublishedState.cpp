#include "app/session/PublishedState.h"

#include <utility>

unsigned PublishedState::Changes(const Now& now) const
{
    unsigned what = 0;
    const UiModel* was = ui_ ? &*ui_ : nullptr;
    const UiModel& ui = now.ui;
    if (!was || title_ != now.title)
        what |= Caption;
    if (!was || was->controls != ui.controls || was->toolBar1Enabled != ui.toolBar1Enabled ||
        was->toolbar2Green != ui.toolbar2Green || was->label1 != ui.label1 ||
        was->imageVisible != ui.imageVisible)
        what |= Controls;
    if (!was || was->panels != ui.panels)
        what |= Panels;
    if (!was || was->cursor != ui.cursor || was->hint != ui.hint)
        what |= Pointer;
    if (now.pictureDirty)
        what |= Picture;
    if (!was || now.menus != menus_)
        what |= Menus;
    if (selected_ != now.selected)
        what |= Selection;
    return what;
}

std::optional<UiModel> PublishedState::Tell(const Now& now)
{
    std::optional<UiModel> before = std::exchange(ui_, now.ui);
    selected_ = now.selected;
    menus_ = now.menus;
    title_ = now.title;
    return before;
}
