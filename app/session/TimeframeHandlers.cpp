// View > Daily / Weekly / Monthly: the loaded days made into bars of a week
// or a month, and the record range moved by whole bars.
#include <algorithm>

#include "app/session/ChartSession.h"
#include "app/session/GloVar.h"
#include "chart/Navigation.h"
#include "chart/Timeframe.h"

void ChartSession::TimeframeClick(Timeframe t)
{
    const Publishing publishing(*this);
    if (t == timeframe_)
        return;
    const StepScope step(*this, QStringLiteral("Timeframe"));
    timeframe_ = t;
    if (GloVar.ChartShown && !chart.isNull()) {
        const QuietHistory quiet(*this);
        RedrawRange();
    }
}

BarIndex ChartSession::FileBars()
{
    return BarIndex(timeframe_, RecordDatesOfFile().days);
}

void ChartSession::WidenToBars(LoadRequest& req)
{
    const BarIndex bars = FileBars();
    const BarRecords first = bars.recordsOf(bars.barOf(req.firstRecord));
    const BarRecords last = bars.recordsOf(bars.barOf(req.lastRecord));
    if (first.first > 0 && last.last > 0) {
        req.firstRecord = first.first;
        req.lastRecord = last.last;
    }
    // Spaces for holidays mean nothing between weeks; blank bars come after the bars are made.
    req.holidaySpace = false;
    req.blankDaysRight = 0;
}

void ChartSession::MakeBars()
{
    auto& g = GloVar;
    g.Prices.resize(size_t(std::max(g.LoadedCount, 0)) + 1);
    g.Prices = BuildBars(timeframe_, g.Prices);
    g.LoadedCount = static_cast<int32_t>(g.Prices.size() - 1);
    g.TotalSlots = g.LoadedCount;
    if (g.LoadedCount < 1)
        return;
    // The blank slots on the right are whole periods too.
    const double start = PeriodStart(timeframe_, g.Prices.back().Date);
    for (int n = 1; n <= g.BlankDaysRight; ++n) {
        PriceRecord blank;
        blank.Date = PeriodAfter(timeframe_, start, n);
        blank.IsBlank = true;
        g.Prices.push_back(blank);
        ++g.TotalSlots;
    }
}

void ChartSession::SetRangeInBars(const RecordRange& r)
{
    auto& g = GloVar;
    if (r.first < 1 || r.last <= r.first)
        return;
    g.FirstRecord = static_cast<int32_t>(std::clamp<long long>(r.first, 1, INT32_MAX));
    g.LastRecord = static_cast<int32_t>(std::clamp<long long>(r.last, 1, INT32_MAX));
}

RecordRange ChartSession::RangeMovedByBars(long long first, long long last, long long bars)
{
    const BarIndex index = FileBars();
    const long long b1 = index.barOf(static_cast<int>(first)),
                    b2 = index.barOf(static_cast<int>(last));
    if (b1 < 1 || b2 < b1)
        return {first, last};
    const long long span = b2 - b1;
    const long long from =
        std::clamp<long long>(b1 - bars, 1, std::max<long long>(1, index.count() - span));
    const long long to = std::min<long long>(from + span, index.count());
    return {index.recordsOf(static_cast<int>(from)).first,
            index.recordsOf(static_cast<int>(to)).last};
}

void ChartSession::ZoomBarsAt(int index, int x, const ChartMap& was)
{
    auto& g = GloVar;
    const BarIndex bars = FileBars();
    const int firstBar = bars.barOf(g.FirstRecord);
    if (firstBar < 1 || bars.count() < 2)
        return;
    // The bar under the pointer, counted from the range's first.
    const int bar =
        std::clamp(firstBar + std::min(was.xToSlot(x), g.LoadedCount) - 1, 1, bars.count());
    const StepScope step(*this, QStringLiteral("Zoom"));
    PeriodCBChange(index);
    // P + 1 bars, as the period buttons load, with that bar in the slot under x.
    const int count = std::clamp(g.PeriodLength + 1, 2, bars.count());
    ChartMap next = was;
    next.slotCount = count + g.BlankDaysRight;
    next.totalSlots = count + g.BlankDaysRight;
    const int at = std::clamp(next.xToSlot(x), 1, count);
    const int from = std::clamp(bar - at + 1, 1, bars.count() - count + 1);
    SetRangeInBars({bars.recordsOf(from).first, bars.recordsOf(from + count - 1).last});
    RedrawRange();
}
