#pragma once
// The scale a figure was first drawn in. Fan lines, arcs, the spiral, the
// ellipse and the channel's width are built on angles and distances; kept
// with the figure, the scale gives them the same shape in dates and prices
// whatever the window's size or the range shown.

#include <vector>

#include "chart/ChartMap.h"
#include "tools/FigureGeometry.h"
#include "tools/FigureValues.h"

struct FigureScale {
    // The chart of the first Draw: its plot and image in pixels, its slots
    // and prices, and the slot P1's day held on it. The figure is built on
    // this chart again and carried onto the chart shown by slots and prices.
    int plotLeft = 0, plotTop = 0, plotRight = 0, plotBottom = 0;
    int chartWidth = 0, chartHeight = 0;
    double slotCount = 0;
    double scaleBottom = 0, scaleRange = 0;
    int p1Slot = 0;

    // Price per trading-day slot of the daily chart, on a linear price axis:
    // one slot across is as long as this much price upward.
    [[nodiscard]] double pricePerSlot() const;
    // Something a figure can be built on: a plot with slots and a price span.
    [[nodiscard]] bool usable() const;
    bool operator==(const FigureScale&) const = default;
};

// The scale of a chart (a linear axis of daily slots) for a figure whose P1
// stands on slot p1Slot.
[[nodiscard]] FigureScale ScaleOfChart(const ChartMap& map, int chartWidth, int chartHeight,
                                       int p1Slot);
// The chart a scale was taken on, as the figure builders take it.
[[nodiscard]] ChartMap ChartOfScale(const FigureScale& s);

// A figure built on one chart, drawn on another: each point read in slots
// and prices on `from`, its slot moved by shift, put on `to`.
[[nodiscard]] Figure CarryFigure(const Figure& f, const ChartMap& from, const ChartMap& to,
                                 double shift);

// Works out every value of the elements read from a figure built on `built`
// (prices, and slots moved by shift, the reader's own among them), so that
// what they say does not hang on the pixels they are drawn at.
void SettleElements(std::vector<FigureElement>& elements, const ChartMap& built, double shift);
// The elements' lines, built on one chart, carried onto another.
void CarryElements(std::vector<FigureElement>& elements, const ChartMap& from, const ChartMap& to,
                   double shift);
