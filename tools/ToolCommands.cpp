#include "app/ChartSession.h"
#include "app/GloVar.h"
#include "app/Prompts.h"
#include "chart/BarChart.h"
#include "chart/Geometry.h"
#include "data/Settings.h"
#include "tools/Figures.h"

void ChartSession::MoveMarker(QRect& rect, bool& shown, const QColor& colour, int x, int y)
{
    chart.setPenColor(colour);
    if (shown)
        chart.copyFrom(markerStore, rect);
    rect = QRect(x - 5, y - 5, 10, 10);
    chart.copyTo(markerStore, rect);
    shown = true;
}

void ChartSession::DrawAnchorMarker(QRect& rect, bool& shown, int x, int y)
{
    const QColor before = chart.penColor();
    MoveMarker(rect, shown, QColor(255, 0, 0), x, y);
    chart.setPenWidth(2);
    chart.line(x - 4, y, x + 4, y);
    chart.line(x, y - 4, x, y + 4);
    chart.setPenWidth(1);
    chart.setPenColor(before);
}

void ChartSession::DrawP1Marker(int x, int y)
{
    auto& g = GloVar;
    DrawAnchorMarker(g.P1MarkerRect, g.P1MarkerShown, x, y);
    g.P1X = Sat16(x);
    g.P1Y = Sat16((long long)g.PlotBottom - y);
    g.P1Armed = false;
    ui.enable(Ctl::P2Btn);
    ui.enable(Ctl::DrawBtn);
}

void ChartSession::DrawP2Marker(int x, int y)
{
    auto& g = GloVar;
    DrawAnchorMarker(g.P2MarkerRect, g.P2MarkerShown, x, y);
    g.P2X = Sat16(x);
    g.P2Y = Sat16((long long)g.PlotBottom - y);
    g.EllipseEndX = g.P2X;
    g.EllipseEndY = g.P2Y;
    g.P2Armed = false;
}

void ChartSession::DrawP3Marker(int x, int y)
{
    auto& g = GloVar;
    const QColor before = chart.penColor();
    MoveMarker(g.P3MarkerRect, g.P3MarkerShown, QColor(0, 0, 0), x, y);
    g.P3X = Sat16(x);
    g.P3Y = Sat16(y);
    chart.line(x - 5, y, x + 5, y);
    chart.line(x, y - 5, x, y + 5);
    chart.ellipse(x - 2, y - 2, x + 2, y + 2);
    chart.setPenColor(before);
}

void ChartSession::P1BtnClick()
{
    GloVar.P1Armed = true;
    GloVar.P2Armed = false;
    ui.cursor = ChartCursor::Drag;
}

void ChartSession::P2BtnClick()
{
    GloVar.P1Armed = false;
    GloVar.P2Armed = true;
    ui.cursor = ChartCursor::MultiDrag;
}

void ChartSession::Image1MouseDown(MouseButton b, int x, int y)
{
    auto& g = GloVar;
    if (b == MouseButton::Right) {
        g.MouseDragging = true;
        return;
    }
    g.MouseDragging = false;
    auto slotDate = [&] {
        const int s = XToSlot(x);
        return s >= 1 && size_t(s) < g.Prices.size() ? g.Prices[size_t(s)].Date : 0.0;
    };
    if (g.P1Armed) {
        DrawP1Marker(x, y);
        g.P1Date = slotDate();
        g.P1Price = YToPrice(y);
    } else if (g.P2Armed) {
        DrawP2Marker(x, y);
        g.P3X = Sat16(x);
        g.P3Y = Sat16(y);
        g.P2Date = slotDate();
        g.P2Price = YToPrice(y);
    } else {
        DrawP3Marker(x, y);
    }
}

void ChartSession::Image1MouseUp()
{
    GloVar.MouseDragging = false;
    ui.cursor = ChartCursor::Arrow;
}

void ChartSession::ChooseChartType(int type)
{
    if (type < 1 || type > 8)
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
    if (g.ChartType == 1)
        DrawBtnClick();
}

void ChartSession::RatioBtnClick()
{
    auto& g = GloVar;
    if (g.Dir > 0)
        g.Ratio *= g.Phi;
    else
        g.Ratio /= g.Phi;
    ShowRatio();
    if (g.ChartType > 0)
        DrawBtnClick();
}

void ChartSession::DrawBtnClick()
{
    auto& g = GloVar;
    if (g.ChartType == 0) {
        prompts_.beep();
        prompts_.message(QStringLiteral("Information"),
                         QStringLiteral("NO Chart type is selected!\r\rClick right mouse on Draw "
                                        "Button and select a chart type."));
        return;
    }
    if (g.ChartType != 3 && g.P2X < 1) {
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
    switch (g.ChartType) {
    case 1: DrawSpiral(chart); break;
    case 2:
        DrawEllipse(chart);
        g.EllipseLive = true;
        break;
    case 3: DrawFanLines(chart); break;
    case 4: DrawExtensions(chart); break;
    case 5: DrawCorrections(chart, prompts_); break;
    case 6: DrawTimeGoals(chart); break;
    case 7: DrawChannel(chart, prompts_); break;
    case 8: DrawArcs(chart); break;
    default: break;
    }
    g.RatioLineMode = (g.ChartType == 4 || g.ChartType == 6) ? 2 : g.ChartType == 5 ? 3 : 0;
    if (g.ChartType == 4) {
        DrawPriceRatioLine(chart, g.P1Y <= g.P2Y);
    } else if (g.ChartType == 5) {
        DrawPriceRatioLine(chart, true);
        DrawPriceRatioLine(chart, false);
    } else if (g.ChartType == 6) {
        DrawTimeRatioLine(chart, g.P1X > g.P2X);
    }
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
    g.P1MarkerShown = g.P2MarkerShown = g.P3MarkerShown = false;
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
            prompts_.error(QStringLiteral("'%1' is not a valid floating point value").arg(angles[i]));
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
