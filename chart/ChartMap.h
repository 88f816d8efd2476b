#pragma once
// The one mapping between day slots / prices and chart pixels. Every figure,
// the bar drawing, the anchors and the cursor readout go through it.

#include <cstdint>
#include <optional>
#include <span>
#include <utility>

#include "chart/Timeframe.h"
#include "data/PriceRecord.h"

// Nearest integer, halves to the even neighbour; clamped to the 32-bit range
// (0 for a value that is not a number).
[[nodiscard]] int RoundPx(double v);
// Pixel coordinates are kept well inside int so that sums of them never wrap.
constexpr long long PixelLimit = 1000000000;
[[nodiscard]] int ClampPx(long long v);

struct ChartMap {
    int plotLeft = 0, plotTop = 0, plotRight = 0, plotBottom = 0;
    int plotWidth = 0, plotHeight = 0;
    double slotCount = 0;
    int totalSlots = 0;
    double scaleBottom = 0, scaleRange = 0;
    // The top of the scale; only the price labels need it.
    double scaleTop = 0;
    // Prices placed by their logarithm between scaleBottom and
    // scaleBottom + scaleRange (both above zero): equal ratios, equal heights.
    bool logScale = false;
    // The bottom of the area the date axis is drawn under: below the volume
    // pane when there is one, else the plot's bottom.
    int axisBottom = 0;
    [[nodiscard]] int dateAxisY() const
    {
        return axisBottom > plotBottom ? axisBottom : plotBottom;
    }

    [[nodiscard]] int slotToX(long long slot) const;
    // A column between slots: slot 3.25 is a quarter of a slot right of slot 3.
    [[nodiscard]] int slotPositionToX(double slot) const;
    [[nodiscard]] int priceToY(double price) const;
    // Where a price lies between the scale's bottom (0) and top (1), on
    // either kind of scale; not a number when the scale cannot place it.
    [[nodiscard]] double priceFraction(double price) const;
    // The anchors' rule multiplies before it divides; kept apart so that a
    // relocated anchor lands on the very row it always did.
    [[nodiscard]] int anchorPriceToY(double price) const;
    // The nearest slot, limited to 1..totalSlots.
    [[nodiscard]] int xToSlot(int x) const;
    [[nodiscard]] double yToPrice(int y) const;
    // The slot position of a column, unrounded: the inverse of slotPositionToX.
    [[nodiscard]] double xToSlotPosition(double x) const;
    // A figure's point, given as a slot position of this chart and a price,
    // as a pixel. Figures are built in slots and prices and meet the axes
    // here alone, point by point: a log axis maps the price by its ratio.
    [[nodiscard]] std::pair<int, int> slotPriceToPixel(double slot, double price) const;
    // Heights count upward from plotBottom.
    [[nodiscard]] int heightToY(long long h) const { return ClampPx(plotBottom - h); }
    [[nodiscard]] long long yToHeight(long long y) const { return plotBottom - y; }
    // The scale can place prices (a positive, finite span).
    [[nodiscard]] bool usable() const;
    [[nodiscard]] bool insidePlot(int x, int y) const
    {
        return plotLeft < x && x <= plotRight && plotTop < y && y <= plotBottom;
    }
};

// What the scale is worked out from: the plot's edges, the loaded range and
// the blank days after it.
struct ScaleInput {
    int plotLeft = 0, plotTop = 0, plotRight = 0, plotBottom = 0;
    int totalSlots = 0, loadedCount = 0, blankDaysRight = 0;
    double high = 0, low = 0;
    // A log scale needs prices above zero; otherwise the scale stays linear.
    bool logScale = false;
    int axisBottom = 0; // see ChartMap::axisBottom
};

// Whether prices from low to high can be placed on a log scale.
[[nodiscard]] bool LogScaleFits(double high, double low);

// Plot size, slot count and the price scale with its 10-pixel margins.
[[nodiscard]] ChartMap ComputeScale(const ScaleInput& in);

// The date of the slot nearest to column x (none when there is no slot).
[[nodiscard]] std::optional<double> SlotDateAt(const ChartMap& map,
                                               std::span<const PriceRecord> prices, int x);

// An anchor as a study and a re-plot know it: a day and a price.
struct Anchor {
    std::optional<double> date; // none: no anchor chosen
    double price = 0;
    // Its row on a map; the anchors' own rounding (see anchorPriceToY).
    [[nodiscard]] int toRow(const ChartMap& map) const { return map.anchorPriceToY(price); }
};

// P1 and P2 found again on a chart just drawn: columns -1 when either date
// is not charted or either row falls outside the plot. The rows are found
// whenever both dates are charted on a usable scale. Under weekly or monthly
// bars a date is charted on the bar of its period.
struct RelocatedAnchors {
    int16_t p1x = -1, p2x = -1;
    bool rowsFound = false;
    int16_t p1Row = -1, p2Row = -1;
};
[[nodiscard]] RelocatedAnchors RelocateAnchors(const ChartMap& map,
                                               std::span<const PriceRecord> prices,
                                               const Anchor& p1, const Anchor& p2,
                                               Timeframe tf = Timeframe::Daily);
