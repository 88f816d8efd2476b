#pragma once
// The mouse's drags on the chart, each one step of the history: a pan or a
// stretch of the chart, a picked figure's handle, the live ellipse. Each
// holds the session's state from before it began, kept as its step when the
// drag ends.

#include <optional>

#include "app/session/SessionHistory.h"
#include "tools/FigureGeometry.h"

struct MouseDrags {
    using Snapshot = SessionHistory::Snapshot;

    // A pan by whole slots from a press on the plot, or a stretch of the
    // price scale from a press on the price axis: the chart as it began.
    struct Nav {
        bool stretch = false;
        int x = 0, y = 0;
        int first = 0, last = 0;
        double top = 0, bottom = 0;
        bool log = false;
        int plotHeight = 0;
        double slotWidth = 0;
    };
    std::optional<Nav> nav;
    std::optional<Snapshot> navBefore;

    // The picked figure's handle being dragged: 1 P1, 2 P2, 3 the third
    // point; 0 none.
    int handle = 0;
    std::optional<Snapshot> handleBefore;

    // The live ellipse: the memory its last move grew from, whether it
    // moved since the press, and the state before the press.
    std::optional<EllipseMemory> ellipseMemory;
    bool ellipseMoved = false;
    std::optional<Snapshot> ellipseBefore;
};
