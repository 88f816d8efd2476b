#include "app/session/GloVar.h"

#include <QDir>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

FileLayout CurrentLayout(const SharedState& g)
{
    FileLayout l;
    l.header = g.HasHeaderLine;
    l.dateColumn = g.DateColumn;
    l.openColumn = g.OpenColumn;
    l.highColumn = g.HighColumn;
    l.lowColumn = g.LowColumn;
    l.closeColumn = g.CloseColumn;
    l.dateFormat = g.DateFormat;
    l.separator = g.FieldSeparator;
    return l;
}

void ApplyLayout(SharedState& g, const FileLayout& l)
{
    g.HasHeaderLine = l.header;
    g.DateColumn = Sat16(l.dateColumn);
    g.OpenColumn = Sat16(l.openColumn);
    g.HighColumn = Sat16(l.highColumn);
    g.LowColumn = Sat16(l.lowColumn);
    g.CloseColumn = Sat16(l.closeColumn);
    g.DateFormat = Sat16(l.dateFormat);
    g.FieldSeparator = l.separator;
}

Settings CurrentSettings(const SharedState& g)
{
    return Settings{CurrentLayout(g), {g.FanAngle1, g.FanAngle2, g.FanAngle3}};
}

void ApplySettings(SharedState& g, const Settings& s)
{
    ApplyLayout(g, s.layout);
    g.FanAngle1 = s.fanAngles[0];
    g.FanAngle2 = s.fanAngles[1];
    g.FanAngle3 = s.fanAngles[2];
}

void InitDefaults(SharedState& g)
{
    g.PlotLeft = 70;
    g.PlotTop = 30;
    g.PlotRight = g.ChartWidth - 10;
    g.PlotBottom = g.ChartHeight - 40;
    // The volume pane takes a fifth of the plot's height from its bottom.
    g.VolumeBottom = 0;
    if (g.VolumePane && g.VolumeColumn > 0 && g.PlotBottom - g.PlotTop >= 50) {
        g.VolumeBottom = g.PlotBottom;
        g.PlotBottom -= (g.PlotBottom - g.PlotTop) / 5;
    }
    g.SpiralStep = 0.05;
    g.EllipseStep = 0.05;
    g.ArcFactor = 1.4;
    g.PriceLineFactor = 1.6610169491525424;
}

QString WorkDirFor(const QString& startDir)
{
    if (startDir.endsWith(QLatin1Char('/')))
        return startDir;
    return startDir + QLatin1Char('/');
}

void SetCreationDefaults(SharedState& g, const QString& currentDir)
{
    g.FirstActivate = true;
    g.Pi = std::numbers::pi;
    g.TitleText = QStringLiteral("%1   Version 2.3   %2").arg(ProgramName, MakerNotice);
    g.StartDir = currentDir;
    g.WorkDir = WorkDirFor(g.StartDir);
    g.DataFileName.clear();
    g.ChartShown = false;
    g.HasHeaderLine = true;
    g.DateColumn = 1;
    g.OpenColumn = 2;
    g.HighColumn = 3;
    g.LowColumn = 4;
    g.CloseColumn = 5;
    g.DateFormat = 1;
    g.FieldSeparator = ',';
    g.NewestFirst = false;
    g.FanAngle1 = 38.0;
    g.FanAngle2 = 45.0;
    g.FanAngle3 = 62.0;
}

void SetFirstActivationDefaults(SharedState& g, int32_t periodLength, int32_t chartWidth,
                                int32_t chartHeight)
{
    g.ChartType = 0;
    g.ChartTypeName.clear();
    g.FirstRecord = g.LastRecord = g.RecordCount = 0;
    g.FirstFileDate = g.LastFileDate = std::nullopt;
    g.BlankDaysRight = 0;
    g.LeaveHolidaySpace = false;
    g.WholeScale = false;
    g.ChartDrawn = g.EllipseLive = g.MouseDragging = false;
    g.P1MarkerShown = g.P2MarkerShown = g.P3MarkerShown = false;
    g.PeriodLength = periodLength;
    g.Phi = (std::sqrt(5.0) + 1) / 2;
    g.Ratio = 1 / g.Phi;
    g.LastEllipseRatio = 0;
    g.LastEllipseP1X = g.LastEllipseP1Y = g.LastEllipseP2X = 0;
    g.LastEllipseP2Y = g.LastEllipseP3X = g.LastEllipseP3Y = 0;
    g.Dir = 1;
    g.P2X = -1;
    g.ChartWidth = chartWidth;
    g.ChartHeight = chartHeight;
}
