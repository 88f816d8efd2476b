#include "tools/FigureScale.h"

#include <algorithm>
#include <cmath>

#include "data/Dates.h"

double FigureScale::pricePerSlot() const
{
    const int width = plotRight - plotLeft, height = plotBottom - plotTop;
    if (width <= 0 || height <= 0 || !(slotCount > 0))
        return 0;
    return scaleRange / height * width / slotCount;
}

bool FigureScale::usable() const
{
    return plotRight > plotLeft && plotBottom > plotTop && slotCount > 0 &&
           std::isfinite(slotCount) && scaleRange > 0 && std::isfinite(scaleRange) &&
           std::isfinite(scaleBottom) && chartWidth > 0 && chartHeight > 0;
}

int TradingDaysPerSlot(Timeframe tf)
{
    switch (tf) {
    case Timeframe::Weekly: return 5;
    case Timeframe::Monthly: return 21;
    case Timeframe::Daily: break;
    }
    return 1;
}

FigureScale ScaleOfChart(const ChartMap& map, int chartWidth, int chartHeight, int p1Slot,
                         int daysPerSlot)
{
    FigureScale s;
    s.plotLeft = map.plotLeft;
    s.plotTop = map.plotTop;
    s.plotRight = map.plotRight;
    s.plotBottom = map.plotBottom;
    s.chartWidth = chartWidth;
    s.chartHeight = chartHeight;
    s.slotCount = map.slotCount * std::max(daysPerSlot, 1);
    s.scaleBottom = map.scaleBottom;
    s.scaleRange = map.scaleRange;
    s.p1Slot = p1Slot;
    return s;
}

ChartMap ChartOfScale(const FigureScale& s)
{
    ChartMap m;
    m.plotLeft = s.plotLeft;
    m.plotTop = s.plotTop;
    m.plotRight = s.plotRight;
    m.plotBottom = s.plotBottom;
    m.plotWidth = s.plotRight - s.plotLeft;
    m.plotHeight = s.plotBottom - s.plotTop;
    m.slotCount = s.slotCount;
    m.totalSlots = static_cast<int>(std::clamp(std::ceil(s.slotCount), 0.0, 1e9));
    m.scaleBottom = s.scaleBottom;
    m.scaleRange = s.scaleRange;
    m.scaleTop = s.scaleBottom + s.scaleRange;
    return m;
}

namespace {
struct SlotPrice {
    double slot, price;
};

// How a slot of the built chart lands on the chart shown.
struct SlotCarry {
    double shift = 0, daysPerSlot = 1;
    [[nodiscard]] double operator()(double slot) const
    {
        return slot / (daysPerSlot > 0 ? daysPerSlot : 1) + shift;
    }
};

// The price of a row between pixels; the built chart is a linear one.
double PriceAt(const ChartMap& m, double y)
{
    if (m.logScale || m.plotHeight == 0)
        return m.yToPrice(RoundPx(y));
    return (m.plotBottom - y) * m.scaleRange / m.plotHeight + m.scaleBottom;
}

SlotPrice Read(const ChartMap& m, double x, double y, const SlotCarry& carry)
{
    return {carry(m.xToSlotPosition(x)), PriceAt(m, y)};
}

// A log axis bends a straight line: one piece per few pixels of it keeps
// the curve smooth (a spiral's steps are short already).
constexpr int PixelsPerPiece = 4, MostPieces = 256;

void Put(const ChartMap& from, const ChartMap& to, const Segment& s, const SlotCarry& carry,
         std::vector<Segment>& out)
{
    int pieces = 1;
    if (to.logScale && !from.logScale && s.y1 != s.y2) {
        const double longest =
            std::max(std::fabs(double(s.x2) - s.x1), std::fabs(double(s.y2) - s.y1));
        pieces = static_cast<int>(
            std::clamp(std::ceil(longest / PixelsPerPiece), 1.0, double(MostPieces)));
    }
    std::pair<int, int> last;
    for (int i = 0; i <= pieces; ++i) {
        const double t = double(i) / pieces;
        const SlotPrice p =
            Read(from, s.x1 + t * (double(s.x2) - s.x1), s.y1 + t * (double(s.y2) - s.y1), carry);
        const std::pair<int, int> at = to.slotPriceToPixel(p.slot, p.price);
        if (i > 0)
            out.push_back(Segment{last.first, last.second, at.first, at.second});
        last = at;
    }
}

std::vector<Segment> PutAll(const ChartMap& from, const ChartMap& to,
                            const std::vector<Segment>& lines, const SlotCarry& carry)
{
    std::vector<Segment> out;
    out.reserve(lines.size());
    for (const Segment& l : lines)
        Put(from, to, l, carry, out);
    return out;
}
} // namespace

Figure CarryFigure(const Figure& f, const ChartMap& from, const ChartMap& to, double shift,
                   double daysPerSlot)
{
    Figure out = f;
    for (Stroke& s : out.strokes)
        s.lines = PutAll(from, to, s.lines, SlotCarry{shift, daysPerSlot});
    return out;
}

void SettleElements(std::vector<FigureElement>& elements, const ChartMap& built, double shift,
                    double daysPerSlot)
{
    const SlotCarry carry{shift, daysPerSlot};
    for (FigureElement& e : elements) {
        if (e.lines.empty())
            continue;
        const Segment& first = e.lines.front();
        const Segment& last = e.lines.back();
        // Slots the reader worked out count on the built chart too.
        for (std::optional<double>* slot : {&e.slot, &e.endSlot})
            if (*slot)
                **slot = carry(**slot);
        switch (e.shape) {
        case ElementShape::Level:
            if (!e.price)
                e.price = built.yToPrice(first.y1);
            break;
        case ElementShape::Vertical:
            if (!e.slot)
                e.slot = carry(std::round(built.xToSlotPosition(first.x1)));
            break;
        case ElementShape::Slanted:
            if (!e.price)
                e.price = built.yToPrice(first.y1);
            if (!e.endPrice)
                e.endPrice = built.yToPrice(last.y2);
            if (!e.slot)
                e.slot = carry(std::round(built.xToSlotPosition(first.x1)));
            if (!e.endSlot)
                e.endSlot = carry(std::round(built.xToSlotPosition(last.x2)));
            break;
        case ElementShape::Curve: {
            const LineBounds b = BoundsOf(e.lines);
            e.price = built.yToPrice(b.top);
            e.endPrice = built.yToPrice(b.bottom);
            e.slot = carry(std::round(built.xToSlotPosition(b.left)));
            e.endSlot = carry(std::round(built.xToSlotPosition(b.right)));
            break;
        }
        }
    }
}

void CarryElements(std::vector<FigureElement>& elements, const ChartMap& from, const ChartMap& to,
                   double shift, double daysPerSlot)
{
    for (FigureElement& e : elements)
        e.lines = PutAll(from, to, e.lines, SlotCarry{shift, daysPerSlot});
}

std::optional<double> DayOfRecord(std::span<const std::optional<double>> days, long long record)
{
    const long long count = static_cast<long long>(days.size());
    if (count < 1)
        return std::nullopt;
    record = std::clamp<long long>(record, -100000, count + 100000);
    if (record >= 1 && record <= count)
        return days[size_t(record - 1)];
    const bool after = record > count;
    const std::optional<double> from = after ? days.back() : days.front();
    if (!from)
        return std::nullopt;
    double day = *from;
    for (long long n = after ? record - count : 1 - record; n > 0;) {
        day += after ? 1 : -1;
        const int wd = DayOfWeek(day);
        if (wd != 1 && wd != 7)
            --n;
    }
    return day;
}
