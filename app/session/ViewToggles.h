#pragma once
// The View menu's toggles the user's settings remember (Scale to figures,
// Room for time goals; Level values is a shared value and is passed in), and
// the room the figures on the chart are given because of them.

#include <optional>
#include <vector>

#include "chart/ChartMap.h"
#include "tools/FigureValues.h"

class ViewToggles {
public:
    // What the figures ask of the plot: the levels' prices and the blank
    // days up to the furthest time goal. Applied by every plot.
    struct FigureRoom {
        std::optional<double> high, low;
        int days = 0;
        bool operator==(const FigureRoom&) const = default;
    };
    // The room the elements want on a chart of map showing prices from low
    // to high and lastSlot slots; levels and goals too far off are left out.
    [[nodiscard]] FigureRoom RoomWanted(const ChartMap& map, double high, double low,
                                        double lastSlot,
                                        const std::vector<std::vector<FigureElement>>& kept,
                                        const std::vector<FigureElement>& current) const;

    // From now on the toggles are read from the user's settings (the old
    // view file at oldFile taken over first) and written on change.
    void Remember(const QString& oldFile, bool& levelValues);
    // Writes the toggles out, when they are remembered.
    void Write(bool levelValues) const;

    bool scaleToFigures = false;
    bool timeGoalRoom = false;
    // The room the last plot gave.
    FigureRoom room;
    // Fitting waits while figures are replayed one by one.
    int holdFit = 0;

private:
    // Whether toggles are read and kept; off for scripts and tests.
    bool remember_ = false;
};
