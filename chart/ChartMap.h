#pragma once
// The one mapping between day slots / prices and chart pixels. Every figure,
// the bar drawing, the anchors and the cursor readout go through it.

#include <cstdint>

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

    // The map of the chart as the shared values describe it now.
    [[nodiscard]] static ChartMap Current();

    [[nodiscard]] int slotToX(long long slot) const;
    // A column between slots: slot 3.25 is a quarter of a slot right of slot 3.
    [[nodiscard]] int slotPositionToX(double slot) const;
    [[nodiscard]] int priceToY(double price) const;
    // The anchors' rule multiplies before it divides; kept apart so that a
    // relocated anchor lands on the very row it always did.
    [[nodiscard]] int anchorPriceToY(double price) const;
    // The nearest slot, limited to 1..totalSlots.
    [[nodiscard]] int xToSlot(int x) const;
    [[nodiscard]] double yToPrice(int y) const;
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

// Plot size, slot count and the price scale with its 10-pixel margins.
void ComputeScale();

[[nodiscard]] int SlotToX(long long slot);
[[nodiscard]] int PriceToY(double price);
[[nodiscard]] int XToSlot(int x);
[[nodiscard]] double YToPrice(int y);
[[nodiscard]] bool ScaleUsable();
// The date of the slot nearest to column x (0 when there is none).
[[nodiscard]] double SlotDateAt(int x);

// Puts P1 and P2 back on the chart just drawn, by their dates.
void RelocateAnchors();
