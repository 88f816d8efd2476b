#pragma once
// What the main window's controls show. The handlers change this model; the
// window only mirrors it, and the state report reads it.

#include <QString>
#include <array>

#include "app/session/Commands.h"

enum class ChartCursor { Arrow, Drag, MultiDrag, SizeAll };

// Status bar panels by what they show.
enum Panel : int {
    PanelFile = 0,
    PanelRange = 1,
    PanelHoliday = 2,
    PanelRatio = 4,
    PanelDir = 6,
    PanelDate = 7,
    PanelPrice = 8,
    PanelPosition = 9,
    // The status bar holds the ten above; a row of their own holds the bar
    // under the cursor and the levels off the chart.
    StatusBarPanels = 10,
    PanelBar = 10,
    PanelLevels = 11,
    PanelCount = 12,
};

struct ControlState {
    bool enabled = false;
    bool visible = true;
    QString caption;
    QString hint;
    int image = -1;
    bool operator==(const ControlState&) const = default;
};

struct UiModel {
    std::array<ControlState, CtlCount> controls;
    bool toolBar1Enabled = false;
    std::array<QString, PanelCount> panels;
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
    void clearReadout();
    // Enabled with its enclosing toolbars, as a widget's isEnabled() reports it.
    [[nodiscard]] bool enabledInPlace(Ctl c) const;
    // Enabled in place and visible: a click reaches its handler.
    [[nodiscard]] bool reacts(Ctl c) const;
};
