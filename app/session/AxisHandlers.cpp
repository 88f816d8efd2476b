// The price scale and the chart's range as the view options and the mouse
// change them: a log scale, the volume pane, a pan by whole slots and a
// price scale stretched on its axis. Each goes through the range's own
// redraw, so the figures come back on their dates and prices.
#include <algorithm>
#include <cmath>

#include "app/session/ChartSession.h"
#include "app/session/GloVar.h"
#include "app/session/Prompts.h"
#include "app/session/SharedInputs.h"
#include "data/Program.h"

bool ChartSession::LogScale() const
{
    return GloVar.LogScale;
}

bool ChartSession::LogScaleClick(bool on)
{
    const Publishing publishing(*this);
    auto& g = GloVar;
    if (on == g.LogScale)
        return true;
    if (on && g.ChartShown && !LogScaleFits(g.ChartHigh, g.ChartLow)) {
        prompts_.message(QString::fromLatin1(ProgramName),
                         QStringLiteral("A log scale needs prices above zero; the prices shown "
                                        "reach down to %1.")
                             .arg(g.ChartLow, 0, 'f', std::clamp(g.PriceDecimals, 0, 8)));
        return false;
    }
    const StepScope step(*this, QStringLiteral("Log Scale"));
    g.LogScale = on;
    // A scale stretched by hand on the other kind of scale means nothing here.
    g.ManualScale = false;
    if (g.ChartShown && !chart.isNull()) {
        const QuietHistory quiet(*this);
        RedrawRange();
    }
    return true;
}

bool ChartSession::VolumePane() const
{
    return GloVar.VolumePane;
}

bool ChartSession::HasVolume() const
{
    return GloVar.VolumeColumn > 0;
}

void ChartSession::VolumePaneClick(bool on)
{
    const Publishing publishing(*this);
    auto& g = GloVar;
    if (on == g.VolumePane)
        return;
    g.VolumePane = on;
    if (g.ChartShown && !chart.isNull() && HasVolume()) {
        const QuietHistory quiet(*this);
        RedrawRange();
    }
}

bool ChartSession::OnPriceAxis(int x, int y) const
{
    const auto& g = GloVar;
    return g.ChartShown && x >= 0 && x < g.PlotLeft && y > g.PlotTop && y <= g.PlotBottom;
}

void ChartSession::PanPress(int x, int y)
{
    const Publishing publishing(*this);
    const auto& g = GloVar;
    const ChartMap map = CurrentChartMap(GloVar);
    if (!g.ChartShown || !map.usable() || map.slotCount <= 0 || drags_.nav)
        return;
    MouseDrags::Nav d;
    d.x = x;
    d.y = y;
    d.first = g.FirstRecord;
    d.last = g.LastRecord;
    d.slotWidth = map.plotWidth / map.slotCount;
    drags_.nav = d;
    drags_.navBefore = history_.recording() ? std::optional(TakeSnapshot()) : std::nullopt;
}

void ChartSession::StretchPress(int x, int y)
{
    const Publishing publishing(*this);
    const auto& g = GloVar;
    const ChartMap map = CurrentChartMap(GloVar);
    if (!g.ChartShown || !map.usable() || drags_.nav)
        return;
    MouseDrags::Nav d;
    d.stretch = true;
    d.x = x;
    d.y = y;
    d.top = map.scaleBottom + map.scaleRange;
    d.bottom = map.scaleBottom;
    d.log = map.logScale;
    d.plotHeight = map.plotHeight;
    drags_.nav = d;
    drags_.navBefore = history_.recording() ? std::optional(TakeSnapshot()) : std::nullopt;
}

void ChartSession::NavigationMove(int x, int y)
{
    const Publishing publishing(*this);
    auto& g = GloVar;
    if (!drags_.nav || !g.ChartShown)
        return;
    const MouseDrags::Nav& d = *drags_.nav;
    if (!d.stretch) {
        // Whole slots: the day under the press stays under the pointer.
        const long long moved = d.slotWidth > 0 ? RoundPx((x - d.x) / d.slotWidth) : 0;
        const long long count = (long long)d.last - d.first + 1;
        const long long maxFirst = std::max<long long>(1, g.RecordCount - count + 1);
        long long first = std::clamp<long long>(d.first - moved, 1, maxFirst);
        long long last = std::min<long long>(first + count - 1, g.RecordCount);
        // On weekly or monthly bars a slot is a bar, not a day.
        if (timeframe_ != Timeframe::Daily) {
            const RecordRange r = RangeMovedByBars(d.first, d.last, moved);
            first = r.first;
            last = r.last;
        }
        if (first == g.FirstRecord && last == g.LastRecord)
            return;
        g.FirstRecord = static_cast<int32_t>(first);
        g.LastRecord = static_cast<int32_t>(last);
    } else {
        // Down squeezes the prices together, up spreads them apart: a
        // plot's height doubles or halves the span, around its middle.
        const double factor = std::exp2(double(y - d.y) / std::max(d.plotHeight, 1));
        double top = 0, bottom = 0;
        if (d.log) {
            const double mid = std::sqrt(d.top * d.bottom);
            const double half = std::log(d.top / d.bottom) / 2 * factor;
            top = mid * std::exp(half);
            bottom = mid / std::exp(half);
        } else {
            const double mid = (d.top + d.bottom) / 2, half = (d.top - d.bottom) / 2 * factor;
            top = mid + half;
            bottom = mid - half;
        }
        if (!(top > bottom) || !std::isfinite(top) || !std::isfinite(bottom) ||
            (top == g.ManualTop && bottom == g.ManualBottom && g.ManualScale))
            return;
        g.ManualScale = true;
        g.ManualTop = top;
        g.ManualBottom = bottom;
    }
    const QuietHistory quiet(*this);
    RedrawRange();
}

void ChartSession::NavigationRelease()
{
    const Publishing publishing(*this);
    if (!drags_.nav)
        return;
    const bool stretch = drags_.nav->stretch;
    drags_.nav.reset();
    if (drags_.navBefore)
        KeepStep(stretch ? QStringLiteral("Stretch Scale") : QStringLiteral("Pan"),
                 std::move(*drags_.navBefore));
    drags_.navBefore.reset();
}

void ChartSession::AutoScaleClick()
{
    const Publishing publishing(*this);
    auto& g = GloVar;
    if (!g.ChartShown || !g.ManualScale || drags_.nav)
        return;
    const StepScope step(*this, QStringLiteral("Automatic Scale"));
    g.ManualScale = false;
    RedrawRange();
}
