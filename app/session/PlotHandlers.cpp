// The chart's handlers: plot and reset, the record range, navigation, the
// readout and output.
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

#include "app/session/ChartSession.h"
#include "app/session/GloVar.h"
#include "app/session/Prompts.h"
#include "app/session/SharedInputs.h"
#include "chart/BarChart.h"
#include "chart/ChartMap.h"
#include "chart/Navigation.h"
#include "chart/Output.h"
#include "chart/Readout.h"
#include "data/FileNames.h"
#include "data/Numbers.h"
#include "data/PriceReader.h"

void ChartSession::PlotBtnClick()
{
    const Publishing publishing(*this);
    auto& g = GloVar;
    if (!history_.recording()) {
        PlotOrReset();
        return;
    }
    if (g.ChartShown) {
        // Reset is a step of its own until the next Plot joins it: a new
        // range from the Dates dialog is then undone in one step.
        const long long kept = history_.stepsKept();
        {
            const StepScope step(*this, QStringLiteral("Reset"));
            PlotOrReset();
        }
        history_.setResetPending(history_.stepsKept() != kept && !g.ChartShown);
        return;
    }
    const bool joins = history_.takePendingReset();
    PlotOrReset();
    if (joins && g.ChartShown) {
        SessionHistory::Step& top = history_.newest();
        // What the Dates dialog sets; the scale stretched by hand went with the reset.
        const RangeValues& was = top.state.values.range;
        if (was.FirstRecord != g.FirstRecord || was.LastRecord != g.LastRecord ||
            was.BlankDaysRight != g.BlankDaysRight ||
            was.LeaveHolidaySpace != g.LeaveHolidaySpace || was.WholeScale != g.WholeScale)
            top.name = QStringLiteral("Dates");
        history_.dropRedo();
    }
}

void ChartSession::PlotOrReset()
{
    auto& g = GloVar;
    if (g.ChartShown && !MayDropFigures())
        return;
    // The readout speaks of a chart that is about to change; the figures go with it.
    ui.clearReadout();
    ForgetFigures();
    if (g.ChartShown) {
        view_.room = {};
        // A scale stretched by hand belongs to the chart that goes.
        g.ManualScale = false;
        EnterSetupMode();
        CommonPlotEnding();
        return;
    }
    if (chart.isNull())
        return;
    InitDefaults(GloVar);
    if (g.WholeScale && g.FileHigh < g.FileLow && !ScanWholeFileRange())
        return;
    {
        // The figures' room joins this plot only: the person's range and
        // blank days stay as they set them.
        const int blankDays = g.BlankDaysRight;
        g.BlankDaysRight += view_.room.days;
        const bool loaded = LoadChartRange();
        const double high = g.ChartHigh, low = g.ChartLow;
        if (loaded) {
            if (view_.room.high)
                g.ChartHigh = std::max(g.ChartHigh, *view_.room.high);
            if (view_.room.low)
                g.ChartLow = std::min(g.ChartLow, *view_.room.low);
            PlotPriceChart(GloVar, chart, barLook_);
            g.ChartHigh = high;
            g.ChartLow = low;
        }
        g.BlankDaysRight = blankDays;
        if (!loaded)
            return;
    }
    plottedTypeName_ = g.ChartTypeName;
    const QString tmp = g.WorkDir + QStringLiteral("TmpPrice.bmp");
    if (const Result<void> w = WriteImageFile(chart.image(), tmp, "BMP", true); !w) {
        prompts_.error(w.error().message());
        return;
    }
    ui.imageVisible = true;
    cleanChart = chart.image();
    PutBase(cleanChart);
    ui[Ctl::PlotBtn].image = 5;
    ui[Ctl::PlotBtn].caption = QStringLiteral("Reset");
    for (Ctl c : {Ctl::P1Btn, Ctl::SaveBtn, Ctl::PrintBtn, Ctl::ToolBar2, Ctl::PeriodCB})
        ui.enable(c);
    for (Ctl c : {Ctl::DrawBtn, Ctl::FileBtn, Ctl::DateBtn, Ctl::ClipButton})
        ui.enable(c, false);
    CommonPlotEnding();
}

void ChartSession::EnterSetupMode()
{
    ui.imageVisible = false;
    ui.enable(Ctl::ToolBar2, false);
    ui.enable(Ctl::PeriodCB, false);
    ui[Ctl::PlotBtn].image = 2;
    ui[Ctl::PlotBtn].caption = QStringLiteral("Plot");
    for (Ctl c : {Ctl::P1Btn, Ctl::P2Btn, Ctl::DrawBtn, Ctl::EraseBtn, Ctl::SaveBtn,
                  Ctl::ClipButton, Ctl::PrintBtn})
        ui.enable(c, false);
    ui.enable(Ctl::FileBtn);
    ui.enable(Ctl::DateBtn);
}

void ChartSession::CommonPlotEnding()
{
    auto& g = GloVar;
    tool.reset();
    g.ChartShown = !g.ChartShown;
    // The anchors leave the chart; their days and prices are kept for a
    // re-plot to find them again.
    g.P1Anchor.placed = g.P2Anchor.placed = g.P3Anchor.placed = false;
    g.EllipseLive = false;
    KeepToolState();
}

void ChartSession::DateBtnClick()
{
    const Publishing publishing(*this);
    if (!FileStillScanned())
        return;
    if (showDatesDialog) {
        const PersonAnswers answers(*this);
        showDatesDialog();
    }
    AfterDatesDialog();
}

void ChartSession::RefuseDates(const QString& why)
{
    const Publishing publishing(*this);
    prompts_.beep();
    prompts_.message(QString::fromLatin1(ProgramName), why + QStringLiteral("   Enter again."));
}

void ChartSession::ChartDatesClick()
{
    const Publishing publishing(*this);
    auto& g = GloVar;
    if (!g.ChartShown)
        return;
    const StepScope step(*this, QStringLiteral("Dates"));
    const int first = g.FirstRecord, last = g.LastRecord, blank = g.BlankDaysRight;
    const bool holiday = g.LeaveHolidaySpace, whole = g.WholeScale;
    if (showDatesDialog) {
        const PersonAnswers answers(*this);
        showDatesDialog();
    }
    AfterDatesDialog();
    // The dialog leaves the Reset button as it found it: the chart still shows.
    ui.enable(Ctl::PlotBtn);
    if (first != g.FirstRecord || last != g.LastRecord || blank != g.BlankDaysRight ||
        holiday != g.LeaveHolidaySpace || whole != g.WholeScale)
        RedrawRange();
}

DatesAnswer ChartSession::DatesAccept(const QString& first, const QString& last,
                                      const QString& blankDays)
{
    const Publishing publishing(*this);
    auto& g = GloVar;
    auto refuse = [&](DatesAnswer fix) {
        prompts_.beep();
        prompts_.message(QString::fromLatin1(ProgramName),
                         QStringLiteral("Wrong Record Number!   Enter again."));
        return fix;
    };
    const std::optional<long long> first64 = ParseIntIn(first, INT32_MIN, INT32_MAX),
                                   last64 = ParseIntIn(last, INT32_MIN, INT32_MAX),
                                   blank64 = ParseIntIn(blankDays, INT32_MIN, INT32_MAX);
    if (!first64 || !last64 || !blank64)
        return refuse(DatesAnswer::FixFirst);
    const long long f = *first64, l = *last64, n = std::clamp<long long>(*blank64, 0, 50);
    if ((f > 0 || l > 0) && !(f < l && l <= g.RecordCount))
        return refuse(DatesAnswer::FixLast);
    g.FirstRecord = static_cast<int32_t>(f);
    g.LastRecord = static_cast<int32_t>(l);
    g.BlankDaysRight = static_cast<int32_t>(n);
    ui.enable(Ctl::PlotBtn, f > 0 && f < l);
    ui.panels[PanelRange] = QStringLiteral("%1 - %2   (%3)").arg(f).arg(l).arg(n);
    return DatesAnswer::Taken;
}

void ChartSession::LeaveSpaceClick(bool ticked)
{
    const Publishing publishing(*this);
    GloVar.LeaveHolidaySpace = ticked;
    ui.panels[PanelHoliday] = ticked ? QStringLiteral("Holiday") : QString();
}

void ChartSession::WholeScaleClick(bool ticked)
{
    const Publishing publishing(*this);
    GloVar.WholeScale = ticked;
}

DatesShown ChartSession::DatesShownNow() const
{
    const auto& g = GloVar;
    DatesShown d;
    d.fileName = g.DataFileName;
    d.recordCount = g.RecordCount;
    d.firstFileDate = g.FirstFileDate;
    d.lastFileDate = g.LastFileDate;
    d.firstRecord = g.FirstRecord;
    d.lastRecord = g.LastRecord;
    d.blankDaysRight = g.BlankDaysRight;
    d.leaveHolidaySpace = g.LeaveHolidaySpace;
    d.wholeScale = g.WholeScale;
    return d;
}

void ChartSession::AfterDatesDialog()
{
    const Publishing publishing(*this);
    auto& g = GloVar;
    ui.toolbar2Green = g.WholeScale;
    if (!g.WholeScale) {
        g.FileHigh = 0;
        g.FileLow = LowStart;
    }
}

void ChartSession::RedrawRange()
{
    const Publishing publishing(*this);
    auto& g = GloVar;
    // The figures live in dates and prices: a new range, scale or size draws
    // them again rather than dropping them.
    const std::vector<StudyFigure> kept = figures_.kept;
    const std::optional<StudyFigure> current = figures_.current;
    const std::vector<StudyFigure> saved = figures_.saved;
    const int selected = figures_.selected;
    g.ChartShown = false;
    PlotBtnClick();
    if (g.ChartShown) {
        const KeptAnchor a1 = g.P1Anchor, a2 = g.P2Anchor;
        {
            ++view_.holdFit;
            ReplayFigures(kept, current);
            --view_.holdFit;
        }
        figures_.saved = saved;
        figures_.selected = selected;
        // The anchors as the range left them, not as the last figure's replay
        // did; the third point stays where the replays drew it.
        g.P1Anchor = a1;
        g.P2Anchor = a2;
    }
    if (!g.ChartShown) {
        // The re-plot failed: back to setup mode, so that another file or
        // range can be chosen rather than the failing plot retried.
        g.ChartShown = true;
        EnterSetupMode();
        CommonPlotEnding();
        return;
    }
    const RelocatedAnchors r = RelocateAnchors(
        CurrentChartMap(GloVar), g.Prices, Anchor{g.P1Anchor.date, g.P1Anchor.price},
        Anchor{g.P2Anchor.date, g.P2Anchor.price}, timeframe_);
    if (r.p1x > 0 && r.rowsFound && r.p1Row > 0) {
        DrawP1Marker(r.p1x, r.p1Row);
        DrawP2Marker(r.p2x, r.p2Row);
        ui.enable(Ctl::DrawBtn);
    }
    FitFiguresInView();
}

void ChartSession::Navigate(int step)
{
    static const char* const names[] = {"Beginning Period", "Lengthen Period", "Shorten Period",
                                        "Whole Period",     "Previous Period", "Next Period"};
    const StepScope scope(*this, step >= 0 && step < 6 ? QString::fromLatin1(names[step])
                                                       : QStringLiteral("Range"));
    auto& g = GloVar;
    const NavStep how = static_cast<NavStep>(step);
    // Under weekly or monthly bars the period counts bars.
    const RecordRange r =
        timeframe_ == Timeframe::Daily
            ? NavigateRange(how, {g.FirstRecord, g.LastRecord}, g.PeriodLength, g.RecordCount)
            : NavigateBars(how, {g.FirstRecord, g.LastRecord}, g.PeriodLength, FileBars());
    g.FirstRecord = static_cast<int32_t>(std::clamp<long long>(r.first, INT32_MIN, INT32_MAX));
    g.LastRecord = static_cast<int32_t>(std::clamp<long long>(r.last, INT32_MIN, INT32_MAX));
    RedrawRange();
}

void ChartSession::UpBtnClick()
{
    const Publishing publishing(*this);
    Navigate(int(NavStep::Beginning));
}

void ChartSession::DownBtnClick()
{
    const Publishing publishing(*this);
    Navigate(int(NavStep::Lengthen));
}

void ChartSession::LeftBtnClick()
{
    const Publishing publishing(*this);
    Navigate(int(NavStep::Shorten));
}

void ChartSession::RightBtnClick()
{
    const Publishing publishing(*this);
    Navigate(int(NavStep::Whole));
}

void ChartSession::ToolButton1Click()
{
    const Publishing publishing(*this);
    Navigate(int(NavStep::Previous));
}

void ChartSession::ToolButton2Click()
{
    const Publishing publishing(*this);
    Navigate(int(NavStep::Next));
}

void ChartSession::ToolBar2Click()
{
    const Publishing publishing(*this);
    const StepScope step(*this, QStringLiteral("One Scale Throughout"));
    auto& g = GloVar;
    g.WholeScale = !g.WholeScale;
    ui.toolbar2Green = g.WholeScale;
    if (!g.WholeScale) {
        g.FileHigh = 0;
        g.FileLow = LowStart;
    }
    RedrawRange();
}

void ChartSession::PeriodCBChange(int index)
{
    const Publishing publishing(*this);
    if (index < 0 || index >= PeriodItems.size())
        return;
    periodIndex = index;
    ui[Ctl::PeriodCB].caption = PeriodItems[index];
    GloVar.PeriodLength = PeriodItems[index].toInt();
}

void ChartSession::Image1MouseMove(int x, int y)
{
    const Publishing publishing(*this);
    auto& g = GloVar;
    if (g.EllipseLive && tool.dragging()) {
        ui.cursor = ChartCursor::SizeAll;
        tool.move(x, y);
        drags_.ellipseMemory = GloVar.ellipse;
        MoveLiveFigure(x, y, drags_.ellipseMemory);
        drags_.ellipseMoved = true;
    }
    ui.hint = tool.armed() == AnchorTool::Armed::P1   ? QStringLiteral("P1")
              : tool.armed() == AnchorTool::Armed::P2 ? QStringLiteral("P2")
                                                      : QString();
    const ChartMap map = CurrentChartMap(GloVar);
    if (const auto r = ReadoutAt(map, g.Prices, x, y)) {
        ui.panels[PanelDate] = r->date;
        ui.panels[PanelPrice] = r->price;
        ui.panels[PanelPosition] = r->position;
        const int slot = map.xToSlot(x);
        ui.panels[PanelBar] = slot >= 1 && size_t(slot) < g.Prices.size()
                                  ? BarText(g.Prices[size_t(slot)], g.PriceDecimals)
                                  : QString();
    } else {
        ui.clearReadout();
    }
}

void ChartSession::Image1MouseLeave()
{
    const Publishing publishing(*this);
    ui.clearReadout();
}

void ChartSession::SaveBtnClick()
{
    const Publishing publishing(*this);
    auto path = prompts_.saveFileName(QStringLiteral("*.bmp|*.*|PNG files (*.png)|*.png"),
                                      QStringLiteral("bmp"), GloVar.StartDir);
    if (!path)
        return;
    QString name = *path;
    if (QFileInfo(name).suffix().isEmpty())
        name += QStringLiteral(".bmp");
    if (const Result<void> mine = CheckNotPriceFile(name, Error::Doing::Creating); !mine) {
        prompts_.show(mine.error());
        return;
    }
    // A name ending in .png asks for PNG; any other name gets a bitmap.
    const char* format = ImageFormatOf(name);
    if (const Result<void> w = WriteImageFile(chart.image(), name, format ? format : "BMP"); !w)
        prompts_.error(w.error().message());
}

void ChartSession::PrintBtnClick()
{
    const Publishing publishing(*this);
    auto target = prompts_.printerSetup();
    if (!target)
        return;
    const QString tmp = GloVar.WorkDir + QStringLiteral("TmpPrint.bmp");
    if (const Result<void> w = WriteImageFile(chart.image(), tmp, "BMP", true); !w) {
        prompts_.error(w.error().message());
        return;
    }
    // Read back whatever its size: the chart was drawn at it, so Qt's guard
    // against huge pictures from elsewhere does not apply.
    QFile file;
    const int fd = ::open(EncodeFileName(tmp).constData(), O_RDONLY | O_CLOEXEC);
    QImage copy;
    if (fd >= 0 && file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        QImageReader reader(&file, "BMP");
        reader.setAllocationLimit(0);
        copy = reader.read();
    } else if (fd >= 0) {
        ::close(fd);
    }
    if (copy.isNull()) {
        prompts_.error(QStringLiteral("Cannot open file %1").arg(tmp));
        return;
    }
    const QRect where = PrintPlacement(target->pageSizePixels(), copy.size());
    if (const Result<void> printed = target->printPage(copy, where); !printed)
        prompts_.error(printed.error().message());
}

void ChartSession::ExitBtnClick()
{
    const Publishing publishing(*this);
    if (closeWindow)
        closeWindow();
}
