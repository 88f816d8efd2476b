// Figures built on angles and distances keep the scale of their first Draw:
// drawn again on another chart (a resize, a move, undo, a study) they are
// built on that first chart once more and carried onto the one shown by
// their slots and prices, so their shape and values stay.
#include <cmath>

#include "app/session/ChartSession.h"
#include "app/session/GloVar.h"
#include "app/session/SharedInputs.h"
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
} // namespace

FigureScale ChartSession::ScaleNow() const
{
    const auto& g = GloVar;
    const ChartMap map = CurrentChartMap(GloVar);
    return ScaleOfChart(map, g.ChartWidth, g.ChartHeight,
                        SlotOfDay(map, g.Prices, g.P1Date).value_or(map.xToSlot(g.P1X)));
}

FigureScale ChartSession::DefaultScale(const StudyFigure& f) const
{
    // The plot keeps its margins from the image's edges at any size.
    const auto& g = GloVar;
    ScaleInput in = CurrentScaleInput(GloVar);
    in.plotRight += DefaultChartWidth - g.ChartWidth;
    in.plotBottom += DefaultChartHeight - g.ChartHeight;
    const ChartMap map = ComputeScale(in);
    return ScaleOfChart(map, DefaultChartWidth, DefaultChartHeight,
                        SlotOfDay(CurrentChartMap(GloVar), g.Prices, f.p1.date).value_or(0));
}

ChartSession::DrawFrame ChartSession::FrameForDraw(const FigureKind& kind,
                                                   std::optional<EllipseMemory> memory) const
{
    DrawFrame d;
    d.input = CurrentFigureInput(GloVar);
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
    if (!kind.scaled) {
        keptSize(false);
        return d;
    }
    // A person's Draw takes the chart's scale as it is.
    d.scale = ScaleNow();
    if (!replaying_ || !replaying_->scale || !replaying_->scale->usable()) {
        keptSize(false);
        return d;
    }
    const StudyFigure& f = *replaying_;
    const FigureScale& s = *f.scale;
    d.scale = s;
    const ChartMap shown = CurrentChartMap(GloVar);
    const auto k1 = SlotOfDay(shown, GloVar.Prices, f.p1.date);
    // The chart it was first drawn on, or one its dates are not on: drawn as it is.
    if (!k1 || ScaleNow() == s) {
        keptSize(false);
        return d;
    }
    const ChartMap built = ChartOfScale(s);
    d.shift = *k1 - s.p1Slot;
    auto slotOf = [&](const StudyPoint& p) {
        return SlotOfDay(shown, GloVar.Prices, p.date).value_or(*k1) - d.shift + p.slotOffset;
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

void ChartSession::GiveStudyFiguresScales(std::vector<StudyFigure>& figures) const
{
    for (StudyFigure& f : figures) {
        const FigureKind* kind = FigureKindOf(f.type);
        if (kind && kind->scaled && !f.scale)
            f.scale = DefaultScale(f);
    }
}
