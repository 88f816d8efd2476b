// The figures' numbers: labels of levels, ratios and dates on the chart,
// the levels that fall off it, and the figure values file.
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <algorithm>
#include <cmath>

#include "app/session/ChartSession.h"
#include "app/session/GloVar.h"
#include "app/session/Prompts.h"
#include "app/session/SharedInputs.h"
#include "chart/BarChart.h"
#include "chart/ChartMap.h"
#include "chart/Clip.h"
#include "data/Dates.h"
#include "data/FileNames.h"
#include "data/Program.h"
#include "data/RecordDates.h"
#include "data/WholeFile.h"
#include "tools/ChartPoints.h"
#include "tools/FigureScale.h"
#include "tools/FigureTable.h"

namespace {
const char* const ViewFileName = "fview.dat";

QString PriceText(double price, int decimals)
{
    return QString::number(price, 'f', std::clamp(decimals, 0, 12));
}

// The last point of a line still inside the plot, if any.
std::optional<QPoint> LastInside(const Segment& s, const ChartMap& map)
{
    const std::optional<QLineF> inside = ClipSegment(
        QLineF(s.x1, s.y1, s.x2, s.y2),
        QRectF(QPointF(map.plotLeft + 1, map.plotTop + 1), QPointF(map.plotRight, map.plotBottom)));
    if (!inside)
        return std::nullopt;
    return QPoint(RoundPx(inside->x2()), RoundPx(inside->y2()));
}

struct Label {
    int right = 0, bottom = 0; // where the text's box wants to end
    QString text;
};

std::optional<Label> LabelOf(const FigureElement& e, bool byMark, const ChartMap& map,
                             const std::vector<PriceRecord>& prices, int decimals)
{
    if (e.lines.empty() || e.mark.isEmpty())
        return std::nullopt;
    const Segment& s = e.lines.front();
    switch (e.shape) {
    case ElementShape::Level: {
        if (!(map.plotTop < s.y1 && s.y1 <= map.plotBottom))
            return std::nullopt;
        const double price = e.price ? *e.price : map.yToPrice(s.y1);
        return Label{map.plotRight - 3, s.y1 - 1,
                     byMark ? e.mark : PriceText(price, decimals) + QStringLiteral("  ") + e.mark};
    }
    case ElementShape::Vertical: {
        if (!(map.plotLeft < s.x1 && s.x1 <= map.plotRight))
            return std::nullopt;
        const QString date = ShortDate(TradingDayAt(map, prices, s.x1));
        const int w = Canvas::textSize(date, ChartFace::Label).width();
        return Label{s.x1 + 3 + w, map.plotBottom - 2, date};
    }
    case ElementShape::Slanted: {
        const Segment& l = e.lines.back();
        const auto end = LastInside(l, map);
        if (!end)
            return std::nullopt;
        if (byMark)
            return Label{end->x() - 3, end->y() - 2, e.mark};
        // The line's own price at the plot's right end, carried on along the
        // line where it stops short (cut at the plot's foot). A line that
        // leaves the plot first is labelled where it leaves, that price
        // marked as above or below the scale: the price where it leaves
        // would be the scale's edge for every such line.
        const double y = l.x1 == l.x2
                             ? l.y2
                             : l.y1 + double(map.plotRight - l.x1) * (l.y2 - l.y1) / (l.x2 - l.x1);
        const double price =
            map.plotHeight == 0
                ? map.scaleBottom
                : (map.plotBottom - y) * map.scaleRange / map.plotHeight + map.scaleBottom;
        const QString beyond = y <= map.plotTop     ? QStringLiteral("\u2191 ")
                               : y > map.plotBottom ? QStringLiteral("\u2193 ")
                                                    : QString();
        return Label{end->x() - 3, end->y() - 2,
                     beyond + PriceText(price, decimals) + QStringLiteral("  ") + e.mark};
    }
    case ElementShape::Curve: {
        std::optional<QPoint> best;
        for (const Segment& l : e.lines)
            for (const QPoint pt : {QPoint(l.x1, l.y1), QPoint(l.x2, l.y2)})
                if (map.insidePlot(pt.x(), pt.y()) && (!best || pt.x() > best->x()))
                    best = pt;
        if (!best)
            return std::nullopt;
        const int w = Canvas::textSize(e.mark, ChartFace::Label).width();
        return Label{best->x() + 3 + w, best->y() - 2, e.mark};
    }
    }
    return std::nullopt;
}

// The foot row nearest the wanted one, at or below it first, where a box
// of the label's size meets none taken; none when every row is taken.
std::optional<int> FreeLabelRow(const QRect& wanted, const std::vector<QRect>& taken, int highest,
                                int lowest)
{
    const int step = wanted.height() + 1;
    const int bottom = wanted.bottom() + 1;
    for (int k = 0;; ++k) {
        const int down = bottom + k * step, up = bottom - k * step;
        if (down > lowest && up < highest)
            return std::nullopt;
        for (const int row : {down, up}) {
            if (row > lowest || row < highest)
                continue;
            const QRect box = wanted.translated(0, row - bottom);
            if (std::none_of(taken.begin(), taken.end(),
                             [&](const QRect& r) { return r.intersects(box); }))
                return row;
        }
    }
}

QString Csv(const QString& field)
{
    if (!field.contains(QLatin1Char(',')) && !field.contains(QLatin1Char('"')))
        return field;
    QString q = field;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}
} // namespace

void ChartSession::NoteFigureDrawn(const FigureKind& kind, const std::vector<Figure>& drawn,
                                   const std::vector<Figure>& built, const DrawFrame& frame)
{
    const auto& g = GloVar;
    figures_.currentDrawn = drawn;
    // The anchors' prices as a study keeps them: exact while an anchor stands
    // on its price's row, else the price of the row it was moved to.
    const ChartMap map = CurrentChartMap(GloVar);
    const AnchorPixels px = AnchorPixelsNow();
    const StudyPoint a1 = AnchorPoint(map, g.Prices, px.P1X, g.PlotBottom - px.P1Y, g.P1Anchor.date,
                                      g.P1Anchor.price, timeframe_);
    const StudyPoint a2 = AnchorPoint(map, g.Prices, px.P2X, g.PlotBottom - px.P2Y, g.P2Anchor.date,
                                      g.P2Anchor.price, timeframe_);
    // The anchors' slots by their days: a pixel near a slot's edge may read as the next one.
    auto slotOf = [&](int x, std::optional<double> date) -> long long {
        for (int k = 1; k <= g.LoadedCount && size_t(k) < g.Prices.size(); ++k)
            if (date && SlotHolds(timeframe_, g.Prices[size_t(k)].Date, *date))
                return k;
        return map.xToSlot(x);
    };
    const long long bar1 = slotOf(px.P1X, g.P1Anchor.date), bar2 = slotOf(px.P2X, g.P2Anchor.date);
    // A figure built on another chart reads the anchors' slots on that one.
    auto onBuilt = [&](double slot) {
        return kind.scaled ? (slot - frame.shift) * frame.daysPerSlot : slot;
    };
    figures_.currentElements =
        kind.elements(built, frame.input,
                      AnchorPrices{a1.price, a2.price, onBuilt(bar1 + a1.slotOffset),
                                   onBuilt(bar2 + a2.slotOffset), std::llround(onBuilt(bar1)),
                                   std::llround(onBuilt(bar2))});
    figures_.currentLabelBoxes.clear();
    figures_.currentUnlabelled.clear();
    // Worked out in slots and prices on the chart it was built on, so that
    // its values are the same whatever the window's size.
    if (kind.scaled)
        SettleElements(figures_.currentElements, frame.input.map, frame.shift, frame.daysPerSlot);
    if (frame.carried)
        CarryElements(figures_.currentElements, frame.input.map, map, frame.shift,
                      frame.daysPerSlot);
    if (g.LevelValues)
        DrawLevelLabels(figures_.currentElements, kind.labelledByMark);
    ShowLevelsOffChart();
}

void ChartSession::DrawLevelLabels(const std::vector<FigureElement>& elements, bool byMark)
{
    const auto& g = GloVar;
    const ChartMap map = CurrentChartMap(GloVar);
    // Clear of the kept figures' labels and of the maker's line at the plot's foot.
    std::vector<QRect> taken = figures_.keptLabelBoxes;
    taken.push_back(chart.textCell(map.plotLeft + 10, map.plotBottom - 10, TextAlign::LeftBottom,
                                   QString::fromLatin1(MakerWebAddress), ChartFace::Header));
    const size_t ownFrom = taken.size();
    figures_.currentUnlabelled.clear();
    // Each label on a box of the chart's white paper, over whatever it crosses.
    chart.setBrushColor(Qt::white);
    auto put = [&](int right, int bottom, const QString& text, const QColor& color) {
        // Kept inside the plot, clear of the price and date labels around it.
        const QSize size = Canvas::textSize(text, ChartFace::Label);
        const int w = size.width(), h = size.height();
        right = std::clamp(right, map.plotLeft + 2 + w,
                           std::max(map.plotLeft + 2 + w, map.plotRight - 2));
        const int highest = map.plotTop + 2 + h, lowest = std::max(highest, map.plotBottom - 1);
        bottom = std::clamp(bottom, highest, lowest);
        const std::optional<int> free =
            FreeLabelRow(QRect(right - w, bottom - h, w, h), taken, highest, lowest);
        if (!free) {
            // No row left for it: the earlier figure's labels win, this one is listed.
            figures_.currentUnlabelled << text;
            return;
        }
        taken.emplace_back(right - w, *free - h, w, h);
        chart.setTextColor(g.Monochrome ? QColor(Qt::black) : color);
        chart.textOut(right, *free, TextAlign::RightBottom, text, ChartFace::Label);
    };
    for (const FigureElement& e : elements)
        if (const auto label = LabelOf(e, byMark, map, g.Prices, g.PriceDecimals))
            put(label->right, label->bottom, label->text, e.color);
    // What lies past the plot's edges is marked at them: a level above or
    // below the scale at the top or foot, a time goal past the last slot at
    // the right edge and one before the first at the left.
    for (const FigureElement& e : elements) {
        if (e.lines.empty())
            continue;
        const Segment& s = e.lines.front();
        if (e.shape == ElementShape::Level && !(map.plotTop < s.y1 && s.y1 <= map.plotBottom)) {
            const bool above = s.y1 <= map.plotTop;
            const double price = e.price ? *e.price : map.yToPrice(s.y1);
            if (!std::isfinite(price))
                continue;
            const QString text = (above ? QStringLiteral("\u2191 ") : QStringLiteral("\u2193 ")) +
                                 PriceText(price, g.PriceDecimals) + QStringLiteral("  ") + e.mark;
            put(map.plotRight - 3, above ? 0 : map.plotBottom - 1, text, e.color);
        } else if (e.shape == ElementShape::Vertical &&
                   (s.x1 > map.plotRight || s.x1 < map.plotLeft)) {
            // The goal's day as the values file gives it, not its rounded column's.
            const ElementValues v = ValuesOf(e, map, g.Prices);
            const std::optional<double> day = v.date ? v.date : TradingDayAt(map, g.Prices, s.x1);
            if (!day)
                continue;
            // Before the first slot it is marked at the left edge, pointing left.
            if (s.x1 < map.plotLeft)
                put(map.plotLeft, map.plotBottom - 2,
                    QStringLiteral("\u2190 %1  %2").arg(ShortDate(*day), e.mark), e.color);
            else
                put(map.plotRight - 3, map.plotBottom - 2,
                    QStringLiteral("%1  %2 \u2192").arg(ShortDate(*day), e.mark), e.color);
        }
    }
    figures_.currentLabelBoxes.assign(taken.begin() + std::ptrdiff_t(ownFrom), taken.end());
    chart.setTextColor(Qt::black);
}

QStringList ChartSession::LevelsOffChart(const std::vector<FigureElement>& elements) const
{
    const auto& g = GloVar;
    const ChartMap map = CurrentChartMap(GloVar);
    QStringList off;
    for (const FigureElement& e : elements)
        if (e.shape == ElementShape::Level && !e.lines.empty() &&
            !(map.plotTop < e.lines.front().y1 && e.lines.front().y1 <= map.plotBottom))
            off << PriceText(e.price ? *e.price : map.yToPrice(e.lines.front().y1),
                             g.PriceDecimals);
    return off;
}

void ChartSession::ShowLevelsOffChart()
{
    // The kept figures' levels were found as each was kept: the chart under
    // them has not changed since.
    // A status bar shows a few; listing thousands would cost every Draw as much as all of them.
    constexpr qsizetype Listed = 20;
    const QStringList current = LevelsOffChart(figures_.currentElements);
    const qsizetype count = figures_.keptLevelsOff.size() + current.size();
    QStringList off = figures_.keptLevelsOff.mid(0, Listed);
    off += current.mid(0, Listed - off.size());
    QString listed = off.join(QStringLiteral(", "));
    if (count > off.size())
        listed += QStringLiteral(" and %1 more").arg(count - off.size());
    ui.panels[PanelLevels] =
        count == 0
            ? QString()
            : QStringLiteral("%1 %2 off the chart: %3")
                  .arg(count)
                  .arg(count == 1 ? QStringLiteral("level") : QStringLiteral("levels"), listed);
    const QStringList unlabelled = figures_.keptUnlabelled + figures_.currentUnlabelled;
    if (!unlabelled.isEmpty()) {
        if (!ui.panels[PanelLevels].isEmpty())
            ui.panels[PanelLevels] += QStringLiteral("; ");
        ui.panels[PanelLevels] += QStringLiteral("no room to label: ") +
                                  unlabelled.mid(0, Listed).join(QStringLiteral(", "));
        if (unlabelled.size() > Listed)
            ui.panels[PanelLevels] +=
                QStringLiteral(" and %1 more").arg(unlabelled.size() - Listed);
    }
}

void ChartSession::LevelValuesClick()
{
    const Publishing publishing(*this);
    auto& g = GloVar;
    g.LevelValues = !g.LevelValues;
    view_.Write(GloVar.LevelValues);
    // The figure still being worked on is shown again with or without its labels.
    figures_.currentLabelBoxes.clear();
    figures_.currentUnlabelled.clear();
    if (!g.ChartShown || figures_.currentDrawn.empty() || chart.isNull()) {
        ShowLevelsOffChart();
        return;
    }
    if (g.ChartDrawn && !baseImage.isNull())
        chart.restore(baseImage);
    for (const Figure& f : figures_.currentDrawn)
        StrokeFigure(chart, f);
    if (const FigureKind* kind = figures_.current ? FigureKindOf(figures_.current->type) : nullptr;
        g.LevelValues && kind)
        DrawLevelLabels(figures_.currentElements, kind->labelledByMark);
    const AnchorPixels px = AnchorPixelsNow();
    DrawP1Marker(px.P1X, g.PlotBottom - px.P1Y);
    DrawP2Marker(px.P2X, g.PlotBottom - px.P2Y);
    if (px.P3X > 0 && px.P3Y > 0)
        DrawP3Marker(px.P3X, px.P3Y);
    DrawChartFooter(chart, CurrentChartMap(GloVar));
    ShowLevelsOffChart();
}

QString ChartSession::ViewSettingsPath() const
{
    return GloVar.WorkDir + QLatin1String(ViewFileName);
}

void ChartSession::RememberViewSettings()
{
    const Publishing publishing(*this);
    view_.Remember(ViewSettingsPath(), GloVar.LevelValues);
}

QString ChartSession::FigureValuesCsv() const
{
    const auto& g = GloVar;
    const ChartMap map = CurrentChartMap(GloVar);
    const int decimals = std::clamp(g.PriceDecimals + 2, 0, 12);
    const Study study = CurrentStudy(QString());
    QString out =
        QStringLiteral("figure,type,element,price,date,end_price,end_date,p1_date,p1_price,"
                       "p2_date,p2_price,p3_date,p3_price\n");
    // A value past what a double holds (a ratio of 1e308) is no number to give.
    auto price = [&](std::optional<double> v) {
        return v && std::isfinite(*v) ? QString::number(*v, 'f', decimals) : QString();
    };
    auto date = [&](std::optional<double> v) { return v ? IsoText(*v) : QString(); };
    // The file's days before the chart, once read: a figure reaching back
    // past the chart's first day is dated by them whatever the range.
    std::span<const std::optional<double>> earlier;
    if (scan_.recordDates && g.FirstRecord > 1 && g.FirstRecord - 1 <= scan_.recordDates->count())
        earlier = std::span<const std::optional<double>>(scan_.recordDates->days)
                      .first(size_t(g.FirstRecord - 1));
    const FrameView view = FrameViewNow();
    std::vector<const std::vector<FigureElement>*> all;
    for (const auto& kept : figures_.keptElements)
        all.push_back(&kept);
    if (figures_.current)
        all.push_back(&figures_.currentElements);
    for (size_t i = 0; i < all.size() && i < study.figures.size(); ++i) {
        const StudyFigure& f = study.figures[i];
        // The third point of the figures that use it, P2's when it was not moved.
        const FigureKind* kind = FigureKindOf(f.type);
        const bool hasP3 = f.p3 || (kind && kind->usesP3);
        const StudyPoint p3 = f.p3 ? *f.p3 : f.p2;
        const QString anchors = QStringList{IsoText(f.p1.date),
                                            price(f.p1.price),
                                            IsoText(f.p2.date),
                                            price(f.p2.price),
                                            hasP3 ? IsoText(p3.date) : QString(),
                                            hasP3 ? price(p3.price) : QString()}
                                    .join(QLatin1Char(','));
        for (const FigureElement& e : *all[i]) {
            ElementValues v = ValuesOf(e, map, g.Prices, earlier);
            // On weekly or monthly bars a figure of the kept scale is dated in
            // its daily slots, as the daily chart dates it; another's line
            // from anchor to anchor by the anchors' days.
            for (auto [slot, day] : {std::pair{e.slot, &v.date}, std::pair{e.endSlot, &v.endDate}})
                if (slot && kind)
                    if (const auto d = kind->scaled ? FigureFrames::DayOfFigureSlot(f, *slot, view)
                                       : e.shape == ElementShape::Slanted
                                           ? FigureFrames::AnchorDayOfSlot(f, *slot, view)
                                           : std::nullopt)
                        *day = d;
            out += QStringList{QString::number(i + 1),
                               Csv(kind ? QString::fromLatin1(kind->caption) : QString()),
                               Csv(e.name),
                               price(v.price),
                               date(v.date),
                               price(v.endPrice),
                               date(v.endDate),
                               anchors}
                       .join(QLatin1Char(','));
            out += QLatin1Char('\n');
        }
    }
    return out;
}

Result<void> ChartSession::CheckNotPriceFile(const QString& path, Error::Doing doing) const
{
    if (!SameFile(path, GloVar.DataFileName))
        return {};
    return Error{doing, path, 0, QStringLiteral("It is the open price file; choose another name.")};
}

Result<void> ChartSession::ExportFigureValues(const QString& path)
{
    const Publishing publishing(*this);
    if (Result<void> mine = CheckNotPriceFile(path, Error::Doing::Creating); !mine)
        return mine;
    if (GloVar.RecordCount > 0)
        RecordDatesOfFile();
    return WriteWholeBytes(path, FigureValuesCsv().toUtf8());
}

void ChartSession::ExportFigureValuesClick()
{
    const Publishing publishing(*this);
    if (auto path = prompts_.saveFileName(QStringLiteral("CSV files|*.csv|All files|*"),
                                          QStringLiteral("csv"), GloVar.StartDir)) {
        QString name = *path;
        if (QFileInfo(name).suffix().isEmpty())
            name += QStringLiteral(".csv");
        if (const Result<void> w = ExportFigureValues(name); !w)
            prompts_.show(w.error());
    }
}
