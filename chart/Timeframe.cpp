#include "chart/Timeframe.h"

#include <QDate>
#include <algorithm>
#include <cmath>

#include "data/Dates.h"

namespace {
const QDate DayZero(1899, 12, 30);

QDate DateOf(double day)
{
    return DayZero.addDays(static_cast<qint64>(std::floor(day)));
}

double DayOf(const QDate& d)
{
    return static_cast<double>(DayZero.daysTo(d));
}
} // namespace

const char* TimeframeName(Timeframe t)
{
    switch (t) {
    case Timeframe::Weekly: return "weekly";
    case Timeframe::Monthly: return "monthly";
    case Timeframe::Daily: break;
    }
    return "daily";
}

std::optional<Timeframe> TimeframeNamed(const QString& name)
{
    for (Timeframe t : {Timeframe::Daily, Timeframe::Weekly, Timeframe::Monthly})
        if (name == QLatin1String(TimeframeName(t)))
            return t;
    return std::nullopt;
}

double PeriodStart(Timeframe t, double day)
{
    if (!std::isfinite(day) || std::fabs(day) > 3.0e6)
        return day;
    day = std::floor(day);
    switch (t) {
    case Timeframe::Daily: return day;
    case Timeframe::Weekly:
        // DayOfWeek: 1 = Sunday .. 7 = Saturday; Monday starts the week.
        return day - (DayOfWeek(day) + 5) % 7;
    case Timeframe::Monthly: {
        const QDate d = DateOf(day);
        return DayOf(QDate(d.year(), d.month(), 1));
    }
    }
    return day;
}

double PeriodAfter(Timeframe t, double start, int n)
{
    switch (t) {
    case Timeframe::Daily: return start + n;
    case Timeframe::Weekly: return start + 7.0 * n;
    case Timeframe::Monthly: return DayOf(DateOf(start).addMonths(n));
    }
    return start;
}

bool SlotHolds(Timeframe t, double slotDay, double day)
{
    if (t == Timeframe::Daily)
        return slotDay == day;
    return PeriodStart(t, slotDay) == PeriodStart(t, day);
}

BarIndex::BarIndex(Timeframe t, std::span<const std::optional<double>> days)
    : records_(static_cast<int>(days.size()))
{
    std::optional<double> period;
    for (int k = 1; k <= records_; ++k) {
        const std::optional<double>& d = days[size_t(k - 1)];
        if (firsts_.empty())
            firsts_.push_back(k); // undated records first join the first dated one's bar
        if (!d)
            continue;
        const double p = PeriodStart(t, *d);
        if (period && p != *period)
            firsts_.push_back(k);
        period = p;
    }
}

BarRecords BarIndex::recordsOf(int bar) const
{
    if (bar < 1 || bar > count())
        return {};
    const int last = bar < count() ? firsts_[size_t(bar)] - 1 : records_;
    return {firsts_[size_t(bar - 1)], last};
}

int BarIndex::barOf(int record) const
{
    if (record < 1 || record > records_ || firsts_.empty())
        return 0;
    return static_cast<int>(std::upper_bound(firsts_.begin(), firsts_.end(), record) -
                            firsts_.begin());
}

std::vector<PriceRecord> BuildBars(Timeframe t, std::span<const PriceRecord> daily)
{
    std::vector<PriceRecord> out{PriceRecord{}};
    if (daily.size() <= 1)
        return out;
    if (t == Timeframe::Daily) {
        out.assign(daily.begin(), daily.end());
        return out;
    }
    std::optional<double> period;
    for (size_t i = 1; i < daily.size(); ++i) {
        const PriceRecord& r = daily[i];
        const double p = PeriodStart(t, r.Date);
        if (!period || p != *period) {
            period = p;
            PriceRecord bar;
            bar.Date = r.Date;
            bar.IsBlank = true;
            out.push_back(bar);
        }
        PriceRecord& bar = out.back();
        if (r.IsBlank)
            continue;
        if (bar.IsBlank) {
            // The period's first record with prices dates and opens the bar.
            bar = r;
            continue;
        }
        if (r.Valid & HighOk)
            bar.High = (bar.Valid & HighOk) ? std::max(bar.High, r.High) : r.High;
        if (r.Valid & LowOk)
            bar.Low = (bar.Valid & LowOk) ? std::min(bar.Low, r.Low) : r.Low;
        if (r.Valid & CloseOk)
            bar.Close = r.Close;
        if (!(bar.Valid & OpenOk) && (r.Valid & OpenOk))
            bar.Open = r.Open;
        bar.Valid |= r.Valid;
    }
    return out;
}
