// The drawing tools' handlers: anchors, the figure's choice, DIR, RATIO,
// Draw, Clear and Clip.
#include <algorithm>
#include <cmath>

#include "app/session/ChartSession.h"
#include "app/session/GloVar.h"
#include "app/session/Prompts.h"
#include "app/session/SharedInputs.h"
#include "chart/BarChart.h"
#include "chart/ChartMap.h"
#include "data/Settings.h"
#include "tools/FigureGeometry.h"
#include "tools/FigureTable.h"

void ChartSession::KeepToolState()
{
    auto& g = GloVar;
    g.P1Armed = tool.armed() == AnchorTool::Armed::P1;
    g.P2Armed = tool.armed() == AnchorTool::Armed::P2;
    g.MouseDragging = tool.dragging();
    g.P1MarkerShown = tool.p1Marker().shown;
    g.P2MarkerShown = tool.p2Marker().shown;
    g.P3MarkerShown = tool.p3Marker().shown;
    g.P1MarkerRect = tool.p1Marker().rect;
    g.P2MarkerRect = tool.p2Marker().rect;
    g.P3MarkerRect = tool.p3Marker().rect;
}

void ChartSession::KeepMarker(int n, int x, int y)
{
    const auto& g = GloVar;
    const KeptAnchor& was = n == 1 ? g.P1Anchor : n == 2 ? g.P2Anchor : g.P3Anchor;
    // Column -1 is no anchor: one kept off the chart stays kept.
    if (x == -1) {
        KeptAnchor off = was;
        off.placed = false;
        PlaceAnchor(n, off);
        return;
    }
    PlaceAnchor(n, AnchorMovedTo(CurrentChartMap(g), g.Prices, was, x, y, timeframe_));
}

void ChartSession::PlaceAnchor(int n, const KeptAnchor& a)
{
    auto& g = GloVar;
    (n == 1 ? g.P1Anchor : n == 2 ? g.P2Anchor : g.P3Anchor) = a;
    if (n == 2) {
        const AnchorPixels px = AnchorPixelsNow();
        g.EllipseEndX = px.P2X;
        g.EllipseEndY = px.P2Y;
    }
    KeepToolState();
}

AnchorPixels ChartSession::AnchorPixelsNow() const
{
    return CurrentAnchorPixels(GloVar, timeframe_);
}

void ChartSession::DrawP1Marker(int x, int y)
{
    const Publishing publishing(*this);
    tool.drawP1Marker(x, y);
    KeepMarker(1, x, y);
    ui.enable(Ctl::P2Btn);
    ui.enable(Ctl::DrawBtn);
}

void ChartSession::DrawP2Marker(int x, int y)
{
    const Publishing publishing(*this);
    tool.drawP2Marker(x, y);
    KeepMarker(2, x, y);
}

void ChartSession::DrawP3Marker(int x, int y)
{
    const Publishing publishing(*this);
    tool.drawP3Marker(x, y);
    KeepMarker(3, x, y);
}

void ChartSession::P1BtnClick()
{
    const Publishing publishing(*this);
    tool.armP1();
    KeepToolState();
    ui.cursor = ChartCursor::Drag;
}

void ChartSession::P2BtnClick()
{
    const Publishing publishing(*this);
    tool.armP2();
    KeepToolState();
    ui.cursor = ChartCursor::MultiDrag;
}

void ChartSession::Image1MouseDown(MouseButton b, int x, int y, bool snap)
{
    const Publishing publishing(*this);
    auto& g = GloVar;
    const ChartMap map = CurrentChartMap(GloVar);
    // The right button drags the live ellipse: the whole drag is one step,
    // kept when the button comes up.
    if (b == MouseButton::Right)
        drags_.ellipseBefore = history_.recording() ? std::optional(TakeSnapshot()) : std::nullopt;
    const AnchorTool::Armed armed = tool.armed();
    const StepScope step(*this, b == MouseButton::Right          ? QString()
                                : armed == AnchorTool::Armed::P1 ? QStringLiteral("Set P1")
                                : armed == AnchorTool::Armed::P2
                                    ? QStringLiteral("Set P2")
                                    : QStringLiteral("Set Third Point"));
    std::optional<double> snapped;
    if (snap && b == MouseButton::Left && tool.armed() != AnchorTool::Armed::None) {
        snapped = NearestBarPrice(map, x, y);
        if (snapped)
            y = map.priceToY(*snapped);
    }
    const AnchorTool::Effect e = tool.press(b, x, y).effect;
    if (e == AnchorTool::Effect::P1Set) {
        PlaceAnchor(1, AnchorAtPixel(map, g.Prices, x, y, snapped, timeframe_));
        ui.enable(Ctl::P2Btn);
        ui.enable(Ctl::DrawBtn);
    } else if (e == AnchorTool::Effect::P2Set) {
        PlaceAnchor(2, AnchorAtPixel(map, g.Prices, x, y, snapped, timeframe_));
        // The third point starts on P2.
        PlaceAnchor(3, g.P2Anchor);
    } else if (e == AnchorTool::Effect::P3Set) {
        PlaceAnchor(3, AnchorAtPixel(map, g.Prices, x, y, std::nullopt, timeframe_));
    }
    KeepToolState();
    if (e == AnchorTool::Effect::DragStarted)
        drags_.ellipseMoved = false;
}

void ChartSession::Image1MouseUp()
{
    const Publishing publishing(*this);
    const bool dragged = tool.dragging() && GloVar.EllipseLive && drags_.ellipseMoved;
    if (dragged)
        RecordFigure(true);
    tool.release();
    KeepToolState();
    ui.cursor = ChartCursor::Arrow;
    if (dragged && drags_.ellipseBefore)
        KeepStep(QStringLiteral("Ellipse Drag"), std::move(*drags_.ellipseBefore));
    drags_.ellipseBefore.reset();
}

void ChartSession::ChooseChartType(int type)
{
    const Publishing publishing(*this);
    const FigureKind* kind = FigureKindOf(type);
    if (!kind)
        return;
    const StepScope step(*this, QStringLiteral("Figure Type"));
    auto& g = GloVar;
    g.ChartType = static_cast<int16_t>(type);
    g.ChartTypeName = QString::fromLatin1(kind->caption);
    ui.caption = g.TitleText + QStringLiteral("  -  ") + g.ChartTypeName;
}

void ChartSession::DirBtnClick()
{
    const Publishing publishing(*this);
    const StepScope step(*this, QStringLiteral("DIR"));
    auto& g = GloVar;
    g.Dir = -g.Dir;
    ui[Ctl::DirBtn].image = g.Dir < 1 ? 13 : 12;
    ShowDir();
    if (const FigureKind* kind = FigureKindOf(g.ChartType); kind && kind->redrawnByDir)
        DrawBtnClick();
}

void ChartSession::RatioBtnClick()
{
    const Publishing publishing(*this);
    const StepScope step(*this, QStringLiteral("RATIO"));
    auto& g = GloVar;
    const double next = g.Dir > 0 ? g.Ratio * g.Phi : g.Ratio / g.Phi;
    // Beyond these powers of Phi the steps would no longer lead back.
    if (!(std::fabs(std::log(next) / std::log(g.Phi)) <= RatioPowerLimit + 0.5)) {
        prompts_.beep();
        return;
    }
    g.Ratio = next;
    ShowRatio();
    if (g.ChartType > 0)
        DrawBtnClick();
}

void ChartSession::DrawBtnClick()
{
    const Publishing publishing(*this);
    const StepScope step(*this, QStringLiteral("Draw"));
    DrawChosenFigure(GloVar.ellipse);
    FitFiguresInView();
}

void ChartSession::DrawChosenFigure(std::optional<EllipseMemory> memory)
{
    auto& g = GloVar;
    const FigureKind* kind = FigureKindOf(g.ChartType);
    if (!kind) {
        prompts_.beep();
        prompts_.message(QStringLiteral("Information"),
                         QStringLiteral("NO Chart type is selected!\r\rClick right mouse on Draw "
                                        "Button and select a chart type."));
        return;
    }
    if (kind->needsP2 && AnchorPixelsNow().P2X < 1) {
        prompts_.beep();
        prompts_.message(QStringLiteral("Information"), QStringLiteral("P2 point not clicked!"));
        return;
    }
    // Before any chart exists there is nothing to draw on.
    if (chart.isNull())
        return;
    DrawFigureOnChart(*kind, std::move(memory));
    RecordFigure(false);
}

void ChartSession::DrawFigureOnChart(const FigureKind& kind, std::optional<EllipseMemory> memory)
{
    auto& g = GloVar;
    g.EllipseLive = false;
    drags_.ellipseMemory.reset();
    if (g.ChartDrawn && !baseImage.isNull())
        chart.restore(baseImage);
    DrawFigure(kind, std::move(memory));
    g.EllipseLive = kind.live;
    ui.enable(Ctl::EraseBtn);
    const ChartMap map = CurrentChartMap(GloVar);
    const AnchorPixels a = AnchorPixelsNow();
    DrawP1Marker(a.P1X, map.heightToY(a.P1Y));
    DrawP2Marker(a.P2X, map.heightToY(a.P2Y));
    if (const AnchorPixels now = AnchorPixelsNow(); now.P3X > 0 && now.P3Y > 0)
        DrawP3Marker(now.P3X, now.P3Y);
    ui.enable(Ctl::ClipButton);
    DrawChartFooter(chart, map);
}

FrameView ChartSession::FrameViewNow() const
{
    const auto& g = GloVar;
    return FrameView{.shown = CurrentChartMap(g),
                     .scaleInput = CurrentScaleInput(g),
                     .input = CurrentFigureInput(g, timeframe_),
                     .prices = g.Prices,
                     .chartWidth = g.ChartWidth,
                     .chartHeight = g.ChartHeight,
                     .p1x = AnchorPixelsNow().P1X,
                     .p1Date = g.P1Anchor.date,
                     .p2Date = g.P2Anchor.date,
                     .p1Price = g.P1Anchor.price,
                     .p2Price = g.P2Anchor.price,
                     .timeframe = timeframe_,
                     .recordDates = scan_.recordDates};
}

void ChartSession::DrawFigure(const FigureKind& kind, std::optional<EllipseMemory> memory)
{
    auto& g = GloVar;
    DrawFrame frame = frames_.FrameForDraw(kind, std::move(memory), FrameViewNow());
    const std::vector<Figure> built = kind.build(frame.input, frame.memory);
    std::vector<Figure> parts = built;
    if (frame.carried)
        for (Figure& f : parts)
            f = CarryFigure(f, frame.input.map, CurrentChartMap(GloVar), frame.shift,
                            frame.daysPerSlot);
    frames_.NoteDrawn(frame);
    g.RatioLineMode = kind.ratioLineMode;
    const bool stroked = StrokeFigures(chart, parts);
    // A memory in another chart's pixels would grow the next ellipse wrongly.
    if (kind.live && frame.memory && (!frame.carried || frame.ownChart))
        GloVar.ellipse = *frame.memory;
    NoteFigureDrawn(kind, parts, built, frame);
    if (!stroked)
        prompts_.beep();
}

void ChartSession::MoveLiveFigure(int x, int y, std::optional<EllipseMemory> memory)
{
    auto& g = GloVar;
    if (g.ChartDrawn)
        chart.restoreChanged(baseImage);
    DrawP2Marker(x, y);
    PlaceAnchor(3, g.P2Anchor);
    DrawFigure(LiveFigureKind(), std::move(memory));
}

void ChartSession::PlaceFigureAnchors(const StudyFigure& f)
{
    auto& g = GloVar;
    // The figure's days and prices hold, even where a pixel falls at the
    // edge of the next slot or between a bar's prices.
    g.P1Anchor = AnchorOf(f.p1);
    g.P3Anchor = AnchorOf(f.p3 ? *f.p3 : f.p2);
    PlaceAnchor(2, AnchorOf(f.p2));
    // Their markers where the points stand on this chart.
    const ChartMap& map = CurrentChartMap(g);
    auto pixel = [&](const KeptAnchor& a) {
        return AnchorPixel(map, g.Prices, a, timeframe_).value_or(QPoint(-1, -1));
    };
    const QPoint p1 = pixel(g.P1Anchor), p2 = pixel(g.P2Anchor);
    tool.drawP1Marker(p1.x(), p1.y());
    ui.enable(Ctl::P2Btn);
    ui.enable(Ctl::DrawBtn);
    tool.drawP2Marker(p2.x(), p2.y());
    if (f.p3) {
        const QPoint p3 = pixel(g.P3Anchor);
        tool.drawP3Marker(p3.x(), p3.y());
    }
    tool.release();
    KeepToolState();
    ui.cursor = ChartCursor::Arrow;
}

void ChartSession::TakeFigureChoice(const FigureKind& kind, const StudyFigure& f)
{
    auto& g = GloVar;
    g.Dir = f.dir;
    ui[Ctl::DirBtn].image = g.Dir < 1 ? 13 : 12;
    ShowDir();
    g.Ratio = f.ratio;
    ShowRatio();
    std::copy(std::begin(f.fanAngles), std::end(f.fanAngles), g.settings.fanAngles.begin());
    g.ChartType = static_cast<int16_t>(kind.number);
    g.ChartTypeName = QString::fromLatin1(kind.caption);
    ui.caption = g.TitleText + QStringLiteral("  -  ") + g.ChartTypeName;
}

void ChartSession::EraseBtnClick()
{
    const Publishing publishing(*this);
    const StepScope step(*this, QStringLiteral("Clear"));
    if (cleanChart.isNull())
        return;
    chart.restore(cleanChart);
    PutBase(cleanChart);
    ForgetFigures();
    tool.forgetMarkers();
    KeepToolState();
    const ChartMap map = CurrentChartMap(GloVar);
    const AnchorPixels a = AnchorPixelsNow();
    if (a.P1X > 0 && a.P1Y > 0)
        DrawP1Marker(a.P1X, map.heightToY(a.P1Y));
    if (a.P2X > 0 && a.P2Y > 0)
        DrawP2Marker(a.P2X, map.heightToY(a.P2Y));
    if (a.P3X > 0 && a.P3Y > 0)
        DrawP3Marker(a.P3X, a.P3Y);
    ui.enable(Ctl::EraseBtn, false);
}

void ChartSession::ClipButtonClick()
{
    const Publishing publishing(*this);
    const StepScope step(*this, QStringLiteral("Clip"));
    KeepCurrentFigure();
}

void ChartSession::KeepCurrentFigure()
{
    // The places the last base held residue at stay places of the new one.
    BaseResidue was = std::exchange(residue_, {});
    PutBase(chart.image());
    residue_ = std::move(was);
    residue_.NewBase();
    for (const QRect& r : tool.residue())
        residue_.Note(r);
    if (figures_.current) {
        figures_.current->kept = true;
        figures_.kept.push_back(*figures_.current);
        figures_.current.reset();
        figures_.keptLevelsOff += LevelsOffChart(figures_.currentElements);
        figures_.keptElements.push_back(std::move(figures_.currentElements));
        figures_.keptLabelBoxes.insert(figures_.keptLabelBoxes.end(),
                                       figures_.currentLabelBoxes.begin(),
                                       figures_.currentLabelBoxes.end());
        figures_.keptUnlabelled += figures_.currentUnlabelled;
    }
    figures_.currentLabelBoxes.clear();
    figures_.currentUnlabelled.clear();
    figures_.currentElements.clear();
    figures_.currentDrawn.clear();
}

std::array<double, 3> ChartSession::FanAngles() const
{
    return {GloVar.FanAngle1, GloVar.FanAngle2, GloVar.FanAngle3};
}

bool ChartSession::ChartSetupAccept(const std::array<QString, 3>& angles)
{
    const Publishing publishing(*this);
    double v[3] = {};
    for (size_t i = 0; i < angles.size(); ++i) {
        const std::optional<double> angle = ParseAngle(angles[i]);
        if (!angle) {
            prompts_.error(
                QStringLiteral("'%1' is not a valid floating point value").arg(angles[i]));
            return false;
        }
        v[i] = *angle;
    }
    auto& g = GloVar;
    const double old[3] = {g.FanAngle1, g.FanAngle2, g.FanAngle3};
    g.FanAngle1 = v[0];
    g.FanAngle2 = v[1];
    g.FanAngle3 = v[2];
    if (const Result<void> w = WriteSettingsFile(SettingsPath(), GloVar.settings); !w) {
        g.FanAngle1 = old[0];
        g.FanAngle2 = old[1];
        g.FanAngle3 = old[2];
        prompts_.error(w.error().message());
        return false;
    }
    return true;
}
