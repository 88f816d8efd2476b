#pragma once
// What a drawn figure says in prices and dates: each line, level or curve
// it drew, named as a trader reads it, for the labels on the chart, the
// levels off the chart and the figure values file.

#include <QColor>
#include <QString>
#include <optional>
#include <span>
#include <vector>

#include "data/PriceRecord.h"
#include "tools/FigureGeometry.h"

enum class ElementShape { Level, Vertical, Slanted, Curve };

struct FigureElement {
    QString name; // "level 0.618", "time goal 1.618", "fan 45", "arc 1.618"
    ElementShape shape = ElementShape::Slanted;
    QString mark; // what its label says beside the price or date: "0.618", "45°"
    QColor color{Qt::black};
    std::vector<Segment> lines; // as drawn, image pixels
    // A level's price worked out from the anchors' prices, exact where the
    // drawing rounds to whole pixels.
    std::optional<double> price;
    // Likewise a line's other end, and the slots (1 the first of the chart)
    // a line or a time goal starts and ends at, worked out from the anchors'
    // slots: the same whatever the window's size. A figure built in a kept
    // scale counts them on the chart it was built on (see SettleElements).
    std::optional<double> endPrice, slot, endSlot;
};

// The anchors' prices, for levels measured between them, and where they
// stand in slots (none: read the pixels).
struct AnchorPrices {
    double p1 = 0, p2 = 0;
    std::optional<double> slot1, slot2;
    long long bar1 = 0, bar2 = 0; // the slots of the anchors' days
};

// The elements of a figure from what its Draw stroked (the figure and its
// ratio lines, in order), one reader per figure type; the table of figure
// types names each type's.
using ElementReader = std::vector<FigureElement> (*)(const std::vector<Figure>& drawn,
                                                     const FigureInput& in, AnchorPrices prices);
[[nodiscard]] std::vector<FigureElement> SpiralElements(const std::vector<Figure>& drawn,
                                                        const FigureInput& in, AnchorPrices prices);
[[nodiscard]] std::vector<FigureElement>
EllipseElements(const std::vector<Figure>& drawn, const FigureInput& in, AnchorPrices prices);
[[nodiscard]] std::vector<FigureElement> FanElements(const std::vector<Figure>& drawn,
                                                     const FigureInput& in, AnchorPrices prices);
[[nodiscard]] std::vector<FigureElement>
ExtensionElements(const std::vector<Figure>& drawn, const FigureInput& in, AnchorPrices prices);
[[nodiscard]] std::vector<FigureElement>
CorrectionElements(const std::vector<Figure>& drawn, const FigureInput& in, AnchorPrices prices);
[[nodiscard]] std::vector<FigureElement>
TimeGoalElements(const std::vector<Figure>& drawn, const FigureInput& in, AnchorPrices prices);
[[nodiscard]] std::vector<FigureElement>
ChannelElements(const std::vector<Figure>& drawn, const FigureInput& in, AnchorPrices prices);
[[nodiscard]] std::vector<FigureElement> ArcElements(const std::vector<Figure>& drawn,
                                                     const FigureInput& in, AnchorPrices prices);

// The values of an element in prices and dates, on the chart as it is now.
struct ElementValues {
    std::optional<double> price, endPrice, date, endDate;
};
// prices are the loaded slots, prices[0] unused; earlier, the days of the
// file's records before the chart's first (oldest first), which the slots
// before the chart count back through, so that the range shown does not
// change them.
[[nodiscard]] ElementValues ValuesOf(const FigureElement& e, const ChartMap& map,
                                     const std::vector<PriceRecord>& prices,
                                     std::span<const std::optional<double>> earlier = {});

// The trading day of a column: the day of its slot, counted on in weekdays
// past the last slot and back before the first; none without a chart.
[[nodiscard]] std::optional<double>
TradingDayAt(const ChartMap& map, const std::vector<PriceRecord>& prices, long long x);

// The same of a slot, 1 the chart's first.
[[nodiscard]] std::optional<double>
TradingDayOfSlot(const ChartMap& map, const std::vector<PriceRecord>& prices, long long slot,
                 std::span<const std::optional<double>> earlier = {});
// A ratio as its name shows it: 0.618, 1.618, 2.
[[nodiscard]] QString RatioName(double r);
