#pragma once
// The one mapping between day slots / prices and chart pixels. Every figure,
// the bar drawing and the cursor readout use it.

// Nearest integer, halves to the even neighbour; clamped to the 32-bit range
// (0 for a value that is not a number).
[[nodiscard]] int RoundPx(double v);

// Plot size, slot count and the price scale with its 10-pixel margins.
void ComputeScale();

[[nodiscard]] int SlotToX(long long slot);
[[nodiscard]] int PriceToY(double price);
[[nodiscard]] int XToSlot(int x);
[[nodiscard]] double YToPrice(int y);
// The scale can place prices (a positive, finite span).
[[nodiscard]] bool ScaleUsable();

// Puts P1 and P2 back on the chart just drawn, by their dates.
void RelocateAnchors();
