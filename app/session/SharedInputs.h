#pragma once
// A session's values handed down as the inputs of chart/ and tools/, and
// their results kept back, for the handlers (and the tests that stand in
// for them).

#include "app/session/SessionValues.h"
#include "chart/BarChart.h"
#include "chart/ChartMap.h"
#include "chart/Timeframe.h"
#include "tools/FigureGeometry.h"

class Canvas;
struct SharedState;

// The map the session keeps (its plot's edges and the last scale).
[[nodiscard]] const ChartMap& CurrentChartMap(const SharedState& g);
[[nodiscard]] ScaleInput CurrentScaleInput(const SharedState& g);
// The bar chart of the loaded range, on the map in force.
[[nodiscard]] BarChartInput CurrentBarChart(const SharedState& g);
// Works out the scale, keeps it and draws the bar chart: Plot's drawing.
// The bar chart of the range in force, its records drawn as look says.
void PlotPriceChart(SharedState& g, Canvas& c, BarLook look);

// Worked out from the kept anchors through the map in force.
[[nodiscard]] AnchorPixels CurrentAnchorPixels(const SharedState& g, Timeframe tf);

[[nodiscard]] FigureInput CurrentFigureInput(const SharedState& g, Timeframe tf);
