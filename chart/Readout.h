#pragma once
// The cursor readout: date, price and pixel of a point of the chart.

#include <QString>
#include <optional>

struct Readout {
    QString date, price, position;
};

// Empty outside the plot area.
[[nodiscard]] std::optional<Readout> ReadoutAt(int x, int y);
