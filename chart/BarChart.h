#pragma once
#include <QColor>
#include <QString>
#include <optional>
#include <span>
#include <vector>

#include "chart/ChartMap.h"
#include "data/PriceRecord.h"

class Canvas;

// How each record is drawn. OHLC bars are the chart's own; the others sit
// beside them as view options.
enum class BarStyle { Bars, Candles, Hollow, Line };
// The style's name in scripts, studies and the command line, and back.
[[nodiscard]] const char* BarStyleName(BarStyle s);
[[nodiscard]] std::optional<BarStyle> BarStyleNamed(const QString& name);

struct BarLook {
    BarStyle style = BarStyle::Bars;
    bool colour = false;
    QColor up{0, 150, 0}, down{210, 0, 0};
};

// What the bar chart shows: the loaded slots (from 1) on a map whose scale
// is worked out, with the file and the chosen figure named in the header.
struct BarChartInput {
    int chartWidth = 0, chartHeight = 0;
    ChartMap map;
    std::span<const PriceRecord> prices;
    int loadedCount = 0;
    QString fileName;
    QString figureName;
    BarLook look;
    // The volume pane under the plot (map.axisBottom below plotBottom).
    bool volumePane = false;
    // A scale set by hand may put bars beyond the plot: they are cut at its edges.
    bool cutAtPlot = false;
};

struct LabelStep {
    double f = 1.0; // label scale factor
    int decimals = 0;
    int step = 1;
};

// The round price-label step for a scale span; nothing when the span is unusable.
[[nodiscard]] std::optional<LabelStep> PriceLabelStep(double scaleRange);
// The price values labelled on a scale.
[[nodiscard]] std::vector<double> PriceLabelValues(const LabelStep& s, double scaleTop,
                                                   double scaleBottom);
// A log scale's labels: prices of one significant digit (1, 2, 5 in each
// decade), finer (one and a half digits) when the scale spans too little
// for four of them; none when even those are too few (the linear labels
// then serve, as the scale is nearly straight). Lowest first.
[[nodiscard]] std::vector<double> LogLabelValues(double scaleTop, double scaleBottom);
// Decimals that write a label value exactly (for the values above).
[[nodiscard]] int LabelDecimals(double v);
// Slots that carry a date label; never beyond the filled slots.
[[nodiscard]] std::vector<int> DateLabelSlots(double slotCount, int totalSlots);
[[nodiscard]] int BarTick(int plotWidth, double slotCount);

void DrawPriceChart(Canvas& c, const BarChartInput& in);
void DrawChartHeader(Canvas& c, const BarChartInput& in);
void DrawChartFooter(Canvas& c, const ChartMap& map);
