#include "chart/Navigation.h"

#include <algorithm>

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
