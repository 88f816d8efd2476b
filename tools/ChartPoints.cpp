#include "tools/ChartPoints.h"

#include <algorithm>
#include <cmath>

StudyPoint PointAt(const ChartMap& map, const std::vector<PriceRecord>& prices, int x, int y)
{
    StudyPoint p;
    const int k = map.xToSlot(x);
    p.date = k >= 1 && size_t(k) < prices.size() ? prices[size_t(k)].Date : 0;
    const double exact =
        map.plotWidth > 0 ? double(x - (long long)map.plotLeft) * map.slotCount / map.plotWidth : k;
    p.slotOffset = std::clamp(exact - k, -0.5, 0.5);
    p.price = map.yToPrice(y);
    return p;
}

StudyPoint AnchorPoint(const ChartMap& map, const std::vector<PriceRecord>& prices, int x, int row,
                       std::optional<double> date, double price, Timeframe tf)
{
    StudyPoint p = PointAt(map, prices, x, row);
    // The anchor's own day (or, on weekly and monthly bars, its bar) holds
    // while its column lies within that slot, give or take the half pixel a
    // column is rounded by: a column at a slot's edge may read as the next day.
    if (date && SlotHolds(tf, p.date, *date)) {
        p.date = *date;
    } else if (date && map.plotWidth > 0) {
        for (int k = 1; k <= map.totalSlots && size_t(k) < prices.size(); ++k)
            if (SlotHolds(tf, prices[size_t(k)].Date, *date)) {
                const double off = map.xToSlotPosition(x) - k;
                if (std::fabs(off) <= 0.5 + 0.5 * map.slotCount / map.plotWidth + 1e-9) {
                    p.date = *date;
                    p.slotOffset = std::clamp(off, -0.5, 0.5);
                }
                break;
            }
    }
    if (date && p.date == *date && (map.priceToY(price) == row || map.anchorPriceToY(price) == row))
        p.price = price;
    return p;
}

std::optional<QPoint> PixelOf(const ChartMap& map, const std::vector<PriceRecord>& prices,
                              const StudyPoint& p, Timeframe tf)
{
    for (int k = 1; k <= map.totalSlots && size_t(k) < prices.size(); ++k)
        if (SlotHolds(tf, prices[size_t(k)].Date, p.date))
            return QPoint(map.slotPositionToX(k + p.slotOffset), map.priceToY(p.price));
    return std::nullopt;
}

namespace {
// The slot an anchor's place counts from: its day's (the first slot that
// holds it, as PixelOf finds it), or the left edge for a point without a day.
std::optional<int> BaseSlot(const ChartMap& map, const std::vector<PriceRecord>& prices,
                            std::optional<double> date, Timeframe tf)
{
    if (!date)
        return 0;
    for (int k = 1; k <= map.totalSlots && size_t(k) < prices.size(); ++k)
        if (SlotHolds(tf, prices[size_t(k)].Date, *date))
            return k;
    return std::nullopt;
}

KeptAnchor Placed(const ChartMap& map, const std::vector<PriceRecord>& prices,
                  std::optional<double> date, int x, double price, Timeframe tf)
{
    std::optional<int> base = BaseSlot(map, prices, date, tf);
    if (!base) {
        date = std::nullopt;
        base = 0;
    }
    return KeptAnchor{date, map.xToSlotPosition(x) - *base, price, true};
}
} // namespace

KeptAnchor AnchorAtPixel(const ChartMap& map, const std::vector<PriceRecord>& prices, int x, int y,
                         std::optional<double> price, Timeframe tf)
{
    return Placed(map, prices, SlotDateAt(map, prices, x), x, price ? *price : map.yToPrice(y), tf);
}

KeptAnchor AnchorMovedTo(const ChartMap& map, const std::vector<PriceRecord>& prices,
                         const KeptAnchor& was, int x, int y, Timeframe tf)
{
    if (was.placed && AnchorPixel(map, prices, was, tf) == QPoint(x, y))
        return was;
    const StudyPoint read = AnchorPoint(map, prices, x, y, was.date, was.price, tf);
    const std::optional<double> date =
        was.date && read.date == *was.date && BaseSlot(map, prices, was.date, tf)
            ? was.date
            : SlotDateAt(map, prices, x);
    const double price = map.priceToY(was.price) == y ? was.price : map.yToPrice(y);
    return Placed(map, prices, date, x, price, tf);
}

KeptAnchor AnchorOf(const StudyPoint& p)
{
    return KeptAnchor{p.date, p.slotOffset, p.price, true};
}

KeptAnchor AnchorWithoutDay(const ChartMap& map, const std::vector<PriceRecord>& prices,
                            const KeptAnchor& a, Timeframe tf)
{
    KeptAnchor out = a;
    out.date = std::nullopt;
    if (a.placed)
        out.slotOffset += BaseSlot(map, prices, a.date, tf).value_or(0);
    return out;
}

std::optional<QPoint> AnchorPixel(const ChartMap& map, const std::vector<PriceRecord>& prices,
                                  const KeptAnchor& a, Timeframe tf)
{
    if (!a.placed)
        return std::nullopt;
    const std::optional<int> base = BaseSlot(map, prices, a.date, tf);
    if (!base)
        return std::nullopt;
    return QPoint(map.slotPositionToX(*base + a.slotOffset), map.priceToY(a.price));
}
