#include "tools/FigureScale.h"

#include <algorithm>
#include <cmath>

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

FigureScale ScaleOfChart(const ChartMap& map, int chartWidth, int chartHeight, int p1Slot)
{
    FigureScale s;
    s.plotLeft = map.plotLeft;
    s.plotTop = map.plotTop;
    s.plotRight = map.plotRight;
    s.plotBottom = map.plotBottom;
    s.chartWidth = chartWidth;
    s.chartHeight = chartHeight;
    s.slotCount = map.slotCount;
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

SlotPrice Read(const ChartMap& m, int x, int y, double shift)
{
    return {m.xToSlotPosition(x) + shift, m.yToPrice(y)};
}

Segment Put(const ChartMap& from, const ChartMap& to, const Segment& s, double shift)
{
    const SlotPrice a = Read(from, s.x1, s.y1, shift), b = Read(from, s.x2, s.y2, shift);
    const auto [x1, y1] = to.slotPriceToPixel(a.slot, a.price);
    const auto [x2, y2] = to.slotPriceToPixel(b.slot, b.price);
    return Segment{x1, y1, x2, y2};
}
} // namespace

Figure CarryFigure(const Figure& f, const ChartMap& from, const ChartMap& to, double shift)
{
    Figure out = f;
    for (Stroke& s : out.strokes)
        for (Segment& l : s.lines)
            l = Put(from, to, l, shift);
    return out;
}

void SettleElements(std::vector<FigureElement>& elements, const ChartMap& built, double shift)
{
    for (FigureElement& e : elements) {
        if (e.lines.empty())
            continue;
        const Segment& first = e.lines.front();
        const Segment& last = e.lines.back();
        // Slots the reader worked out count on the built chart too.
        for (std::optional<double>* slot : {&e.slot, &e.endSlot})
            if (*slot)
                **slot += shift;
        switch (e.shape) {
        case ElementShape::Level:
            if (!e.price)
                e.price = built.yToPrice(first.y1);
            break;
        case ElementShape::Vertical:
            if (!e.slot)
                e.slot = std::round(built.xToSlotPosition(first.x1)) + shift;
            break;
        case ElementShape::Slanted:
            if (!e.price)
                e.price = built.yToPrice(first.y1);
            if (!e.endPrice)
                e.endPrice = built.yToPrice(last.y2);
            if (!e.slot)
                e.slot = std::round(built.xToSlotPosition(first.x1)) + shift;
            if (!e.endSlot)
                e.endSlot = std::round(built.xToSlotPosition(last.x2)) + shift;
            break;
        case ElementShape::Curve: {
            int top = first.y1, bottom = first.y1, left = first.x1, right = first.x1;
            for (const Segment& s : e.lines)
                for (auto [x, y] : {std::pair{s.x1, s.y1}, std::pair{s.x2, s.y2}}) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            e.price = built.yToPrice(top);
            e.endPrice = built.yToPrice(bottom);
            e.slot = std::round(built.xToSlotPosition(left)) + shift;
            e.endSlot = std::round(built.xToSlotPosition(right)) + shift;
            break;
        }
        }
    }
}

void CarryElements(std::vector<FigureElement>& elements, const ChartMap& from, const ChartMap& to,
                   double shift)
{
    for (FigureElement& e : elements)
        for (Segment& s : e.lines)
            s = Put(from, to, s, shift);
}
