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
    : s_(s), outer_(s.stepDepth_++ == 0 && s.quiet_ == 0), name_(name)
{
    if (outer_)
        before_ = s_.TakeSnapshot();
}

ChartSession::StepScope::~StepScope()
{
    --s_.stepDepth_;
    if (outer_)
        s_.KeepStep(name_, std::move(before_));
}

ChartSession::Snapshot ChartSession::TakeSnapshot() const
{
    const auto& g = GloVar;
    Snapshot s;
    s.chartShown = g.ChartShown;
    s.firstRecord = g.FirstRecord;
    s.lastRecord = g.LastRecord;
    s.blankDaysRight = g.BlankDaysRight;
    s.periodIndex = periodIndex;
    s.holidaySpace = g.LeaveHolidaySpace;
    s.wholeScale = g.WholeScale;
    s.fileHigh = g.FileHigh;
    s.fileLow = g.FileLow;
    s.kept = keptFigures_;
    s.current = currentFigure_;
    s.map = CurrentChartMap(GloVar);
    s.p1x = g.P1X;
    s.p1h = g.P1Y;
    s.p2x = g.P2X;
    s.p2h = g.P2Y;
    s.p3x = g.P3X;
    s.p3y = g.P3Y;
    s.p1Date = g.P1Date;
    s.p1Price = g.P1Price;
    s.p2Date = g.P2Date;
    s.p2Price = g.P2Price;
    if (g.ChartShown) {
        s.p1 = AnchorPoint(s.map, g.Prices, g.P1X, g.PlotBottom - g.P1Y, g.P1Date, g.P1Price,
                           timeframe_);
        s.p2 = AnchorPoint(s.map, g.Prices, g.P2X, g.PlotBottom - g.P2Y, g.P2Date, g.P2Price,
                           timeframe_);
        s.p3 = PointAt(s.map, g.Prices, g.P3X, g.P3Y);
    }
    s.p1Shown = tool.p1Marker().shown;
    s.p2Shown = tool.p2Marker().shown;
    s.p3Shown = tool.p3Marker().shown;
    s.p1Armed = tool.armed() == AnchorTool::Armed::P1;
    s.p2Armed = tool.armed() == AnchorTool::Armed::P2;
    s.dir = g.Dir;
    s.chartType = g.ChartType;
    s.ratioLineMode = g.RatioLineMode;
    s.ratio = g.Ratio;
    s.chartTypeName = g.ChartTypeName;
    s.plottedTypeName = plottedTypeName_;
    s.dragMemory = dragMemory_;
    s.memory = CurrentEllipseMemory(GloVar);
    s.ellipseEndX = g.EllipseEndX;
    s.ellipseEndH = g.EllipseEndY;
    s.ellipseLive = g.EllipseLive;
    s.ui = ui;
    s.monochrome = g.Monochrome;
    s.markers = tool.layer();
    s.baseResidue = BaseResiduePixels();
    s.selected = SelectedFigure();
    s.room = figureRoom_;
    s.manualScale = g.ManualScale;
    s.manualTop = g.ManualTop;
    s.manualBottom = g.ManualBottom;
    return s;
}

bool ChartSession::SameState(const Snapshot& a, const Snapshot& b)
{
    // The controls and the map follow from the rest.
    return a.chartShown == b.chartShown && a.firstRecord == b.firstRecord &&
           a.lastRecord == b.lastRecord && a.blankDaysRight == b.blankDaysRight &&
           a.periodIndex == b.periodIndex && a.holidaySpace == b.holidaySpace &&
           a.wholeScale == b.wholeScale && a.kept == b.kept && a.current == b.current &&
           a.p1x == b.p1x && a.p1h == b.p1h && a.p2x == b.p2x && a.p2h == b.p2h && a.p3x == b.p3x &&
           a.p3y == b.p3y && a.p1Date == b.p1Date && a.p1Price == b.p1Price &&
           a.p2Date == b.p2Date && a.p2Price == b.p2Price && a.p1Shown == b.p1Shown &&
           a.p2Shown == b.p2Shown && a.p3Shown == b.p3Shown && a.dir == b.dir &&
           a.chartType == b.chartType && a.ratio == b.ratio && a.memory == b.memory &&
           a.ellipseEndX == b.ellipseEndX && a.ellipseEndH == b.ellipseEndH &&
           a.ellipseLive == b.ellipseLive && a.manualScale == b.manualScale &&
           a.manualTop == b.manualTop && a.manualBottom == b.manualBottom;
}

void ChartSession::KeepStep(const QString& name, Snapshot before)
{
    if (quiet_ > 0 || SameState(before, TakeSnapshot()))
        return;
    undo_.push_back(HistoryStep{name, std::move(before)});
    while (undo_.size() > size_t(HistoryLimit))
        undo_.pop_front();
    redo_.clear();
    resetPending_ = false;
    ++stepsKept_;
}

void ChartSession::ClearHistory()
{
    const Publishing publishing(*this);
    undo_.clear();
    redo_.clear();
    resetPending_ = false;
    dragBefore_.reset();
}

QString ChartSession::UndoCaption() const
{
    return undo_.empty() ? QStringLiteral("Undo") : QStringLiteral("Undo ") + undo_.back().name;
}

QString ChartSession::RedoCaption() const
{
    return redo_.empty() ? QStringLiteral("Redo") : QStringLiteral("Redo ") + redo_.back().name;
}

void ChartSession::UndoClick()
{
    const Publishing publishing(*this);
    if (undo_.empty() || tool.dragging())
        return;
    HistoryStep step = std::move(undo_.back());
    undo_.pop_back();
    redo_.push_back(HistoryStep{step.name, TakeSnapshot()});
    resetPending_ = false;
    RestoreSnapshot(step.state);
    // A view option changed since the step: the plot follows it now.
    FitFiguresInView();
}

void ChartSession::RedoClick()
{
    const Publishing publishing(*this);
    if (redo_.empty() || tool.dragging())
        return;
    HistoryStep step = std::move(redo_.back());
    redo_.pop_back();
    undo_.push_back(HistoryStep{step.name, TakeSnapshot()});
    resetPending_ = false;
    RestoreSnapshot(step.state);
    // A view option changed since the step: the plot follows it now.
    FitFiguresInView();
}

void ChartSession::RestoreSnapshot(const Snapshot& s)
{
    auto& g = GloVar;
    const QuietHistory quiet(*this);
    g.FirstRecord = s.firstRecord;
    g.LastRecord = s.lastRecord;
    g.BlankDaysRight = s.blankDaysRight;
    PeriodCBChange(s.periodIndex);
    LeaveSpaceClick(s.holidaySpace);
    g.WholeScale = s.wholeScale;
    g.FileHigh = s.fileHigh;
    g.FileLow = s.fileLow;
    g.ManualScale = s.manualScale;
    g.ManualTop = s.manualTop;
    g.ManualBottom = s.manualBottom;
    dragMoved_ = false;
    if (!s.chartShown) {
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
        figureRoom_ = s.room;
        PlotOrReset();
        if (!g.ChartShown) {
            // The file no longer gives the range: back to setup mode.
            g.ChartShown = true;
            EnterSetupMode();
            CommonPlotEnding();
            return;
        }
        const ChartMap map = CurrentChartMap(GloVar);
        const bool same = SameMap(map, s.map) && s.monochrome == g.Monochrome;
        for (const StudyFigure& f : s.kept) {
            QString why;
            ReplayFigure(f, why);
        }
        if (same && !s.baseResidue.empty()) {
            for (const Canvas::Patch& p : s.baseResidue)
                chart.putPatch(p);
            PutBase(chart.image());
            for (const Canvas::Patch& p : s.baseResidue) {
                const size_t before = baseResidue_.size();
                NoteBaseResidue(p.rect);
                if (baseResidue_.size() > before)
                    baseResiduePixels_.push_back(p);
            }
        }
        if (s.current) {
            QString why;
            ReplayFigure(*s.current, why);
        }
        // A dragged ellipse on the same chart: its last move again, grown
        // from the memory that move grew from.
        if (same && s.current && s.current->ellipseDragged && s.dragMemory)
            if (const auto end = PixelOf(map, g.Prices, s.current->p2, timeframe_))
                MoveLiveFigure(end->x(), end->y(), s.dragMemory);
        keptFigures_ = s.kept;
        currentFigure_ = s.current;
        dragMemory_ = s.dragMemory;
        // The anchors where they stood: the very pixels on the same chart,
        // else their dates and prices on this one.
        if (same) {
            // The markers as the clicks and drags left them, with the pixels
            // they saved and put back on the way.
            tool.putLayer(s.markers);
            g.P1X = Sat16(s.p1x);
            g.P1Y = Sat16(s.p1h);
            g.P2X = Sat16(s.p2x);
            g.P2Y = Sat16(s.p2h);
            g.P3X = Sat16(s.p3x);
            g.P3Y = Sat16(s.p3y);
            g.P1Date = s.p1Date;
            g.P1Price = s.p1Price;
            g.P2Date = s.p2Date;
            g.P2Price = s.p2Price;
            KeepEllipseMemory(GloVar, s.memory);
            g.EllipseEndX = Sat16(s.ellipseEndX);
            g.EllipseEndY = Sat16(s.ellipseEndH);
        } else {
            auto place = [&](int x, int y, const StudyPoint& at) {
                const auto p = PixelOf(map, g.Prices, at, timeframe_);
                return p ? *p : QPoint(x, y);
            };
            const QPoint p1 = place(s.p1x, s.map.plotBottom - s.p1h, s.p1);
            const QPoint p2 = place(s.p2x, s.map.plotBottom - s.p2h, s.p2);
            const QPoint p3 = place(s.p3x, s.p3y, s.p3);
            if (s.p1Shown)
                DrawP1Marker(p1.x(), p1.y());
            if (s.p2Shown)
                DrawP2Marker(p2.x(), p2.y());
            if (s.p3Shown)
                DrawP3Marker(p3.x(), p3.y());
            auto set = [&](int16_t& x, int16_t& h, bool shown, QPoint p) {
                x = Sat16(shown ? p.x() : -1);
                h = Sat16(shown ? (long long)g.PlotBottom - p.y() : -1);
            };
            set(g.P1X, g.P1Y, s.p1x > 0, p1);
            set(g.P2X, g.P2Y, s.p2x > 0, p2);
            g.P3X = Sat16(s.p3x > 0 ? p3.x() : -1);
            g.P3Y = Sat16(s.p3x > 0 ? p3.y() : -1);
            // An anchor never chosen stays unchosen.
            g.P1Date = s.p1Date ? std::optional<double>(s.p1.date) : std::nullopt;
            g.P1Price = s.p1.price;
            g.P2Date = s.p2Date ? std::optional<double>(s.p2.date) : std::nullopt;
            g.P2Price = s.p2.price;
        }
        g.EllipseLive = s.ellipseLive;
        g.RatioLineMode = s.ratioLineMode;
    }
    tool.release();
    if (s.p1Armed)
        tool.armP1();
    else if (s.p2Armed)
        tool.armP2();
    else
        tool.disarm();
    KeepToolState();
    g.Dir = s.dir;
    g.Ratio = s.ratio;
    g.ChartType = static_cast<int16_t>(s.chartType);
    g.ChartTypeName = s.chartTypeName;
    // The controls as they were; the readout speaks of the pointer, which
    // is over another chart now.
    ui = s.ui;
    ui.clearReadout();
    selected_ = s.selected;
}
