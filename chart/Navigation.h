#pragma once
// The record ranges the navigation bar moves to. Pure arithmetic in 64 bits;
// the results are stored back clamped to 32 bits.

struct RecordRange {
    long long first = 0, last = 0;
    bool operator==(const RecordRange&) const = default;
};

enum class NavStep { Beginning, Lengthen, Shorten, Whole, Previous, Next };

// The range a navigation button leads to from r, with period p and n records.
[[nodiscard]] RecordRange NavigateRange(NavStep step, RecordRange r, long long p, long long n);

class BarIndex;
// The same over weekly or monthly bars: the record range r is taken as the
// bars holding its ends, moved by p bars of the index, and given back as
// the records from the first bar's first to the last bar's last.
[[nodiscard]] RecordRange NavigateBars(NavStep step, RecordRange r, long long p,
                                       const BarIndex& bars);
// The records of count bars ending with the bar of record last (fewer at the
// file's start).
[[nodiscard]] RecordRange BarsEndingAt(const BarIndex& bars, long long last, long long count);
