#include "app/session/ValuesReport.h"

#include "app/session/ChartSession.h"
#include "app/session/GloVar.h"
#include "chart/Timeframe.h"

QJsonObject ValuesReport(const ChartSession& s)
{
    const SharedState& g = s.GloVar;
    QJsonObject v;
    auto num = [&](const char* k, double x) { v[QLatin1String(k)] = x; };
    auto flag = [&](const char* k, bool x) { v[QLatin1String(k)] = x; };
    auto day = [&](const char* k, std::optional<double> d) {
        v[QLatin1String(k)] = d ? QJsonValue(*d) : QJsonValue(QJsonValue::Null);
    };
    flag("ChartShown", g.ChartShown);
    flag("ChartDrawn", g.ChartDrawn);
    num("ChartType", g.ChartType);
    v[QStringLiteral("ChartTypeName")] = g.ChartTypeName;
    num("Dir", g.Dir);
    num("Ratio", g.Ratio);
    num("RecordCount", g.RecordCount);
    num("FirstRecord", g.FirstRecord);
    num("LastRecord", g.LastRecord);
    day("FirstFileDate", g.FirstFileDate);
    day("LastFileDate", g.LastFileDate);
    num("BlankDaysRight", g.BlankDaysRight);
    flag("LeaveHolidaySpace", g.LeaveHolidaySpace);
    flag("WholeScale", g.WholeScale);
    num("PeriodLength", g.PeriodLength);
    num("LoadedCount", g.LoadedCount);
    num("TotalSlots", g.TotalSlots);
    num("ChartWidth", g.ChartWidth);
    num("ChartHeight", g.ChartHeight);
    num("PlotLeft", g.PlotLeft);
    num("PlotTop", g.PlotTop);
    num("PlotRight", g.PlotRight);
    num("PlotBottom", g.PlotBottom);
    num("SlotCount", g.SlotCount);
    num("ScaleTop", g.ScaleTop);
    num("ScaleBottom", g.ScaleBottom);
    num("ScaleRange", g.ScaleRange);
    num("BarSpacing", g.BarSpacing);
    num("ChartHigh", g.ChartHigh);
    num("ChartLow", g.ChartLow);
    num("FileHigh", g.FileHigh);
    num("FileLow", g.FileLow);
    const AnchorPixels a = s.AnchorPixelsNow();
    num("P1X", a.P1X);
    num("P1Y", a.P1Y);
    num("P2X", a.P2X);
    num("P2Y", a.P2Y);
    num("P3X", a.P3X);
    num("P3Y", a.P3Y);
    day("P1Date", g.P1Anchor.date);
    day("P2Date", g.P2Anchor.date);
    num("P1Price", g.P1Anchor.price);
    num("P2Price", g.P2Anchor.price);
    flag("P1Armed", g.P1Armed);
    flag("P2Armed", g.P2Armed);
    flag("EllipseLive", g.EllipseLive);
    flag("MouseDragging", g.MouseDragging);
    num("EllipseRadius", g.EllipseRadius);
    num("EllipseAngle", g.EllipseAngle);
    num("EllipseEndX", g.EllipseEndX);
    num("EllipseEndY", g.EllipseEndY);
    flag("HasHeaderLine", g.HasHeaderLine);
    num("DateColumn", g.DateColumn);
    num("OpenColumn", g.OpenColumn);
    num("HighColumn", g.HighColumn);
    num("LowColumn", g.LowColumn);
    num("CloseColumn", g.CloseColumn);
    num("DateFormat", g.DateFormat);
    v[QStringLiteral("FieldSeparator")] = QString(QLatin1Char(g.FieldSeparator));
    flag("NewestFirst", g.NewestFirst);
    num("FanAngle1", g.FanAngle1);
    num("FanAngle2", g.FanAngle2);
    num("FanAngle3", g.FanAngle3);
    flag("LevelValues", g.LevelValues);
    flag("Modified", s.FiguresChanged());
    v[QStringLiteral("ChartStyle")] = QLatin1String(BarStyleName(s.ChartStyle()));
    v[QStringLiteral("Timeframe")] = QLatin1String(TimeframeName(s.ChartTimeframe()));
    num("FigureCount", s.FigureCount());
    num("SelectedFigure", s.SelectedFigure());
    flag("ScaleToFigures", s.ScaleToFigures());
    flag("TimeGoalRoom", s.TimeGoalRoom());
    flag("LogScale", g.LogScale);
    flag("VolumePane", g.VolumePane);
    return v;
}
