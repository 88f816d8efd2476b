#pragma once
// The volume pane under the price plot: a bar a slot, from the pane's
// bottom up to the day's volume, on a scale of its own from zero.

#include <vector>

#include "chart/BarChart.h"

class Canvas;

// The pane's rows: below the plot's bottom line down to the date axis.
struct VolumeRows {
    int top = 0, bottom = 0;
    double high = 0; // the volume at the pane's top
    [[nodiscard]] bool usable() const { return bottom - top > 2 && high > 0; }
    // A volume's row; 0 sits on the bottom line.
    [[nodiscard]] int toY(double volume) const;
};
[[nodiscard]] VolumeRows VolumeRowsOf(const ChartMap& map, std::span<const PriceRecord> prices,
                                      int loadedCount);
// The round volumes labelled on the pane's scale, zero excluded.
[[nodiscard]] std::vector<double> VolumeLabelValues(const VolumeRows& rows);

void DrawVolumePane(Canvas& c, const BarChartInput& in);
