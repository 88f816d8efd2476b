#pragma once
#include <vector>

class Canvas;

struct LabelStep {
    double f = 1.0; // label scale factor
    int decimals = 0;
    int step = 1;
};

// The round price-label step for a scale span; false when the span is unusable.
[[nodiscard]] bool PriceLabelStep(double scaleRange, LabelStep& out);
// The price values labelled on the current scale.
[[nodiscard]] std::vector<double> PriceLabelValues(const LabelStep& s);
// Slots that carry a date label; never beyond the filled slots.
[[nodiscard]] std::vector<int> DateLabelSlots(double slotCount, int totalSlots);
[[nodiscard]] int BarTick(int plotWidth, double slotCount);

void DrawPriceChart(Canvas& c);
void DrawChartHeader(Canvas& c);
void DrawChartFooter(Canvas& c);
