// The drawing tools' handlers: anchors, the figure's choice, DIR, RATIO,
// Draw, Clear and Clip.
#include <cmath>

#include "app/ChartSession.h"
#include "app/GloVar.h"
#include "app/Prompts.h"
#include "chart/BarChart.h"
#include "data/Settings.h"
#include "tools/FigureGeometry.h"
#include "tools/Figures.h"

void ChartSession::DrawP1Marker(int x, int y)
{
    tool.drawP1Marker(x, y);
    ui.enable(Ctl::P2Btn);
    ui.enable(Ctl::DrawBtn);
}

void ChartSession::DrawP2Marker(int x, int y)
{
    tool.drawP2Marker(x, y);
}

void ChartSession::DrawP3Marker(int x, int y)
{
    tool.drawP3Marker(x, y);
}

void ChartSession::P1BtnClick()
{
    tool.armP1();
    ui.cursor = ChartCursor::Drag;
}

void ChartSession::P2BtnClick()
{
    tool.armP2();
    ui.cursor = ChartCursor::MultiDrag;
}

void ChartSession::Image1MouseDown(MouseButton b, int x, int y)
{
    if (tool.press(b, x, y).effect == AnchorTool::Effect::P1Set) {
        ui.enable(Ctl::P2Btn);
        ui.enable(Ctl::DrawBtn);
    }
}

void ChartSession::Image1MouseUp()
{
    tool.release();
    ui.cursor = ChartCursor::Arrow;
}

void ChartSession::ChooseChartType(int type)
{
    if (type < Spiral || type > Arcs)
        return;
    auto& g = GloVar;
    g.ChartType = static_cast<int16_t>(type);
    g.ChartTypeName = ChartTypeCaption(type);
    ui.caption = g.TitleText + QStringLiteral("  -  ") + g.ChartTypeName;
}

void ChartSession::DirBtnClick()
{
    auto& g = GloVar;
    g.Dir = -g.Dir;
    ui[Ctl::DirBtn].image = g.Dir < 1 ? 13 : 12;
    ShowDir();
    if (g.ChartType == Spiral)
        DrawBtnClick();
}

void ChartSession::RatioBtnClick()
{
    auto& g = GloVar;
    const double next = g.Dir > 0 ? g.Ratio * g.Phi : g.Ratio / g.Phi;
    // Beyond these powers of Phi the steps would no longer lead back.
    if (!(std::fabs(std::log(next) / std::log(g.Phi)) <= RatioPowerLimit + 0.5)) {
        prompts_.beep();
        return;
    }
    g.Ratio = next;
    ShowRatio();
    if (g.ChartType > NoFigure)
        DrawBtnClick();
}

void ChartSession::DrawBtnClick()
{
    auto& g = GloVar;
    if (g.ChartType == NoFigure) {
        prompts_.beep();
        prompts_.message(QStringLiteral("Information"),
                         QStringLiteral("NO Chart type is selected!\r\rClick right mouse on Draw "
                                        "Button and select a chart type."));
        return;
    }
    if (g.ChartType != FanLines && g.P2X < 1) {
        prompts_.beep();
        prompts_.message(QStringLiteral("Information"), QStringLiteral("P2 point not clicked!"));
        return;
    }
    // Before any chart exists there is nothing to draw on.
    if (chart.isNull())
        return;
    g.EllipseLive = false;
    if (g.ChartDrawn && !baseImage.isNull())
        chart.restore(baseImage);
    if (!DrawChosenFigure(chart))
        prompts_.beep();
    g.EllipseLive = g.ChartType == Ellipse;
    ui.enable(Ctl::EraseBtn);
    DrawP1Marker(g.P1X, g.PlotBottom - g.P1Y);
    DrawP2Marker(g.P2X, g.PlotBottom - g.P2Y);
    if (g.P3X > 0 && g.P3Y > 0)
        DrawP3Marker(g.P3X, g.P3Y);
    ui.enable(Ctl::ClipButton);
    DrawChartFooter(chart);
}

void ChartSession::EraseBtnClick()
{
    auto& g = GloVar;
    if (cleanChart.isNull())
        return;
    chart.restore(cleanChart);
    PutBase(cleanChart);
    tool.forgetMarkers();
    if (g.P1X > 0 && g.P1Y > 0)
        DrawP1Marker(g.P1X, g.PlotBottom - g.P1Y);
    if (g.P2X > 0 && g.P2Y > 0)
        DrawP2Marker(g.P2X, g.PlotBottom - g.P2Y);
    if (g.P3X > 0 && g.P3Y > 0)
        DrawP3Marker(g.P3X, g.P3Y);
    ui.enable(Ctl::EraseBtn, false);
}

void ChartSession::ClipButtonClick()
{
    PutBase(chart.image());
}

bool ChartSession::ChartSetupAccept(const std::array<QString, 3>& angles)
{
    double v[3] = {};
    for (size_t i = 0; i < angles.size(); ++i) {
        if (!ParseAngle(angles[i], v[i])) {
            prompts_.error(
                QStringLiteral("'%1' is not a valid floating point value").arg(angles[i]));
            return false;
        }
    }
    auto& g = GloVar;
    const double old[3] = {g.FanAngle1, g.FanAngle2, g.FanAngle3};
    g.FanAngle1 = v[0];
    g.FanAngle2 = v[1];
    g.FanAngle3 = v[2];
    if (QString err = WriteSettingsFile(SettingsPath()); !err.isEmpty()) {
        g.FanAngle1 = old[0];
        g.FanAngle2 = old[1];
        g.FanAngle3 = old[2];
        prompts_.error(err);
        return false;
    }
    return true;
}
