#pragma once
// The cursor readout: date, price and pixel of a point of the chart, and
// the bar of a slot as text.

#include <QRect>
#include <QString>
#include <optional>
#include <vector>

#include "chart/ChartMap.h"
#include "data/PriceRecord.h"

struct Readout {
    QString date, price, position;
};

// The crosshair's tags at a point of the plot: the plot's edges, the price
// at the point and the date of its slot.
struct PointerTags {
    QRect plot;
    QString price, date;
    friend bool operator==(const PointerTags&, const PointerTags&) = default;
};

// Empty outside the plot area.
[[nodiscard]] std::optional<Readout> ReadoutAt(const ChartMap& map,
                                               std::span<const PriceRecord> prices, int x, int y);

// "Fri 14 Feb 2025  O 168.10  H 170.02  L 166.95  C 167.88"; the day alone
// for a blank or holiday slot, nothing for a day beyond the calendar.
[[nodiscard]] QString BarText(const PriceRecord& r, int decimals);
// The fewest decimals (up to 8) that write every price of slots 1..count
// exactly as it was read; 6 when a price carries more digits than eight
// decimals hold (numbers written with 15 and more digits).
[[nodiscard]] int PriceDecimalsOf(const std::vector<PriceRecord>& prices, int count);
