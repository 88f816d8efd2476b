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
