#pragma once
// Weekly and monthly bars, built from the daily records. A week runs Monday
// to Sunday, so that a weekend session joins the week it ends; a month is a
// calendar month. A bar is dated by the first trading day of its period.

#include <QString>
#include <optional>
#include <span>
#include <vector>

#include "data/PriceRecord.h"

enum class Timeframe { Daily, Weekly, Monthly };

// "daily", "weekly", "monthly": the words of studies and the state report.
[[nodiscard]] const char* TimeframeName(Timeframe t);
[[nodiscard]] std::optional<Timeframe> TimeframeNamed(const QString& name);

// The first day of the period holding day: the day itself, the Monday of
// its week, or the first of its month.
[[nodiscard]] double PeriodStart(Timeframe t, double day);
// The first day of the period n periods after the one starting at start.
[[nodiscard]] double PeriodAfter(Timeframe t, double start, int n = 1);

// Whether the slot dated slotDay shows day: the very day, or under weekly
// and monthly bars any day of its period.
[[nodiscard]] bool SlotHolds(Timeframe t, double slotDay, double day);

// The daily records (counted from 1 in date order) a bar is built from.
struct BarRecords {
    int first = 0, last = 0;
    bool operator==(const BarRecords&) const = default;
};

// Which daily records make each bar. A record whose date did not read goes
// with the bar before it (the first bar when it comes first).
class BarIndex {
public:
    BarIndex() = default;
    BarIndex(Timeframe t, std::span<const std::optional<double>> days);
    [[nodiscard]] int count() const { return static_cast<int>(firsts_.size()); }
    // Bar 1..count(): its first and last daily record; {0, 0} outside.
    [[nodiscard]] BarRecords recordsOf(int bar) const;
    // The bar holding daily record 1..records; 0 outside.
    [[nodiscard]] int barOf(int record) const;

private:
    std::vector<int> firsts_; // each bar's first record, rising
    int records_ = 0;
};

// Daily slots (prices[1..], prices[0] unused) made into bars, slot 0 again
// unused: the open of a period's first record, the close of its last, the
// highest high and lowest low, dated by its first record. Slots without a
// bar give no prices; a period of such slots only is a bar-less slot.
// Daily returns the slots as they are.
[[nodiscard]] std::vector<PriceRecord> BuildBars(Timeframe t, std::span<const PriceRecord> daily);
