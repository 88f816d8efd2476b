// Studies: the figures on the chart kept in dates and prices, saved as a
// file, and replayed on the same or on another price file.
#include <QFileInfo>
#include <QScopeGuard>
#include <algorithm>
#include <cmath>
#include <utility>

#include "app/session/ChartSession.h"
#include "app/session/GloVar.h"
#include "app/session/Prompts.h"
#include "app/session/SharedInputs.h"
#include "chart/ChartMap.h"
#include "data/Dates.h"
#include "data/LayoutDetect.h"
#include "data/PriceReader.h"
#include "tools/ChartPoints.h"
#include "tools/FigureGeometry.h"
#include "tools/FigureTable.h"

namespace {
const QString StudyFilter = QStringLiteral("Aurigon studies|*.aurigon|All files|*");
} // namespace

void ChartSession::ForgetFigures()
{
    figures_.Forget();
    ShowLevelsOffChart();
}

void ChartSession::RecordFigure(bool dragged)
{
    const auto& g = GloVar;
    const FigureKind* kind = FigureKindOf(g.ChartType);
    if (!kind || !g.ChartShown)
        return;
    const ChartMap map = CurrentChartMap(GloVar);
    StudyFigure f;
    f.type = g.ChartType;
    f.dir = g.Dir;
    f.ratio = g.Ratio;
    f.fanAngles[0] = g.FanAngle1;
    f.fanAngles[1] = g.FanAngle2;
    f.fanAngles[2] = g.FanAngle3;
    const AnchorPixels px = AnchorPixelsNow();
    f.p1 = AnchorPoint(map, g.Prices, px.P1X, map.heightToY(px.P1Y), g.P1Anchor.date,
                       g.P1Anchor.price, timeframe_);
    f.p2 = AnchorPoint(map, g.Prices, px.P2X, map.heightToY(px.P2Y), g.P2Anchor.date,
                       g.P2Anchor.price, timeframe_);
    if (px.P3X > 0 && px.P3Y > 0 && !(px.P3X == px.P2X && px.P3Y == map.heightToY(px.P2Y)))
        f.p3 = PointAt(map, g.Prices, px.P3X, px.P3Y);
    // Points the figure had still at these pixels are kept as they were, so
    // that a Draw again after a resize moves none by a fraction of a slot.
    if (figures_.current) {
        auto keep = [&](StudyPoint& p, const StudyPoint& was, QPoint at) {
            if (p.date == was.date && PixelOf(map, g.Prices, was) == at)
                p = was;
        };
        keep(f.p1, figures_.current->p1, QPoint(px.P1X, map.heightToY(px.P1Y)));
        keep(f.p2, figures_.current->p2, QPoint(px.P2X, map.heightToY(px.P2Y)));
        if (f.p3 && figures_.current->p3)
            keep(*f.p3, *figures_.current->p3, QPoint(px.P3X, px.P3Y));
    }
    if (kind->scaled)
        f.scale = frames_.drawnScale();
    if (kind->live) {
        const double fresh = frames_.drawnEllipseBase().value_or(
            EllipseBaseRadius(CurrentFigureInput(GloVar, timeframe_)));
        f.ellipseScale = fresh > 0 && !dragged ? g.EllipseRadius / fresh : 1.0;
        f.ellipseDragged = dragged;
    }
    figures_.current = f;
}

Study ChartSession::CurrentStudy(const QString& path) const
{
    const auto& g = GloVar;
    Study s;
    s.priceFile = StoredPricePath(g.DataFileName, path);
    s.layout = CurrentLayout(GloVar);
    s.endsAtLastRecord = g.LastRecord >= g.RecordCount;
    s.lastCount = g.LastRecord - g.FirstRecord + 1;
    s.firstDate = g.LoadedCount > 0 ? g.Prices[1].Date : 0;
    s.lastDate = g.LoadedCount > 0 ? g.Prices[size_t(g.LoadedCount)].Date : 0;
    s.blankDaysRight = g.BlankDaysRight;
    s.holidaySpace = g.LeaveHolidaySpace;
    s.wholeScale = g.WholeScale;
    s.periodLength = g.PeriodLength;
    s.barStyle = barLook_.style;
    s.logScale = GloVar.LogScale;
    s.timeframe = timeframe_;
    s.figures = figures_.kept;
    if (figures_.current)
        s.figures.push_back(*figures_.current);
    return s;
}

Result<void> ChartSession::SaveStudy(const QString& path)
{
    const Publishing publishing(*this);
    if (!GloVar.ChartShown)
        return Error{Error::Doing::SavingStudy, path, 0,
                     QStringLiteral("There is no chart to keep: plot one first.")};
    if (Result<void> mine = CheckNotPriceFile(path, Error::Doing::SavingStudy); !mine)
        return mine;
    if (Result<void> w = SaveStudyFile(CurrentStudy(path), path); !w)
        return w;
    studyPath_ = path;
    figures_.saved = figures_.All();
    return {};
}

Result<void> ChartSession::ReplayFigure(const StudyFigure& f)
{
    auto& g = GloVar;
    // The chart is fitted to the figures once all are back, not one by one.
    ++view_.holdFit;
    const auto release = qScopeGuard([this] { --view_.holdFit; });
    if (f.hidden) {
        // Kept in its place, nothing drawn: no elements, no levels.
        if (f.kept) {
            figures_.kept.push_back(f);
            figures_.keptElements.emplace_back();
        } else {
            figures_.current = f;
            figures_.currentElements.clear();
            figures_.currentDrawn.clear();
        }
        return {};
    }
    const FigureKind* kind = FigureKindOf(f.type);
    // Each point stands where its day is charted.
    auto charted = [&](const StudyPoint& p) {
        return AnchorPixel(CurrentChartMap(g), g.Prices, AnchorOf(p), timeframe_).has_value();
    };
    const bool p1 = charted(f.p1), p2 = charted(f.p2), p3 = !f.p3 || charted(*f.p3);
    if (!kind || !p1 || !p2 || !p3) {
        const StudyPoint& gone = !p1 ? f.p1 : !p2 ? f.p2 : *f.p3;
        return Error{Error::Doing::OpeningStudy, QString(), 0,
                     QStringLiteral("%1: %2 is not on the chart")
                         .arg(kind ? QString::fromLatin1(kind->caption) : QString::number(f.type),
                              ShortDate(gone.date))};
    }
    // Built in the scale it keeps while its Draws last.
    const FigureFrames::Replaying replaying(frames_, f);
    // The figure's own choices and points become the session's, and the
    // figure is built from them (their pixels worked out on this chart)
    // and drawn, as Draw draws it.
    TakeFigureChoice(*kind, f);
    PlaceFigureAnchors(f);
    DrawFigureOnChart(*kind, g.ellipse);
    if (kind->live && f.ellipseDragged) {
        // The far end was dragged: the drag's last move, drawn afresh as
        // the drag drew it, so that the picture is the drag's to the pixel.
        const QPoint end =
            AnchorPixel(CurrentChartMap(g), g.Prices, g.P2Anchor, timeframe_).value_or(QPoint());
        MoveLiveFigure(end.x(), end.y(), std::nullopt);
    } else if (kind->live && std::fabs(f.ellipseScale - 1) > 1e-12) {
        // Grown or shrunk by repeated Draws: drawn again at the size it was kept at.
        const FigureInput in = CurrentFigureInput(g, timeframe_);
        DrawFigureOnChart(*kind, EllipseMemoryFor(in, f.ellipseScale * EllipseBaseRadius(in)));
    }
    // The figure as it was kept, its points read from no pixel.
    figures_.current = f;
    figures_.current->kept = false;
    if (f.kept)
        KeepCurrentFigure();
    return {};
}

Result<void> ChartSession::OpenStudy(const QString& path, const QString& prices,
                                     std::optional<BarStyle> style)
{
    const Publishing publishing(*this);
    auto& g = GloVar;
    Result<Study> loaded = LoadStudyFile(path);
    if (!loaded)
        return loaded.error();
    Study& s = *loaded;
    const QString priceFile =
        QFileInfo(prices.isEmpty() ? ResolvedPricePath(s.priceFile, path) : prices)
            .absoluteFilePath();
    // Nothing changes unless the price file reads.
    const FileLayout checkedWith = s.layout;
    const Result<FileScan> check = ScanPriceData(priceFile, checkedWith);
    if (!check)
        return Error{Error::Doing::OpeningStudyPrices, path, 0, check.error().message()};
    // The layout worked out as File does, for a file that no longer fits the study's;
    // one that stopped reading since is left to the scan to report.
    const Result<LayoutCheck> layout = CheckLayout(priceFile, s.layout);
    if (layout && layout->outcome == LayoutCheck::NoDate)
        return Error{Error::Doing::OpeningStudyPrices, path, 0,
                     QStringLiteral("No date reads in line %1 of %2.")
                         .arg(layout->firstData.number)
                         .arg(priceFile)};
    if (layout && layout->outcome == LayoutCheck::Refused)
        return Error{Error::Doing::OpeningStudyPrices, path, 0,
                     QStringLiteral("Under every reading tried, %1 (line %2 of %3).")
                         .arg(layout->refusal)
                         .arg(layout->firstData.number)
                         .arg(priceFile)};
    if (layout && layout->outcome == LayoutCheck::Detected)
        s.layout = layout->layout;
    if (chart.isNull())
        return Error{Error::Doing::Told, path, 0, QStringLiteral("There is no chart to draw on.")};
    // A study starts a history of its own; replaying it is no step.
    const QuietHistory quiet(*this);
    ClearHistory();
    if (g.ChartShown)
        PlotBtnClick();
    g.DataFileName = priceFile;
    ui.panels[PanelFile] = priceFile;
    ApplyLayout(GloVar, s.layout);
    const int period = static_cast<int>(PeriodItems.indexOf(QString::number(s.periodLength)));
    if (period >= 0)
        PeriodCBChange(period);
    ScanPriceFile(std::pair(checkedWith, *check));
    if (g.RecordCount < 2)
        return Error{Error::Doing::OpeningStudy, path, 0,
                     QStringLiteral("Its price file %1 holds no chart.").arg(priceFile)};
    if (s.endsAtLastRecord) {
        g.LastRecord = g.RecordCount;
        g.FirstRecord = std::max(1, g.RecordCount - s.lastCount + 1);
    } else {
        // The records between the two dates, found by reading the dates once.
        std::vector<PriceRecord> all;
        LoadRequest req;
        req.lastRecord = g.RecordCount;
        req.newestFirst = g.NewestFirst;
        req.recordCount = g.RecordCount;
        req.skipLines = scan_.skipLines;
        if (const Result<LoadedRange> r = LoadRange(priceFile, s.layout, req, all); !r)
            return Error{Error::Doing::OpeningStudy, path, 0, r.error().message()};
        int first = 0, last = 0;
        for (int k = 1; k < int(all.size()); ++k) {
            if (first == 0 && all[size_t(k)].Date >= s.firstDate)
                first = k;
            if (all[size_t(k)].Date <= s.lastDate)
                last = k;
        }
        if (first == 0 || last <= first)
            return Error{Error::Doing::OpeningStudy, path, 0,
                         QStringLiteral("Its dates %1 to %2 are not in %3.")
                             .arg(ShortDate(s.firstDate), ShortDate(s.lastDate), priceFile)};
        g.FirstRecord = first;
        g.LastRecord = last;
    }
    g.BlankDaysRight = s.blankDaysRight;
    LeaveSpaceClick(s.holidaySpace);
    g.WholeScale = s.wholeScale;
    barLook_.style = style.value_or(s.barStyle);
    // A range with prices at or below zero draws on a linear scale.
    g.LogScale = s.logScale;
    g.ManualScale = false;
    timeframe_ = s.timeframe;
    AfterDatesDialog();
    PlotBtnClick();
    if (!g.ChartShown)
        return Error{Error::Doing::Told, path, 0, QStringLiteral("The plot drew no chart.")};
    GiveStudyFiguresScales(s.figures);
    QStringList dropped;
    ++view_.holdFit;
    for (const StudyFigure& f : s.figures)
        if (const Result<void> r = ReplayFigure(f); !r)
            dropped << r.error().reason;
    --view_.holdFit;
    FitFiguresInView();
    if (!dropped.isEmpty())
        prompts_.message(
            QString::fromLatin1(ProgramName),
            QStringLiteral("%1 of the study's figures could not be drawn, as a date of "
                           "theirs is not on this chart:\n%2")
                .arg(dropped.size())
                .arg(dropped.join(QLatin1Char('\n'))));
    studyPath_ = path;
    figures_.saved = figures_.All();
    return {};
}

void ChartSession::StudyOpenClick()
{
    const Publishing publishing(*this);
    if (!MayDropFigures())
        return;
    const QString dir = studyFolder_.isEmpty() ? GloVar.StartDir : studyFolder_;
    if (auto path = prompts_.openFileName(StudyFilter, dir)) {
        studyFolder_ = QFileInfo(*path).absolutePath();
        if (const Result<void> opened = OpenStudy(*path); !opened)
            prompts_.show(opened.error());
    }
}

void ChartSession::StudySaveClick()
{
    const Publishing publishing(*this);
    if (studyPath_.isEmpty())
        StudySaveAsClick();
    else if (const Result<void> saved = SaveStudy(studyPath_); !saved)
        prompts_.show(saved.error());
}

void ChartSession::StudySaveAsClick()
{
    const Publishing publishing(*this);
    const QString dir = studyFolder_.isEmpty() ? GloVar.StartDir : studyFolder_;
    if (auto path = prompts_.saveFileName(StudyFilter, QStringLiteral("aurigon"), dir)) {
        QString name = *path;
        if (QFileInfo(name).suffix().isEmpty())
            name += QStringLiteral(".aurigon");
        studyFolder_ = QFileInfo(name).absolutePath();
        if (const Result<void> saved = SaveStudy(name); !saved)
            prompts_.show(saved.error());
    }
}
