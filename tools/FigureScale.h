#pragma once
// The scale a figure was first drawn in. Fan lines, arcs, the spiral, the
// ellipse and the channel's width are built on angles and distances; kept
// with the figure, the scale gives them the same shape in dates and prices
// whatever the window's size or the range shown.

#include <optional>
#include <span>
#include <vector>

#include "chart/ChartMap.h"
#include "chart/Timeframe.h"
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

// The trading days one slot of a timeframe stands for: a week's five, and a
// month's 21 (252 trading days a year over twelve months).
[[nodiscard]] int TradingDaysPerSlot(Timeframe tf);

// The scale of a chart whose slots are daysPerSlot trading days each, as a
// linear axis of daily slots, for a figure whose P1 stands on daily slot
// p1Slot of it. A log axis gives its bottom and top to the linear one.
[[nodiscard]] FigureScale ScaleOfChart(const ChartMap& map, int chartWidth, int chartHeight,
                                       int p1Slot, int daysPerSlot = 1);
// The chart a scale was taken on, as the figure builders take it.
[[nodiscard]] ChartMap ChartOfScale(const FigureScale& s);

// A figure built on one chart, drawn on another: each point read in slots
// and prices on `from`, its slot divided by daysPerSlot (the slots of `to`
// are that many of `from`'s) and moved by shift, put on `to`. On a log
// axis a straight line of `from` bends, so it is put point by point.
[[nodiscard]] Figure CarryFigure(const Figure& f, const ChartMap& from, const ChartMap& to,
                                 double shift, double daysPerSlot = 1);

// Works out every value of the elements read from a figure built on `built`
// (prices, and slots carried as CarryFigure carries them, the reader's own
// among them), so that what they say does not hang on the pixels they are
// drawn at.
void SettleElements(std::vector<FigureElement>& elements, const ChartMap& built, double shift,
                    double daysPerSlot = 1);
// The elements' lines, built on one chart, carried onto another.
void CarryElements(std::vector<FigureElement>& elements, const ChartMap& from, const ChartMap& to,
                   double shift, double daysPerSlot = 1);

// The day of a file's record (days[k - 1] is record k's), counted on in
// weekdays past the last record and back before the first: where a figure's
// daily slot falls whatever the bars it is drawn on.
[[nodiscard]] std::optional<double> DayOfRecord(std::span<const std::optional<double>> days,
                                                long long record);
