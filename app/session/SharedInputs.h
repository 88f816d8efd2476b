#pragma once
// The shared values handed down as the inputs of chart/ and tools/, and
// their results kept back, for the handlers (and the tests that stand in
// for them).

#include "chart/BarChart.h"
#include "chart/ChartMap.h"
#include "tools/FigureGeometry.h"

class Canvas;

[[nodiscard]] ChartMap CurrentChartMap();
[[nodiscard]] ScaleInput CurrentScaleInput();
// Plot size, slot count and the scale, as Plot keeps them before drawing.
void KeepScale(const ChartMap& scaled);
// The bar chart of the loaded range, on the map in force.
[[nodiscard]] BarChartInput CurrentBarChart();
// Works out the scale, keeps it and draws the bar chart: Plot's drawing.
// The bar chart of the range in force, its records drawn as look says.
void PlotPriceChart(Canvas& c, BarLook look);

[[nodiscard]] FigureInput CurrentFigureInput();
[[nodiscard]] EllipseMemory CurrentEllipseMemory();
void KeepEllipseMemory(const EllipseMemory& m);
