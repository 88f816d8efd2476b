#include "chart/ChartMap.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/GloVar.h"

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

ChartMap ChartMap::Current()
{
    const auto& g = GloVar;
    ChartMap m;
    m.plotLeft = g.PlotLeft;
    m.plotTop = g.PlotTop;
    m.plotRight = g.PlotRight;
    m.plotBottom = g.PlotBottom;
    m.plotWidth = g.PlotWidth;
    m.plotHeight = g.PlotHeight;
    m.slotCount = g.SlotCount;
    m.totalSlots = g.TotalSlots;
    m.scaleBottom = g.ScaleBottom;
    m.scaleRange = g.ScaleRange;
    return m;
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

bool ChartMap::usable() const
{
    return scaleRange > 0 && std::isfinite(scaleRange) && std::isfinite(scaleBottom) &&
           plotHeight > 0;
}

void ComputeScale()
{
    auto& g = GloVar;
    g.PlotHeight = g.PlotBottom - g.PlotTop;
    g.PlotWidth = g.PlotRight - g.PlotLeft;
    g.SlotCount = double(g.LoadedCount) + g.BlankDaysRight;
    double high = g.ChartHigh;
    double low = g.ChartLow;
    if (high < low) {
        // Nothing loaded: no price to show.
        g.ScaleTop = g.ScaleBottom = g.ScaleRange = 0;
        return;
    }
    if (high == low) {
        // One price only: a span of a hundredth around it.
        const double half = std::max(std::fabs(high) * 0.005, 0.005);
        high += half;
        low -= half;
    }
    const double m = g.PlotHeight > 20 ? 10.0 / (g.PlotHeight - 20) * (high - low) : 0.0;
    g.ScaleTop = high + m;
    g.ScaleBottom = low - m;
    g.ScaleRange = g.ScaleTop - g.ScaleBottom;
}

int SlotToX(long long slot)
{
    return ChartMap::Current().slotToX(slot);
}

int PriceToY(double price)
{
    return ChartMap::Current().priceToY(price);
}

int XToSlot(int x)
{
    return ChartMap::Current().xToSlot(x);
}

double YToPrice(int y)
{
    return ChartMap::Current().yToPrice(y);
}

bool ScaleUsable()
{
    return ChartMap::Current().usable();
}

double SlotDateAt(int x)
{
    const auto& g = GloVar;
    const int s = XToSlot(x);
    return s >= 1 && size_t(s) < g.Prices.size() ? g.Prices[size_t(s)].Date : 0.0;
}

void RelocateAnchors()
{
    auto& g = GloVar;
    g.P1X = -1;
    g.P2X = -1;
    if (g.P1Date < 0 || g.P2Date < 0)
        return;
    const ChartMap map = ChartMap::Current();
    const long long last = std::min<long long>(static_cast<long long>(g.SlotCount),
                                               static_cast<long long>(g.Prices.size()) - 1);
    for (long long i = 1; i <= last && (g.P1X < 0 || g.P2X < 0); ++i) {
        if (g.Prices[static_cast<size_t>(i)].Date == g.P1Date)
            g.P1X = Sat16(map.slotToX(i));
        if (g.Prices[static_cast<size_t>(i)].Date == g.P2Date)
            g.P2X = Sat16(map.slotToX(i));
    }
    if (g.P1X < 0 || g.P2X < 0 || !map.usable()) {
        g.P1X = g.P2X = -1;
        return;
    }
    const int y1 = map.anchorPriceToY(g.P1Price);
    const int y2 = map.anchorPriceToY(g.P2Price);
    g.P1Y = Sat16(y1);
    g.P2Y = Sat16(y2);
    auto inside = [&](int y) { return g.PlotTop < y && y <= g.PlotBottom; };
    if (!inside(y1) || !inside(y2))
        g.P1X = g.P2X = -1;
}
