#include "chart/Navigation.h"

#include <algorithm>

#include "chart/Timeframe.h"

RecordRange NavigateRange(NavStep step, RecordRange r, long long p, long long n)
{
    switch (step) {
    case NavStep::Beginning: return {1, std::min(p, n)};
    case NavStep::Lengthen: r.last = std::min(r.last + p, n); break;
    case NavStep::Shorten:
        if (r.first + 2 * p <= r.last)
            r.last -= p;
        break;
    case NavStep::Whole: return {1, n};
    case NavStep::Previous:
        if (r.first - p >= 1) {
            r.first -= p;
            r.last -= p;
        } else {
            r.last = r.last - r.first + 1;
            r.first = 1;
        }
        break;
    case NavStep::Next:
        if (r.last + p <= n) {
            r.first += p;
            r.last += p;
        } else {
            r.first += n - r.last;
            r.last = n;
        }
        break;
    }
    return r;
}

RecordRange NavigateBars(NavStep step, RecordRange r, long long p, const BarIndex& bars)
{
    if (bars.count() < 1)
        return r;
    auto barOf = [&bars](long long record) {
        return bars.barOf(int(std::clamp<long long>(record, 1, bars.recordsOf(bars.count()).last)));
    };
    const RecordRange moved = NavigateRange(step, {barOf(r.first), barOf(r.last)}, p, bars.count());
    const int first = int(std::clamp<long long>(moved.first, 1, bars.count()));
    const int last = int(std::clamp<long long>(moved.last, first, bars.count()));
    return {bars.recordsOf(first).first, bars.recordsOf(last).last};
}

RecordRange BarsEndingAt(const BarIndex& bars, long long last, long long count)
{
    if (bars.count() < 1)
        return {};
    const int end =
        bars.barOf(int(std::clamp<long long>(last, 1, bars.recordsOf(bars.count()).last)));
    const int start = int(std::clamp<long long>(end - count + 1, 1, end));
    return {bars.recordsOf(start).first, bars.recordsOf(end).last};
}
