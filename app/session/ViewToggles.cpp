#include "app/session/ViewToggles.h"

#include <algorithm>
#include <cmath>

#include "app/session/KeptSettings.h"

namespace {
// Goals further than this many trading days past the chart would squeeze the bars to nothing.
constexpr int MostRoomDays = 1000;
// Levels further than this many chart spans beyond the bars likewise.
constexpr double MostSpans = 10;
} // namespace

ViewToggles::FigureRoom ViewToggles::RoomWanted(const ChartMap& map, double high, double low,
                                                double lastSlot,
                                                const std::vector<std::vector<FigureElement>>& kept,
                                                const std::vector<FigureElement>& current) const
{
    FigureRoom want;
    const double span = std::max(high - low, 0.0);
    const double highest = high + MostSpans * span, lowest = low - MostSpans * span;
    auto consider = [&](const std::vector<FigureElement>& elements) {
        for (const FigureElement& e : elements) {
            if (scaleToFigures && e.shape == ElementShape::Level && !e.lines.empty()) {
                const double price = e.price ? *e.price : map.yToPrice(e.lines.front().y1);
                if (std::isfinite(price) && price <= highest && price >= lowest) {
                    want.high = std::max(want.high.value_or(price), price);
                    want.low = std::min(want.low.value_or(price), price);
                }
            }
            if (timeGoalRoom && e.shape == ElementShape::Vertical && e.slot &&
                std::isfinite(*e.slot)) {
                const double beyond = std::ceil(*e.slot - 1e-9) - lastSlot;
                if (beyond > 0)
                    want.days = std::max(want.days, int(std::min<double>(beyond, MostRoomDays)));
            }
        }
    };
    for (const auto& elements : kept)
        consider(elements);
    consider(current);
    return want;
}

void ViewToggles::Remember(const QString& oldFile, bool& levelValues)
{
    remember_ = true;
    Kept::TakeOverViewFile(oldFile);
    if (!Kept::Usable())
        return;
    const QSettings st = Kept::Open();
    levelValues = st.value(QLatin1String(Kept::LevelValuesKey), levelValues).toBool();
    scaleToFigures = st.value(QLatin1String(Kept::ScaleToFiguresKey), scaleToFigures).toBool();
    timeGoalRoom = st.value(QLatin1String(Kept::TimeGoalRoomKey), timeGoalRoom).toBool();
}

void ViewToggles::Write(bool levelValues) const
{
    if (!remember_)
        return;
    Kept::Put(QLatin1String(Kept::LevelValuesKey), levelValues);
    Kept::Put(QLatin1String(Kept::ScaleToFiguresKey), scaleToFigures);
    Kept::Put(QLatin1String(Kept::TimeGoalRoomKey), timeGoalRoom);
}
