#include "chart/Geometry.h"

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

bool ScaleUsable()
{
    const auto& g = GloVar;
    return g.ScaleRange > 0 && std::isfinite(g.ScaleRange) && std::isfinite(g.ScaleBottom) &&
           g.PlotHeight > 0;
}

int SlotToX(long long slot)
{
    const auto& g = GloVar;
    if (g.SlotCount <= 0)
        return g.PlotLeft;
    return g.PlotLeft + RoundPx(double(static_cast<long long>(g.PlotWidth) * slot) / g.SlotCount);
}

int PriceToY(double price)
{
    const auto& g = GloVar;
    if (!(g.ScaleRange > 0))
        return g.PlotBottom;
    return g.PlotBottom - RoundPx((price - g.ScaleBottom) / g.ScaleRange * g.PlotHeight);
}

int XToSlot(int x)
{
    const auto& g = GloVar;
    long long s = g.PlotWidth > 0 ? RoundPx(double(x - g.PlotLeft) * g.SlotCount / g.PlotWidth) : 1;
    if (s < 1)
        s = 1;
    if (s > g.TotalSlots)
        s = g.TotalSlots;
    return static_cast<int>(s);
}

double YToPrice(int y)
{
    const auto& g = GloVar;
    if (g.PlotHeight == 0)
        return g.ScaleBottom;
    return double(g.PlotBottom - y) * g.ScaleRange / g.PlotHeight + g.ScaleBottom;
}

void RelocateAnchors()
{
    auto& g = GloVar;
    g.P1X = -1;
    g.P2X = -1;
    if (g.P1Date < 0 || g.P2Date < 0)
        return;
    const long long last = std::min<long long>(static_cast<long long>(g.SlotCount),
                                               static_cast<long long>(g.Prices.size()) - 1);
    for (long long i = 1; i <= last && (g.P1X < 0 || g.P2X < 0); ++i) {
        if (g.Prices[static_cast<size_t>(i)].Date == g.P1Date)
            g.P1X = Sat16(SlotToX(i));
        if (g.Prices[static_cast<size_t>(i)].Date == g.P2Date)
            g.P2X = Sat16(SlotToX(i));
    }
    if (g.P1X < 0 || g.P2X < 0 || !ScaleUsable()) {
        g.P1X = g.P2X = -1;
        return;
    }
    const int y1 = g.PlotBottom - RoundPx((g.P1Price - g.ScaleBottom) * g.PlotHeight / g.ScaleRange);
    const int y2 = g.PlotBottom - RoundPx((g.P2Price - g.ScaleBottom) * g.PlotHeight / g.ScaleRange);
    g.P1Y = Sat16(y1);
    g.P2Y = Sat16(y2);
    auto inside = [&](int y) { return g.PlotTop < y && y <= g.PlotBottom; };
    if (!inside(y1) || !inside(y2))
        g.P1X = g.P2X = -1;
}
