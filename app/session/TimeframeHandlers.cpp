// View > Daily / Weekly / Monthly: the loaded days made into bars of a week
// or a month, and the record range moved by whole bars.
#include <algorithm>

#include "app/session/ChartSession.h"
#include "app/session/GloVar.h"
#include "chart/Timeframe.h"

void ChartSession::TimeframeClick(Timeframe t)
{
    const Publishing publishing(*this);
    if (t == timeframe_)
        return;
    timeframe_ = t;
    if (GloVar.ChartShown && !chart.isNull())
        RedrawRange();
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
