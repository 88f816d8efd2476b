// Figures built on angles and distances keep the scale of their first Draw:
// drawn again on another chart (a resize, a move, undo, a study) they are
// built on that first chart once more and carried onto the one shown by
// their slots and prices, so their shape and values stay.
#include <algorithm>
#include <cmath>

#include "app/session/FigureFrames.h"
#include "data/Dates.h"
#include "tools/FigureTable.h"

namespace {
// The default chart, whose scale a study figure kept without one had.
constexpr int DefaultChartWidth = 980, DefaultChartHeight = 590;

// The slot of a day on the chart shown; none when it is not charted.
std::optional<int> SlotOfDay(const ChartMap& map, const std::vector<PriceRecord>& prices,
                             std::optional<double> day)
{
    if (!day)
        return std::nullopt;
    for (int k = 1; k <= map.totalSlots && size_t(k) < prices.size(); ++k)
        if (prices[size_t(k)].Date == *day)
            return k;
    return std::nullopt;
}

// The slot of the bar that holds a day on the chart shown; none when it is not charted.
std::optional<int> BarOfDay(const ChartMap& map, const std::vector<PriceRecord>& prices,
                            std::optional<double> day, Timeframe tf)
{
    if (tf == Timeframe::Daily)
        return SlotOfDay(map, prices, day);
    if (!day)
        return std::nullopt;
    for (int k = 1; k <= map.totalSlots && size_t(k) < prices.size(); ++k)
        if (!prices[size_t(k)].IsBlank && SlotHolds(tf, prices[size_t(k)].Date, *day))
            return k;
    return std::nullopt;
}

// The file's record of a day, counted on in weekdays past its last record;
// none when the file's days are not known.
std::optional<long long> RecordOfDay(const std::optional<RecordDates>& dates, double day)
{
    if (!dates || dates->count() < 1 || !dates->days.back())
        return std::nullopt;
    const double last = *dates->days.back();
    if (day <= last) {
        const int k = dates->firstOnOrAfter(day);
        return k > 0 ? std::optional<long long>(k) : std::nullopt;
    }
    long long n = dates->count();
    for (double d = last + 1; d <= day && n < dates->count() + 100000; ++d)
        if (const int wd = DayOfWeek(d); wd != 1 && wd != 7)
            ++n;
    return n;
}
} // namespace

FigureScale FigureFrames::ScaleNow(const FrameView& v)
{
    const ChartMap& map = v.shown;
    const int days = TradingDaysPerSlot(v.timeframe);
    return ScaleOfChart(
        map, v.chartWidth, v.chartHeight,
        BarOfDay(map, v.prices, v.p1Date, v.timeframe).value_or(map.xToSlot(v.p1x)) * days, days);
}

FigureScale FigureFrames::DefaultScale(const StudyFigure& f, const FrameView& v)
{
    // The plot keeps its margins from the image's edges at any size.
    ScaleInput in = v.scaleInput;
    in.plotRight += DefaultChartWidth - v.chartWidth;
    in.plotBottom += DefaultChartHeight - v.chartHeight;
    const ChartMap map = ComputeScale(in);
    const int days = TradingDaysPerSlot(v.timeframe);
    return ScaleOfChart(map, DefaultChartWidth, DefaultChartHeight,
                        BarOfDay(v.shown, v.prices, f.p1.date, v.timeframe).value_or(0) * days,
                        days);
}

FigureFrames::DrawFrame FigureFrames::FrameForDraw(const FigureKind& kind,
                                                   std::optional<EllipseMemory> memory,
                                                   const FrameView& v) const
{
    DrawFrame d;
    d.input = v.input;
    d.memory = std::move(memory);
    // A replayed ellipse has the size it was kept at, whatever the last one
    // drawn left behind. On its own chart only a fresh one needs telling: the
    // replay draws a grown or a dragged one again at the size it was kept at.
    auto keptSize = [&](bool carried) {
        if (!kind.live || !replaying_)
            return;
        const StudyFigure& f = *replaying_;
        const bool sized = !f.ellipseDragged && std::fabs(f.ellipseScale - 1) > 1e-12;
        if (!carried && (sized || f.ellipseDragged))
            return;
        d.memory.reset();
        if (sized)
            d.memory = EllipseMemoryFor(d.input, f.ellipseScale * EllipseBaseRadius(d.input));
    };
    const ChartMap& shown = v.shown;
    if (!kind.scaled) {
        // Levels and goals are measured in prices: on a log axis they are
        // worked out on its linear twin and each put at its own price.
        if (shown.logScale && shown.usable()) {
            ChartMap linear = shown;
            linear.logScale = false;
            BuildOnLinearChart(d, shown, linear, v);
        }
        keptSize(false);
        return d;
    }
    // A person's Draw takes the chart's scale as it is.
    d.scale = ScaleNow(v);
    const int days = TradingDaysPerSlot(v.timeframe);
    // Bars of several days, or a log axis: the figure is built on the linear
    // chart of daily slots the kept scale describes and carried onto these.
    const bool ownAxes = days == 1 && !shown.logScale;
    d.daysPerSlot = days;
    if (!replaying_ || !replaying_->scale || !replaying_->scale->usable()) {
        if (!ownAxes && d.scale->usable())
            BuildOnLinearChart(d, shown, ChartOfScale(*d.scale), v);
        keptSize(false);
        return d;
    }
    const StudyFigure& f = *replaying_;
    const FigureScale& s = *f.scale;
    d.scale = s;
    const auto k1 = BarOfDay(shown, v.prices, f.p1.date, v.timeframe);
    // The chart it was first drawn on, or one its dates are not on: drawn as it is.
    if (!k1 || (ownAxes && ScaleNow(v) == s)) {
        keptSize(false);
        return d;
    }
    const ChartMap built = ChartOfScale(s);
    d.shift = *k1 - double(s.p1Slot) / days;
    // A point's daily slot on the built chart: by the file's trading days
    // from P1's when the bars hold several, so that the figure is the one
    // the daily chart builds. A point's offset from its slot (half a slot
    // at most) counts as a day's share on any bars.
    const std::optional<long long> r1 =
        days > 1 ? RecordOfDay(v.recordDates, f.p1.date) : std::nullopt;
    auto slotOf = [&](const StudyPoint& p) -> double {
        if (r1)
            if (const auto r = RecordOfDay(v.recordDates, p.date))
                return double(s.p1Slot) + double(*r - *r1) + p.slotOffset;
        const double bar = BarOfDay(shown, v.prices, p.date, v.timeframe).value_or(*k1);
        return (bar - d.shift) * days + p.slotOffset;
    };
    auto column = [&](const StudyPoint& p) { return built.slotPositionToX(slotOf(p)); };
    auto row = [&](const StudyPoint& p) { return built.priceToY(p.price); };
    FigureInput& in = d.input;
    in.map = built;
    in.chartWidth = s.chartWidth;
    in.chartHeight = s.chartHeight;
    in.p1x = column(f.p1);
    in.p1h = built.yToHeight(row(f.p1));
    in.p2x = column(f.p2);
    in.p2h = built.yToHeight(row(f.p2));
    // The third point is P2's unless it was set apart; a dragged ellipse's
    // far end and third point are where the drag left P2.
    const StudyPoint& p3 = f.p3 && !(kind.live && f.ellipseDragged) ? *f.p3 : f.p2;
    in.p3x = column(p3);
    in.p3y = row(p3);
    in.ellipseEndX = in.p2x;
    in.ellipseEndH = in.p2h;
    keptSize(true);
    d.carried = true;
    return d;
}

void FigureFrames::BuildOnLinearChart(DrawFrame& d, const ChartMap& shown, const ChartMap& built,
                                      const FrameView& v)
{
    // The same plot: on bars the columns count daily slots, and from a log
    // axis the rows move to the linear one, each by its price (the anchors
    // by their own).
    FigureInput& in = d.input;
    in.map = built;
    d.carried = true;
    d.ownChart = true;
    const int days = static_cast<int>(d.daysPerSlot);
    if (days > 1) {
        // On bars a point stands where a replay of it will put it: P1 on its
        // bar's first daily slot, the others by the file's trading days from
        // P1's day, each off its bar by as much of a day as it was of a bar.
        const std::optional<long long> r1 =
            v.p1Date ? RecordOfDay(v.recordDates, *v.p1Date) : std::nullopt;
        auto column = [&](long long x, std::optional<double> date) {
            const double pos = shown.xToSlotPosition(double(x));
            const int bar =
                BarOfDay(shown, v.prices, date, v.timeframe).value_or(shown.xToSlot(int(x)));
            const double off = std::clamp(pos - bar, -0.5, 0.5);
            if (!date && bar >= 1 && size_t(bar) < v.prices.size())
                date = v.prices[size_t(bar)].Date;
            if (r1 && date)
                if (const auto r = RecordOfDay(v.recordDates, *date))
                    return (long long)built.slotPositionToX(double(d.scale->p1Slot) +
                                                            double(*r - *r1) + off);
            return (long long)built.slotPositionToX(double(bar) * days + off);
        };
        const bool endAtP2 = in.ellipseEndX == in.p2x, p3AtP2 = in.p3x == in.p2x;
        in.p1x = column(in.p1x, v.p1Date);
        in.p2x = column(in.p2x, v.p2Date);
        in.p3x = p3AtP2 ? in.p2x : in.p3x > 0 ? column(in.p3x, std::nullopt) : in.p3x;
        in.ellipseEndX = endAtP2 ? in.p2x : column(in.ellipseEndX, std::nullopt);
    }
    if (!shown.logScale)
        return;
    auto height = [&](long long h, std::optional<double> price) {
        const double p = price ? *price : shown.yToPrice(shown.heightToY(h));
        return built.yToHeight(built.priceToY(p));
    };
    const bool anchored = v.p1Date && v.p2Date;
    const bool endAtP2 = in.ellipseEndH == in.p2h, p3AtP2 = in.p3y == shown.heightToY(in.p2h);
    in.p1h = height(in.p1h, anchored ? std::optional<double>(v.p1Price) : std::nullopt);
    in.p2h = height(in.p2h, anchored ? std::optional<double>(v.p2Price) : std::nullopt);
    in.ellipseEndH = endAtP2 ? in.p2h : height(in.ellipseEndH, std::nullopt);
    if (p3AtP2)
        in.p3y = built.heightToY(in.p2h);
    else if (in.p3y > 0)
        in.p3y = ClampPx(built.heightToY(height(shown.yToHeight(in.p3y), std::nullopt)));
}

std::optional<double> FigureFrames::DayOfFigureSlot(const StudyFigure& f, double slot,
                                                    const FrameView& v)
{
    const int days = TradingDaysPerSlot(v.timeframe);
    if (days == 1 || !v.recordDates)
        return std::nullopt;
    const auto k1 = BarOfDay(v.shown, v.prices, f.p1.date, v.timeframe);
    const auto r1 = RecordOfDay(v.recordDates, f.p1.date);
    if (!k1 || !r1 || !std::isfinite(slot))
        return std::nullopt;
    const double offset = std::clamp((slot - *k1) * days, -1e6, 1e6);
    return DayOfRecord(v.recordDates->days, *r1 + std::llround(offset));
}

std::optional<double> FigureFrames::AnchorDayOfSlot(const StudyFigure& f, double slot,
                                                    const FrameView& v)
{
    if (v.timeframe == Timeframe::Daily)
        return std::nullopt;
    for (const StudyPoint* p : {&f.p1, &f.p2})
        if (const auto bar = BarOfDay(v.shown, v.prices, p->date, v.timeframe); bar && *bar == slot)
            return p->date;
    return std::nullopt;
}

void FigureFrames::GiveStudyFiguresScales(std::vector<StudyFigure>& figures, const FrameView& v)
{
    for (StudyFigure& f : figures) {
        const FigureKind* kind = FigureKindOf(f.type);
        if (kind && kind->scaled && !f.scale)
            f.scale = DefaultScale(f, v);
    }
}

void FigureFrames::NoteDrawn(const DrawFrame& d)
{
    drawnScale_ = d.scale;
    drawnEllipseBase_ = d.ownChart ? std::optional(EllipseBaseRadius(d.input)) : std::nullopt;
}
