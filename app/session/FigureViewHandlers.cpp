// The figures as a list (View > Figures) and the room they are given on the
// chart: each one shown or hidden, the price scale grown to their levels and
// blank days up to their time goals.
#include <algorithm>
#include <cmath>

#include "app/session/ChartSession.h"
#include "app/session/GloVar.h"
#include "app/session/SharedInputs.h"
#include "chart/ChartMap.h"
#include "data/Dates.h"
#include "tools/FigureTable.h"

namespace {
// Goals further than this many trading days past the chart would squeeze the bars to nothing.
constexpr int MostRoomDays = 1000;
// Levels further than this many chart spans beyond the bars likewise.
constexpr double MostSpans = 10;
} // namespace

std::vector<ChartSession::FigureRow> ChartSession::FigureRows() const
{
    const int decimals = std::clamp<int>(GloVar.PriceDecimals, 0, 12);
    auto point = [&](const char* name, const StudyPoint& p) {
        return QStringLiteral("%1 %2 %3")
            .arg(QLatin1String(name), IsoText(p.date), QString::number(p.price, 'f', decimals));
    };
    std::vector<FigureRow> rows;
    for (int n = 1; n <= FigureCount(); ++n) {
        const StudyFigure& f = *FigureNumbered(n);
        const FigureKind* kind = FigureKindOf(f.type);
        FigureRow row;
        row.number = n;
        row.type = kind ? QString::fromLatin1(kind->caption) : QString::number(f.type);
        QStringList anchors{point("P1", f.p1)};
        if (!kind || kind->needsP2)
            anchors << point("P2", f.p2);
        if (f.p3)
            anchors << point("P3", *f.p3);
        row.anchors = anchors.join(QStringLiteral(", "));
        row.hidden = f.hidden;
        rows.push_back(std::move(row));
    }
    return rows;
}

bool ChartSession::SetFigureHidden(int n, bool hidden)
{
    const Publishing publishing(*this);
    if (!FigureNumbered(n) || !GloVar.ChartShown)
        return false;
    StudyFigure& f =
        size_t(n) <= keptFigures_.size() ? keptFigures_[size_t(n) - 1] : *currentFigure_;
    if (f.hidden == hidden || dragHandle_ != 0 || tool.dragging())
        return true;
    const StepScope step(*this,
                         hidden ? QStringLiteral("Hide Figure") : QStringLiteral("Show Figure"));
    f.hidden = hidden;
    // A hidden figure has nothing on the chart to pick or drag.
    if (hidden && selected_ == n)
        selected_ = 0;
    RedrawRange();
    return true;
}

void ChartSession::ScaleToFiguresClick()
{
    const Publishing publishing(*this);
    scaleToFigures_ = !scaleToFigures_;
    WriteViewSettings();
    FitFiguresInView();
}

void ChartSession::TimeGoalRoomClick()
{
    const Publishing publishing(*this);
    timeGoalRoom_ = !timeGoalRoom_;
    WriteViewSettings();
    FitFiguresInView();
}

ChartSession::FigureRoom ChartSession::RoomWanted() const
{
    const auto& g = GloVar;
    FigureRoom room;
    if (!g.ChartShown)
        return room;
    const ChartMap map = CurrentChartMap(GloVar);
    const double span = std::max(g.ChartHigh - g.ChartLow, 0.0);
    const double highest = g.ChartHigh + MostSpans * span, lowest = g.ChartLow - MostSpans * span;
    const double lastSlot = double(g.LoadedCount) + g.BlankDaysRight;
    auto consider = [&](const std::vector<FigureElement>& elements) {
        for (const FigureElement& e : elements) {
            if (scaleToFigures_ && e.shape == ElementShape::Level && !e.lines.empty()) {
                const double price = e.price ? *e.price : map.yToPrice(e.lines.front().y1);
                if (std::isfinite(price) && price <= highest && price >= lowest) {
                    room.high = std::max(room.high.value_or(price), price);
                    room.low = std::min(room.low.value_or(price), price);
                }
            }
            if (timeGoalRoom_ && e.shape == ElementShape::Vertical && e.slot &&
                std::isfinite(*e.slot)) {
                const double beyond = std::ceil(*e.slot - 1e-9) - lastSlot;
                if (beyond > 0)
                    room.days = std::max(room.days, int(std::min<double>(beyond, MostRoomDays)));
            }
        }
    };
    for (const auto& kept : keptElements_)
        consider(kept);
    consider(currentElements_);
    return room;
}

void ChartSession::FitFiguresInView()
{
    if (holdFit_ > 0 || !GloVar.ChartShown || chart.isNull())
        return;
    const FigureRoom want = RoomWanted();
    if (want == figureRoom_)
        return;
    figureRoom_ = want;
    // One plot more, part of whatever step asked for it. Figures built in
    // pixels may then want slightly other room: that waits for the next plot.
    const QuietHistory quiet(*this);
    ++holdFit_;
    RedrawRange();
    --holdFit_;
}
