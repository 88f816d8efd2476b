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
