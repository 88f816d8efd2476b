// Picking one figure of the chart: by number or by the mouse, its anchors
// dragged one at a time, or deleted. Every change is one step of the
// history, and the figures are drawn again from their dates and prices.
#include <cmath>

#include "app/session/ChartSession.h"
#include "app/session/GloVar.h"
#include "app/session/SharedInputs.h"
#include "tools/ChartPoints.h"

namespace {
// Squared distance from (x, y) to the segment, in pixels.
double DistanceSquared(const Segment& s, double x, double y)
{
    const double dx = s.x2 - s.x1, dy = s.y2 - s.y1;
    const double len = dx * dx + dy * dy;
    double t = len > 0 ? ((x - s.x1) * dx + (y - s.y1) * dy) / len : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double px = s.x1 + t * dx - x, py = s.y1 + t * dy - y;
    return px * px + py * py;
}
} // namespace

int ChartSession::SelectedFigure() const
{
    return figures_.Numbered(figures_.selected) ? figures_.selected : 0;
}

bool ChartSession::SelectFigure(int n)
{
    const Publishing publishing(*this);
    if (n != 0 && !figures_.Numbered(n))
        return false;
    figures_.selected = n;
    return true;
}

void ChartSession::DeleteFigureClick()
{
    const Publishing publishing(*this);
    const int n = SelectedFigure();
    if (n == 0 || !GloVar.ChartShown || drags_.handle != 0 || tool.dragging())
        return;
    const StepScope step(*this, QStringLiteral("Delete Figure"));
    if (size_t(n) <= figures_.kept.size())
        figures_.kept.erase(figures_.kept.begin() + (n - 1));
    else
        figures_.current.reset();
    RedrawRange();
    figures_.selected = 0;
}

std::vector<Segment> ChartSession::FigureLines(int n) const
{
    std::vector<Segment> out;
    if (const auto* elements = figures_.ElementsNumbered(n))
        for (const FigureElement& e : *elements)
            out.insert(out.end(), e.lines.begin(), e.lines.end());
    return out;
}

std::vector<QPoint> ChartSession::FigureHandles(int n) const
{
    std::vector<QPoint> out;
    const StudyFigure* f = figures_.Numbered(n);
    if (!f || !GloVar.ChartShown)
        return out;
    const ChartMap map = CurrentChartMap(GloVar);
    std::vector<StudyPoint> points{f->p1, f->p2};
    if (f->p3)
        points.push_back(*f->p3);
    for (const StudyPoint& p : points) {
        const auto at = PixelOf(map, GloVar.Prices, p, timeframe_);
        // A handle off this chart cannot be taken; it keeps its place in the list.
        out.push_back(at ? *at : QPoint(-1000000, -1000000));
    }
    return out;
}

QRect ChartSession::PlotArea() const
{
    if (!GloVar.ChartShown)
        return {};
    const ChartMap map = CurrentChartMap(GloVar);
    return QRect(QPoint(map.plotLeft, map.plotTop), QPoint(map.plotRight, map.plotBottom));
}

int ChartSession::FigureAt(int x, int y) const
{
    // Lines run on past the plot, where nothing of them is drawn.
    if (!PlotArea().adjusted(-HitDistance, -HitDistance, HitDistance, HitDistance).contains(x, y))
        return 0;
    const double reach = double(HitDistance) * HitDistance;
    int best = 0;
    double nearest = reach;
    // The later figure is drawn over the earlier: it wins a tie.
    for (int n = FigureCount(); n >= 1; --n)
        for (const Segment& s : FigureLines(n))
            if (const double d = DistanceSquared(s, x, y);
                d < nearest || (d <= reach && best == 0)) {
                nearest = d;
                best = n;
            }
    return best;
}

int ChartSession::HandleAt(int x, int y) const
{
    const std::vector<QPoint> handles = FigureHandles(SelectedFigure());
    for (size_t i = 0; i < handles.size(); ++i)
        if (std::abs(handles[i].x() - x) <= HitDistance &&
            std::abs(handles[i].y() - y) <= HitDistance)
            return int(i) + 1;
    return 0;
}

std::optional<double> ChartSession::NearestBarPrice(const ChartMap& map, int x, int y) const
{
    const auto& g = GloVar;
    const int s = map.xToSlot(x);
    if (s < 1 || s > g.LoadedCount || g.Prices[size_t(s)].IsBlank)
        return std::nullopt;
    const PriceRecord& r = g.Prices[size_t(s)];
    const double at = map.yToPrice(y);
    const std::pair<uint8_t, double> prices[] = {
        {OpenOk, r.Open}, {HighOk, r.High}, {LowOk, r.Low}, {CloseOk, r.Close}};
    std::optional<double> nearest;
    for (const auto& [bit, price] : prices)
        if ((r.Valid & bit) && (!nearest || std::fabs(price - at) < std::fabs(*nearest - at)))
            nearest = price;
    return nearest;
}

void ChartSession::HandlePress(int handle)
{
    const Publishing publishing(*this);
    const StudyFigure* f = figures_.Numbered(SelectedFigure());
    if (!f || handle < 1 || handle > (f->p3 ? 3 : 2) || !GloVar.ChartShown)
        return;
    drags_.handle = handle;
    drags_.handleBefore = history_.recording() ? std::optional(TakeSnapshot()) : std::nullopt;
}

void ChartSession::HandleMove(int x, int y, bool snap)
{
    const Publishing publishing(*this);
    const int n = SelectedFigure();
    if (drags_.handle == 0 || n == 0 || !GloVar.ChartShown)
        return;
    StudyFigure& f =
        size_t(n) <= figures_.kept.size() ? figures_.kept[size_t(n) - 1] : *figures_.current;
    const ChartMap map = CurrentChartMap(GloVar);
    StudyPoint p = PointAt(map, GloVar.Prices, x, y);
    if (snap)
        if (const auto price = NearestBarPrice(map, x, y))
            p.price = *price;
    StudyPoint& moved = drags_.handle == 1 ? f.p1 : drags_.handle == 2 ? f.p2 : *f.p3;
    if (moved == p)
        return;
    moved = p;
    // A dragged ellipse is built afresh through its new points.
    f.ellipseDragged = false;
    f.ellipseScale = 1.0;
    const QuietHistory quiet(*this);
    RedrawRange();
    figures_.selected = n;
}

void ChartSession::HandleRelease()
{
    const Publishing publishing(*this);
    if (drags_.handle == 0)
        return;
    drags_.handle = 0;
    if (drags_.handleBefore)
        KeepStep(QStringLiteral("Move Anchor"), std::move(*drags_.handleBefore));
    drags_.handleBefore.reset();
}
