#pragma once
// Points of the chart in dates and prices and back, for studies and the
// history of steps.

#include <QPoint>
#include <optional>
#include <vector>

#include "chart/ChartMap.h"
#include "chart/Timeframe.h"
#include "data/PriceRecord.h"
#include "tools/Study.h"

// A pixel of the chart as a point in dates and prices.
[[nodiscard]] StudyPoint PointAt(const ChartMap& map, const std::vector<PriceRecord>& prices, int x,
                                 int y);
// An anchor's point: its price as it was taken (a snapped bar price stays
// exact) while the anchor still stands on that price's row and day.
// Under weekly or monthly bars the anchor keeps its own day while its bar holds it.
[[nodiscard]] StudyPoint AnchorPoint(const ChartMap& map, const std::vector<PriceRecord>& prices,
                                     int x, int row, std::optional<double> date, double price,
                                     Timeframe tf = Timeframe::Daily);
// The pixel of a point on the chart as it is now; none when its day has no slot.
// Under weekly or monthly bars, the bar of the point's period.
[[nodiscard]] std::optional<QPoint> PixelOf(const ChartMap& map,
                                            const std::vector<PriceRecord>& prices,
                                            const StudyPoint& p, Timeframe tf = Timeframe::Daily);

// An anchor of the drawing tools as a session keeps it, once: the day of its
// slot, where it stands from that slot (in slots, not limited to half a slot,
// so that a point off the plot keeps its place too) and its price. A point
// on a blank slot after the last record has no day; its place counts from
// the chart's left edge. Placed: it stands on the chart in force; otherwise
// it is only kept, for a re-plot to find again. Its pixel is never kept: it
// is worked out through the chart's map whenever it is read.
struct KeptAnchor {
    std::optional<double> date;
    double slotOffset = 0;
    double price = 0;
    bool placed = false;
    bool operator==(const KeptAnchor&) const = default;
};
// The anchor a click at (x, y) sets: its slot's day and the row's price, or
// the price it was snapped to.
[[nodiscard]] KeptAnchor AnchorAtPixel(const ChartMap& map, const std::vector<PriceRecord>& prices,
                                       int x, int y, std::optional<double> price,
                                       Timeframe tf = Timeframe::Daily);
// An anchor moved to (x, y): its day and price held while the pixel still
// stands on them (as AnchorPoint reads them), else those of the pixel.
[[nodiscard]] KeptAnchor AnchorMovedTo(const ChartMap& map, const std::vector<PriceRecord>& prices,
                                       const KeptAnchor& was, int x, int y,
                                       Timeframe tf = Timeframe::Daily);
// A study's point placed as an anchor.
[[nodiscard]] KeptAnchor AnchorOf(const StudyPoint& p);
// The anchor without its day, standing where it stood.
[[nodiscard]] KeptAnchor AnchorWithoutDay(const ChartMap& map,
                                          const std::vector<PriceRecord>& prices,
                                          const KeptAnchor& a, Timeframe tf = Timeframe::Daily);
// The pixel of a placed anchor on the chart in force; none when it is not
// placed or its day has no slot.
[[nodiscard]] std::optional<QPoint> AnchorPixel(const ChartMap& map,
                                                const std::vector<PriceRecord>& prices,
                                                const KeptAnchor& a,
                                                Timeframe tf = Timeframe::Daily);
