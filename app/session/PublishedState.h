#pragma once
// What the window was last told of the session, compared once when the
// outermost handler ends: the controls' model, the title, the menu table's
// rules and the picked figure; and how deep the handlers running now are.

#include <QString>
#include <optional>

#include "app/session/Commands.h"
#include "app/session/UiModel.h"

class PublishedState {
public:
    // What changed since the window last heard, as flags.
    enum Shown : unsigned {
        Caption = 1,
        Controls = 2,
        Panels = 4,
        Pointer = 8,
        Picture = 16,
        Menus = 32,
        Selection = 64,
    };
    // The session as it is now.
    struct Now {
        const UiModel& ui;
        const QString& title;
        const MenuRules& menus;
        int selected = 0;
        bool pictureDirty = false;
    };
    // What differs from what the window was told last: everything but the
    // picture and the pick the first time.
    [[nodiscard]] unsigned Changes(const Now& now) const;
    // Now is what the window was told; gives the model told before, none
    // the first time.
    std::optional<UiModel> Tell(const Now& now);

    // Handlers running now; the outermost publishes as it ends.
    int depth = 0;

private:
    std::optional<UiModel> ui_;
    int selected_ = 0;
    MenuRules menus_;
    QString title_;
};
