#include "app/session/GloVar.h"

#include <QDir>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

void ApplyLayout(SharedState& g, const FileLayout& l)
{
    g.settings.layout = l;
    g.settings.layout.decimal = 0;
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
    g.settings = Settings{};
    g.NewestFirst = false;
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
    g.P2Anchor.placed = false;
    g.ChartWidth = chartWidth;
    g.ChartHeight = chartHeight;
}
