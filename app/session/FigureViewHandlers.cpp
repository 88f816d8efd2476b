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

std::vector<ChartSession::FigureRow> ChartSession::FigureRows() const
{
    const int decimals = std::clamp<int>(GloVar.PriceDecimals, 0, 12);
    auto point = [&](const char* name, const StudyPoint& p) {
        return QStringLiteral("%1 %2 %3")
            .arg(QLatin1String(name), IsoText(p.date), QString::number(p.price, 'f', decimals));
    };
    std::vector<FigureRow> rows;
    for (int n = 1; n <= FigureCount(); ++n) {
        const StudyFigure& f = *figures_.Numbered(n);
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
    if (!figures_.Numbered(n) || !GloVar.ChartShown)
        return false;
    StudyFigure& f =
        size_t(n) <= figures_.kept.size() ? figures_.kept[size_t(n) - 1] : *figures_.current;
    if (f.hidden == hidden || drags_.handle != 0 || tool.dragging())
        return true;
    const StepScope step(*this,
                         hidden ? QStringLiteral("Hide Figure") : QStringLiteral("Show Figure"));
    f.hidden = hidden;
    // A hidden figure has nothing on the chart to pick or drag.
    if (hidden && figures_.selected == n)
        figures_.selected = 0;
    RedrawRange();
    return true;
}

void ChartSession::ScaleToFiguresClick()
{
    const Publishing publishing(*this);
    view_.scaleToFigures = !view_.scaleToFigures;
    view_.Write(GloVar.LevelValues);
    FitFiguresInView();
}

void ChartSession::TimeGoalRoomClick()
{
    const Publishing publishing(*this);
    view_.timeGoalRoom = !view_.timeGoalRoom;
    view_.Write(GloVar.LevelValues);
    FitFiguresInView();
}

void ChartSession::FitFiguresInView()
{
    if (view_.holdFit > 0 || !GloVar.ChartShown || chart.isNull())
        return;
    const auto& g = GloVar;
    const ViewToggles::FigureRoom want = view_.RoomWanted(
        CurrentChartMap(g), g.ChartHigh, g.ChartLow, double(g.LoadedCount) + g.BlankDaysRight,
        figures_.keptElements, figures_.currentElements);
    if (want == view_.room)
        return;
    view_.room = want;
    // One plot more, part of whatever step asked for it. Figures built in
    // pixels may then want slightly other room: that waits for the next plot.
    const QuietHistory quiet(*this);
    ++view_.holdFit;
    RedrawRange();
    --view_.holdFit;
}
