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

double ChartMap::priceFraction(double price) const
{
    if (!(scaleRange > 0))
        return std::numeric_limits<double>::quiet_NaN();
    if (!logScale)
        return (price - scaleBottom) / scaleRange;
    const double top = scaleBottom + scaleRange;
    if (!(scaleBottom > 0) || !(price > 0))
        return price > 0 ? std::numeric_limits<double>::quiet_NaN()
                         : -std::numeric_limits<double>::infinity();
    return std::log(price / scaleBottom) / std::log(top / scaleBottom);
}

int ChartMap::priceToY(double price) const
{
    if (!(scaleRange > 0))
        return plotBottom;
    if (logScale)
        return heightToY(RoundPx(priceFraction(price) * plotHeight));
    return heightToY(RoundPx((price - scaleBottom) / scaleRange * plotHeight));
}

int ChartMap::anchorPriceToY(double price) const
{
    if (!(scaleRange > 0))
        return plotBottom;
    if (logScale)
        return priceToY(price);
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
    if (logScale && scaleBottom > 0 && scaleRange > 0)
        return scaleBottom * std::pow((scaleBottom + scaleRange) / scaleBottom,
                                      double((long long)plotBottom - y) / plotHeight);
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
    // The slot counts this chart's own slots; a log axis places the price by its ratio.
    const double x = plotLeft + slot * plotWidth / (slotCount > 0 ? slotCount : 1);
    double h = 0;
    if (logScale)
        h = priceFraction(price) * plotHeight;
    else if (scaleRange > 0)
        h = (price - scaleBottom) / scaleRange * plotHeight;
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
           plotHeight > 0 && (!logScale || scaleBottom > 0);
}

ChartMap ComputeScale(const ScaleInput& in)
{
    ChartMap m;
    m.plotLeft = in.plotLeft;
    m.plotTop = in.plotTop;
    m.plotRight = in.plotRight;
    m.plotBottom = in.plotBottom;
    m.axisBottom = in.axisBottom;
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
    if (in.logScale && LogScaleFits(high, low)) {
        // The same 10-pixel margins, measured in ratios.
        const double span = std::log(high / low);
        const double margin = m.plotHeight > 20 ? 10.0 / (m.plotHeight - 20) * span : 0.0;
        m.logScale = true;
        m.scaleTop = high * std::exp(margin);
        m.scaleBottom = low / std::exp(margin);
        m.scaleRange = m.scaleTop - m.scaleBottom;
        return m;
    }
    const double margin = m.plotHeight > 20 ? 10.0 / (m.plotHeight - 20) * (high - low) : 0.0;
    m.scaleTop = high + margin;
    m.scaleBottom = low - margin;
    m.scaleRange = m.scaleTop - m.scaleBottom;
    return m;
}

bool LogScaleFits(double high, double low)
{
    return low > 0 && high >= low && std::isfinite(high) && std::isnormal(low);
}

std::optional<double> SlotDateAt(const ChartMap& map, std::span<const PriceRecord> prices, int x)
{
    const int s = map.xToSlot(x);
    if (s < 1 || size_t(s) >= prices.size())
        return std::nullopt;
    return prices[size_t(s)].Date;
}

RelocatedAnchors RelocateAnchors(const ChartMap& map, std::span<const PriceRecord> prices,
                                 const Anchor& p1, const Anchor& p2, Timeframe tf)
{
    RelocatedAnchors r;
    if (!p1.date || !p2.date)
        return r;
    const long long last = std::min<long long>(static_cast<long long>(map.slotCount),
                                               static_cast<long long>(prices.size()) - 1);
    for (long long i = 1; i <= last && (r.p1x < 0 || r.p2x < 0); ++i) {
        const double day = prices[static_cast<size_t>(i)].Date;
        if (SlotHolds(tf, day, *p1.date))
            r.p1x = Sat16(map.slotToX(i));
        if (SlotHolds(tf, day, *p2.date))
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
