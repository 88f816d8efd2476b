#include "chart/VolumePane.h"

#include <algorithm>
#include <cmath>

#include "chart/Canvas.h"
#include "data/Volume.h"

namespace {
// Clear of the plot's bottom line and the labels' text above it.
constexpr int PaneGap = 4;
} // namespace

int VolumeRows::toY(double volume) const
{
    if (!usable())
        return bottom;
    return bottom - RoundPx(std::clamp(volume / high, 0.0, 1.0) * (bottom - top));
}

VolumeRows VolumeRowsOf(const ChartMap& map, std::span<const PriceRecord> prices, int loadedCount)
{
    VolumeRows rows;
    rows.top = map.plotBottom + PaneGap;
    rows.bottom = map.dateAxisY();
    for (int i = 1; i <= loadedCount && size_t(i) < prices.size(); ++i) {
        const PriceRecord& r = prices[size_t(i)];
        if (!r.IsBlank && (r.Valid & VolumeOk))
            rows.high = std::max(rows.high, r.Volume);
    }
    // A little room above the highest bar, as the price plot has.
    rows.high *= 1.05;
    return rows;
}

std::vector<double> VolumeLabelValues(const VolumeRows& rows)
{
    std::vector<double> values;
    // About two labels: the step of a span four times the pane's.
    const std::optional<LabelStep> s = rows.usable() ? PriceLabelStep(rows.high * 4) : std::nullopt;
    if (!s)
        return values;
    for (double v : PriceLabelValues(*s, rows.high, 0))
        if (v > 0)
            values.push_back(v);
    return values;
}

void DrawVolumePane(Canvas& c, const BarChartInput& in)
{
    const ChartMap& map = in.map;
    const VolumeRows rows = VolumeRowsOf(map, in.prices, in.loadedCount);
    if (!rows.usable())
        return;
    c.setPenColor(Qt::black);
    for (double v : VolumeLabelValues(rows)) {
        const int y = rows.toY(v);
        c.line(map.plotLeft, y, map.plotLeft - 5, y);
        c.textOut(map.plotLeft - 10, y, TextAlign::RightBottom, VolumeText(v), ChartFace::Label);
    }
    const int tick = BarTick(map.plotWidth, map.slotCount);
    for (int i = 1; i <= in.loadedCount && size_t(i) < in.prices.size(); ++i) {
        const PriceRecord& r = in.prices[size_t(i)];
        if (r.IsBlank || !(r.Valid & VolumeOk))
            continue;
        const bool up = !(r.Valid & OpenOk) || !(r.Valid & CloseOk) || r.Close >= r.Open;
        const QColor ink = in.look.colour ? (up ? in.look.up : in.look.down) : QColor(Qt::black);
        const int x = map.slotToX(i);
        const int y = rows.toY(r.Volume);
        if (y >= rows.bottom)
            continue;
        c.setPenColor(ink);
        // In one bit, up is hollow and down filled, as the candles are.
        c.setBrushColor(in.look.colour || !up ? ink : QColor(Qt::white));
        if (tick <= 2 && map.plotWidth / std::max(map.slotCount, 1.0) < 4)
            c.line(x, y, x, rows.bottom);
        else
            c.rect(x - tick, y, x + tick + 1, rows.bottom);
    }
    c.setPenColor(Qt::black);
    c.setBrushColor(Qt::white);
}
