// Edit > Undo and Redo. A step keeps the figures, anchors and range as they
// were before it; undoing re-plots that range and replays the figures from
// their dates and prices, so a step survives a resize or a colour change. On
// the same chart the pixels the markers leave are put back as they were.
#include "app/session/ChartSession.h"
#include "app/session/GloVar.h"
#include "app/session/SharedInputs.h"
#include "chart/ChartMap.h"
#include "tools/ChartPoints.h"

namespace {
bool SameMap(const ChartMap& a, const ChartMap& b)
{
    return a.plotLeft == b.plotLeft && a.plotTop == b.plotTop && a.plotRight == b.plotRight &&
           a.plotBottom == b.plotBottom && a.plotWidth == b.plotWidth &&
           a.plotHeight == b.plotHeight && a.slotCount == b.slotCount &&
           a.totalSlots == b.totalSlots && a.scaleBottom == b.scaleBottom &&
           a.scaleRange == b.scaleRange && a.logScale == b.logScale && a.axisBottom == b.axisBottom;
}
} // namespace

ChartSession::StepScope::StepScope(ChartSession& s, const QString& name)
    : s_(s), outer_(s.history_.enter()), name_(name)
{
    if (outer_)
        before_ = s_.TakeSnapshot();
}

ChartSession::StepScope::~StepScope()
{
    s_.history_.leave();
    if (outer_)
        s_.KeepStep(name_, std::move(before_));
}

SessionHistory::Snapshot ChartSession::TakeSnapshot() const
{
    const auto& g = GloVar;
    Snapshot s;
    s.values.chartShown = g.ChartShown;
    s.values.periodIndex = periodIndex;
    s.values.range = static_cast<const RangeValues&>(g);
    s.values.anchors = static_cast<const AnchorValues&>(g);
    s.values.figure = static_cast<const FigureChoice&>(g);
    s.values.ellipse = g.ellipse;
    s.values.kept = figures_.kept;
    s.values.current = figures_.current;
    s.values.p1Shown = tool.p1Marker().shown;
    s.values.p2Shown = tool.p2Marker().shown;
    s.values.p3Shown = tool.p3Marker().shown;
    s.fileHigh = g.FileHigh;
    s.fileLow = g.FileLow;
    s.map = g.map;
    s.pixels = AnchorPixelsNow();
    if (g.ChartShown) {
        const AnchorPixels& a = s.pixels;
        s.p1 = AnchorPoint(s.map, g.Prices, a.P1X, g.PlotBottom - a.P1Y, g.P1Anchor.date,
                           g.P1Anchor.price, timeframe_);
        s.p2 = AnchorPoint(s.map, g.Prices, a.P2X, g.PlotBottom - a.P2Y, g.P2Anchor.date,
                           g.P2Anchor.price, timeframe_);
        s.p3 = PointAt(s.map, g.Prices, a.P3X, a.P3Y);
    }
    s.p1Armed = tool.armed() == AnchorTool::Armed::P1;
    s.p2Armed = tool.armed() == AnchorTool::Armed::P2;
    s.plottedTypeName = plottedTypeName_;
    s.dragMemory = drags_.ellipseMemory;
    s.ui = ui;
    s.monochrome = g.Monochrome;
    s.markers = tool.layer();
    s.baseResidue = residue_.Pixels(chart, baseImage);
    s.selected = SelectedFigure();
    s.room = view_.room;
    s.values.timeframe = timeframe_;
    s.values.logScale = g.LogScale;
    return s;
}

void ChartSession::KeepStep(const QString& name, Snapshot before)
{
    if (history_.hushed() || before.values == TakeSnapshot().values)
        return;
    history_.keep(name, std::move(before));
}

void ChartSession::ClearHistory()
{
    const Publishing publishing(*this);
    history_.clear();
    drags_.ellipseBefore.reset();
}

void ChartSession::UndoClick()
{
    const Publishing publishing(*this);
    if (!history_.canUndo() || tool.dragging())
        return;
    const SessionHistory::Step step = history_.undo(TakeSnapshot());
    RestoreSnapshot(step.state);
    // A view option changed since the step: the plot follows it now.
    FitFiguresInView();
}

void ChartSession::RedoClick()
{
    const Publishing publishing(*this);
    if (!history_.canRedo() || tool.dragging())
        return;
    const SessionHistory::Step step = history_.redo(TakeSnapshot());
    RestoreSnapshot(step.state);
    // A view option changed since the step: the plot follows it now.
    FitFiguresInView();
}

void ChartSession::RestoreSnapshot(const Snapshot& s)
{
    auto& g = GloVar;
    const QuietHistory quiet(*this);
    static_cast<RangeValues&>(g) = s.values.range;
    PeriodCBChange(s.values.periodIndex);
    LeaveSpaceClick(s.values.range.LeaveHolidaySpace);
    g.FileHigh = s.fileHigh;
    g.FileLow = s.fileLow;
    timeframe_ = s.values.timeframe;
    g.LogScale = s.values.logScale;
    drags_.ellipseMoved = false;
    if (!s.values.chartShown) {
        if (g.ChartShown) {
            ui.clearReadout();
            ForgetFigures();
            EnterSetupMode();
            CommonPlotEnding();
        }
    } else if (!chart.isNull()) {
        g.ChartShown = false;
        g.ChartTypeName = s.plottedTypeName;
        // The plot as it was: the same pixels for the same figures.
        view_.room = s.room;
        PlotOrReset();
        if (!g.ChartShown) {
            // The file no longer gives the range: back to setup mode.
            g.ChartShown = true;
            EnterSetupMode();
            CommonPlotEnding();
            return;
        }
        const ChartMap map = g.map;
        const bool same = SameMap(map, s.map) && s.monochrome == g.Monochrome;
        // A figure whose date is gone stays out of the picture, as before the step.
        for (const StudyFigure& f : s.values.kept)
            static_cast<void>(ReplayFigure(f));
        if (same && !s.baseResidue.empty()) {
            for (const Canvas::Patch& p : s.baseResidue)
                chart.putPatch(p);
            PutBase(chart.image());
            for (const Canvas::Patch& p : s.baseResidue)
                residue_.Put(p);
        }
        if (s.values.current)
            static_cast<void>(ReplayFigure(*s.values.current));
        // A dragged ellipse on the same chart: its last move again, grown
        // from the memory that move grew from.
        if (same && s.values.current && s.values.current->ellipseDragged && s.dragMemory)
            if (const auto end = PixelOf(map, g.Prices, s.values.current->p2, timeframe_))
                MoveLiveFigure(end->x(), end->y(), s.dragMemory);
        figures_.kept = s.values.kept;
        figures_.current = s.values.current;
        drags_.ellipseMemory = s.dragMemory;
        // The anchors where they stood: the very pixels on the same chart,
        // else their dates and prices on this one.
        if (same) {
            // The markers as the clicks and drags left them, with the pixels
            // they saved and put back on the way.
            tool.putLayer(s.markers);
            static_cast<AnchorValues&>(g) = s.values.anchors;
            g.ellipse = s.values.ellipse;
        } else {
            auto place = [&](int x, int y, const StudyPoint& at) {
                const auto p = PixelOf(map, g.Prices, at, timeframe_);
                return p ? *p : QPoint(x, y);
            };
            const AnchorPixels& a = s.pixels;
            const QPoint p1 = place(a.P1X, s.map.plotBottom - a.P1Y, s.p1);
            const QPoint p2 = place(a.P2X, s.map.plotBottom - a.P2Y, s.p2);
            const QPoint p3 = place(a.P3X, a.P3Y, s.p3);
            if (s.values.p1Shown)
                DrawP1Marker(p1.x(), p1.y());
            if (s.values.p2Shown)
                DrawP2Marker(p2.x(), p2.y());
            if (s.values.p3Shown)
                DrawP3Marker(p3.x(), p3.y());
            // Each anchor on this chart, by its day and price where that
            // is charted, else at the pixel it had; an anchor never chosen
            // stays unchosen.
            auto put = [&](bool shown, QPoint p, const StudyPoint& at,
                           std::optional<double> chosen) {
                KeptAnchor k = AnchorOf(at);
                k.date = chosen ? std::optional<double>(at.date) : std::nullopt;
                if (!shown) {
                    k.placed = false;
                    return k;
                }
                if (AnchorPixel(map, g.Prices, k, timeframe_) == p)
                    return k;
                return AnchorMovedTo(map, g.Prices, k, p.x(), p.y(), timeframe_);
            };
            const AnchorValues& was = s.values.anchors;
            g.P1Anchor = put(a.P1X > 0, p1, s.p1, was.P1Anchor.date);
            g.P2Anchor = put(a.P2X > 0, p2, s.p2, was.P2Anchor.date);
            g.P3Anchor = put(a.P3X > 0, p3, s.p3, s.p3.date);
        }
    }
    tool.release();
    if (s.p1Armed)
        tool.armP1();
    else if (s.p2Armed)
        tool.armP2();
    else
        tool.disarm();
    KeepToolState();
    static_cast<FigureChoice&>(g) = s.values.figure;
    // The controls as they were; the readout speaks of the pointer, which
    // is over another chart now.
    ui = s.ui;
    ui.clearReadout();
    figures_.selected = s.selected;
}
