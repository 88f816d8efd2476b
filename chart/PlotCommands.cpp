#include <QFileInfo>
#include <algorithm>

#include "app/ChartSession.h"
#include "app/GloVar.h"
#include "app/Prompts.h"
#include "chart/BarChart.h"
#include "chart/Geometry.h"
#include "chart/Output.h"
#include "data/Dates.h"
#include "data/PriceReader.h"
#include "tools/Figures.h"

namespace {
QString CannotCreate(const QString& path)
{
    return QStringLiteral("Cannot create file %1").arg(path);
}

bool ParseRecordNumber(const QString& text, int32_t& out)
{
    long long v = 0;
    const QByteArray b = text.toUtf8();
    if (!ParseInt(std::string_view(b.constData(), size_t(b.size())), v) || v < INT32_MIN ||
        v > INT32_MAX)
        return false;
    out = static_cast<int32_t>(v);
    return true;
}
} // namespace

void ChartSession::PlotBtnClick()
{
    auto& g = GloVar;
    if (g.ChartShown) {
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
        CommonPlotEnding();
        return;
    }
    if (chart.isNull())
        return;
    InitDefaults();
    if (g.WholeScale && g.FileHigh < g.FileLow && !ScanWholeFileRange(prompts_))
        return;
    if (!LoadChartRange(ui, prompts_))
        return;
    DrawPriceChart(chart);
    ui.imageVisible = true;
    const QString tmp = g.WorkDir + QStringLiteral("TmpPrice.bmp");
    if (!chart.image().save(tmp, "BMP")) {
        prompts_.error(CannotCreate(tmp));
        return;
    }
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

void ChartSession::CommonPlotEnding()
{
    auto& g = GloVar;
    g.P1Armed = g.P2Armed = false;
    g.ChartShown = !g.ChartShown;
    g.P1X = g.P1Y = g.P2X = g.P2Y = g.P3X = g.P3Y = -1;
    g.EllipseLive = g.MouseDragging = false;
    g.P1MarkerShown = g.P2MarkerShown = g.P3MarkerShown = false;
}

bool ChartSession::DatesAccept(const QString& first, const QString& last, const QString& blankDays,
                               int& focusField)
{
    auto& g = GloVar;
    auto refuse = [&](int field) {
        prompts_.beep();
        prompts_.message(QString::fromLatin1(ProgramName),
                         QStringLiteral("Wrong Record Number!   Enter again."));
        focusField = field;
        return false;
    };
    int32_t f = 0, l = 0, n = 0;
    if (!ParseRecordNumber(first, f) || !ParseRecordNumber(last, l) ||
        !ParseRecordNumber(blankDays, n))
        return refuse(0);
    n = std::clamp(n, 0, 50);
    if ((f > 0 || l > 0) && !(f < l && l <= g.RecordCount))
        return refuse(1);
    g.FirstRecord = f;
    g.LastRecord = l;
    g.BlankDaysRight = n;
    ui.enable(Ctl::PlotBtn, f > 0 && f < l);
    ui.panels[1] = QStringLiteral("%1 - %2   (%3)").arg(f).arg(l).arg(n);
    return true;
}

void ChartSession::LeaveSpaceClick(bool ticked)
{
    GloVar.LeaveHolidaySpace = ticked;
    ui.panels[2] = ticked ? QStringLiteral("Holiday") : QString();
}

void ChartSession::WholeScaleClick(bool ticked)
{
    GloVar.WholeScale = ticked;
}

void ChartSession::AfterDatesDialog()
{
    auto& g = GloVar;
    ui.toolbar2Green = g.WholeScale;
    if (!g.WholeScale) {
        g.FileHigh = 0;
        g.FileLow = 99999999.0;
    }
}

void ChartSession::RedrawRange()
{
    auto& g = GloVar;
    g.ChartShown = false;
    PlotBtnClick();
    if (!g.ChartShown)
        return;
    RelocateAnchors();
    if (g.P1X > 0 && g.P1Y > 0) {
        DrawP1Marker(g.P1X, g.P1Y);
        DrawP2Marker(g.P2X, g.P2Y);
        ui.enable(Ctl::DrawBtn);
    }
}

namespace {
struct Range {
    long long f, l;
};
Range CurrentRange()
{
    return {GloVar.FirstRecord, GloVar.LastRecord};
}
void StoreRange(Range r)
{
    GloVar.FirstRecord = static_cast<int32_t>(std::clamp<long long>(r.f, INT32_MIN, INT32_MAX));
    GloVar.LastRecord = static_cast<int32_t>(std::clamp<long long>(r.l, INT32_MIN, INT32_MAX));
}
} // namespace

void ChartSession::UpBtnClick()
{
    const long long p = GloVar.PeriodLength, n = GloVar.RecordCount;
    StoreRange({1, std::min(p, n)});
    RedrawRange();
}

void ChartSession::DownBtnClick()
{
    Range r = CurrentRange();
    r.l = std::min<long long>(r.l + GloVar.PeriodLength, GloVar.RecordCount);
    StoreRange(r);
    RedrawRange();
}

void ChartSession::LeftBtnClick()
{
    Range r = CurrentRange();
    const long long p = GloVar.PeriodLength;
    if (r.f + 2 * p <= r.l)
        r.l -= p;
    StoreRange(r);
    RedrawRange();
}

void ChartSession::RightBtnClick()
{
    StoreRange({1, GloVar.RecordCount});
    RedrawRange();
}

void ChartSession::ToolButton1Click()
{
    Range r = CurrentRange();
    const long long p = GloVar.PeriodLength;
    if (r.f - p >= 1) {
        r.f -= p;
        r.l -= p;
    } else {
        r.l = r.l - r.f + 1;
        r.f = 1;
    }
    StoreRange(r);
    RedrawRange();
}

void ChartSession::ToolButton2Click()
{
    Range r = CurrentRange();
    const long long p = GloVar.PeriodLength, n = GloVar.RecordCount;
    if (r.l + p <= n) {
        r.f += p;
        r.l += p;
    } else {
        r.f += n - r.l;
        r.l = n;
    }
    StoreRange(r);
    RedrawRange();
}

void ChartSession::ToolBar2Click()
{
    auto& g = GloVar;
    g.WholeScale = !g.WholeScale;
    ui.toolbar2Green = g.WholeScale;
    if (!g.WholeScale) {
        g.FileHigh = 0;
        g.FileLow = 99999999.0;
    }
    RedrawRange();
}

void ChartSession::PeriodCBChange(int index)
{
    if (index < 0 || index >= PeriodItems.size())
        return;
    periodIndex = index;
    ui[Ctl::PeriodCB].caption = PeriodItems[index];
    GloVar.PeriodLength = PeriodItems[index].toInt();
}

void ChartSession::Image1MouseMove(int x, int y)
{
    auto& g = GloVar;
    if (g.EllipseLive && g.MouseDragging) {
        ui.cursor = ChartCursor::SizeAll;
        if (g.ChartDrawn)
            chart.restore(baseImage);
        DrawP2Marker(x, y);
        g.P3X = Sat16(x);
        g.P3Y = Sat16(y);
        DrawEllipse(chart);
    }
    ui.hint = g.P1Armed ? QStringLiteral("P1") : g.P2Armed ? QStringLiteral("P2") : QString();
    if (g.PlotLeft < x && x <= g.PlotRight && g.PlotTop < y && y <= g.PlotBottom) {
        const int n = XToSlot(x);
        const double date =
            n >= 1 && size_t(n) < g.Prices.size() ? g.Prices[size_t(n)].Date : 0.0;
        ui.panels[7] = ShortDate(date);
        ui.panels[8] = QString::asprintf("%10.5f", YToPrice(y));
        ui.panels[9] = QStringLiteral("%1 : %2").arg(x).arg(y);
    } else {
        ui.panels[7].clear();
        ui.panels[8].clear();
        ui.panels[9].clear();
    }
}

void ChartSession::SaveBtnClick()
{
    auto path = prompts_.saveFileName(QStringLiteral("*.bmp|*.*"), QStringLiteral("bmp"),
                                      GloVar.StartDir);
    if (!path)
        return;
    QString name = *path;
    if (QFileInfo(name).suffix().isEmpty())
        name += QStringLiteral(".bmp");
    if (QFileInfo(name).isDir() || !chart.image().save(name, "BMP"))
        prompts_.error(CannotCreate(name));
}

QRect PrintPlacement(QSize page, QSize image)
{
    if (image.isEmpty() || page.isEmpty())
        return QRect();
    const int n = std::min(page.width() / image.width(), page.height() / image.height());
    int w = n * image.width();
    int h = n * image.height();
    if (n == 0) {
        const QSize fit = image.scaled(page, Qt::KeepAspectRatio);
        w = fit.width();
        h = fit.height();
    }
    const int left = (page.width() - w) / 2;
    const int top = (page.height() - h) / 2;
    return QRect(left, top, w, h);
}

void ChartSession::PrintBtnClick()
{
    auto target = prompts_.printerSetup();
    if (!target)
        return;
    const QString tmp = GloVar.WorkDir + QStringLiteral("TmpPrint.bmp");
    if (!chart.image().save(tmp, "BMP")) {
        prompts_.error(CannotCreate(tmp));
        return;
    }
    const QImage copy(tmp);
    if (copy.isNull()) {
        prompts_.error(QStringLiteral("Cannot open file %1").arg(tmp));
        return;
    }
    const QRect where = PrintPlacement(target->pageSizePixels(), copy.size());
    if (QString err = target->printPage(copy, where); !err.isEmpty())
        prompts_.error(err);
}
