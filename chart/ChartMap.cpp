#include "chart/ChartMap.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "data/Numbers.h"

int RoundPx(double v)
{
    if (std::isnan(v))
        return 0;
    const double r = std::nearbyint(v);
    if (r >= std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (r <= std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(r);
}

int ClampPx(long long v)
{
    return static_cast<int>(std::clamp(v, -PixelLimit, PixelLimit));
}

int ChartMap::slotToX(long long slot) const
{
    if (slotCount <= 0)
        return plotLeft;
    return ClampPx(plotLeft + (long long)RoundPx(double(static_cast<long long>(plotWidth) * slot) /
                                                 slotCount));
}

int ChartMap::slotPositionToX(double slot) const
{
    if (slotCount <= 0)
        return plotLeft;
    return ClampPx(RoundPx(plotLeft + slot * plotWidth / slotCount));
}

int ChartMap::priceToY(double price) const
{
    if (!(scaleRange > 0))
        return plotBottom;
    return heightToY(RoundPx((price - scaleBottom) / scaleRange * plotHeight));
}

int ChartMap::anchorPriceToY(double price) const
{
    if (!(scaleRange > 0))
        return plotBottom;
    return heightToY(RoundPx((price - scaleBottom) * plotHeight / scaleRange));
}

int ChartMap::xToSlot(int x) const
{
    long long s =
        plotWidth > 0 ? RoundPx(double(x - (long long)plotLeft) * slotCount / plotWidth) : 1;
    s = std::min<long long>(std::max<long long>(s, 1), totalSlots);
    return static_cast<int>(s);
}

double ChartMap::yToPrice(int y) const
{
    if (plotHeight == 0)
        return scaleBottom;
    return double((long long)plotBottom - y) * scaleRange / plotHeight + scaleBottom;
}

double ChartMap::xToSlotPosition(double x) const
{
    if (plotWidth == 0)
        return 0;
    return (x - plotLeft) * slotCount / plotWidth;
}

std::pair<int, int> ChartMap::slotPriceToPixel(double slot, double price) const
{
    // A linear price axis of daily slots.
    const double x = plotLeft + slot * plotWidth / (slotCount > 0 ? slotCount : 1);
    const double h = scaleRange > 0 ? (price - scaleBottom) / scaleRange * plotHeight : 0;
    auto px = [](double v) {
        if (std::isnan(v))
            return 0;
        return ClampPx(
            (long long)std::nearbyint(std::clamp(v, -2.0 * PixelLimit, 2.0 * PixelLimit)));
    };
    return {px(x), px(plotBottom - h)};
}

bool ChartMap::usable() const
{
    return scaleRange > 0 && std::isfinite(scaleRange) && std::isfinite(scaleBottom) &&
           plotHeight > 0;
}

ChartMap ComputeScale(const ScaleInput& in)
{
    ChartMap m;
    m.plotLeft = in.plotLeft;
    m.plotTop = in.plotTop;
    m.plotRight = in.plotRight;
    m.plotBottom = in.plotBottom;
    m.plotHeight = in.plotBottom - in.plotTop;
    m.plotWidth = in.plotRight - in.plotLeft;
    m.totalSlots = in.totalSlots;
    m.slotCount = double(in.loadedCount) + in.blankDaysRight;
    double high = in.high;
    double low = in.low;
    if (high < low)
        return m; // nothing loaded: no price to show
    if (high == low) {
        // One price only: a span of a hundredth around it.
        const double half = std::max(std::fabs(high) * 0.005, 0.005);
        high += half;
        low -= half;
    }
    const double margin = m.plotHeight > 20 ? 10.0 / (m.plotHeight - 20) * (high - low) : 0.0;
    m.scaleTop = high + margin;
    m.scaleBottom = low - margin;
    m.scaleRange = m.scaleTop - m.scaleBottom;
    return m;
}

double SlotDateAt(const ChartMap& map, std::span<const PriceRecord> prices, int x)
{
    const int s = map.xToSlot(x);
    return s >= 1 && size_t(s) < prices.size() ? prices[size_t(s)].Date : 0.0;
}

RelocatedAnchors RelocateAnchors(const ChartMap& map, std::span<const PriceRecord> prices,
                                 const Anchor& p1, const Anchor& p2)
{
    RelocatedAnchors r;
    if (p1.date < 0 || p2.date < 0)
        return r;
    const long long last = std::min<long long>(static_cast<long long>(map.slotCount),
                                               static_cast<long long>(prices.size()) - 1);
    for (long long i = 1; i <= last && (r.p1x < 0 || r.p2x < 0); ++i) {
        if (prices[static_cast<size_t>(i)].Date == p1.date)
            r.p1x = Sat16(map.slotToX(i));
        if (prices[static_cast<size_t>(i)].Date == p2.date)
            r.p2x = Sat16(map.slotToX(i));
    }
    if (r.p1x < 0 || r.p2x < 0 || !map.usable()) {
        r.p1x = r.p2x = -1;
        return r;
    }
    const int y1 = p1.toRow(map);
    const int y2 = p2.toRow(map);
    r.rowsFound = true;
    r.p1Row = Sat16(y1);
    r.p2Row = Sat16(y2);
    auto inside = [&](int y) { return map.plotTop < y && y <= map.plotBottom; };
    if (!inside(y1) || !inside(y2))
        r.p1x = r.p2x = -1;
    return r;
}
