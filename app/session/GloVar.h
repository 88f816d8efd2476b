#pragma once
// The values a chart session works on, by the names the handlers use. Each
// ChartSession owns one set (its member GloVar), so sessions side by side
// never share them; the free functions below take the set they work on.

#include <QRect>
#include <QString>
#include <cstdint>
#include <numbers>
#include <optional>
#include <vector>

#include "app/session/SessionValues.h"
#include "chart/ChartMap.h"
#include "data/FileLayout.h"
#include "data/Numbers.h"
#include "data/PriceRecord.h"
#include "data/Program.h"
#include "data/Settings.h"
#include "tools/FigureGeometry.h"

struct SharedState : FileValues,
                     RangeValues,
                     AnchorValues,
                     FigureChoice,
                     MarkerValues,
                     ToolConstants,
                     WindowValues {
    SharedState() = default;
    // The names below refer into this object's own groups: a copy would
    // point into the original, so the groups are copied instead.
    SharedState(const SharedState&) = delete;
    SharedState& operator=(const SharedState&) = delete;

    // The price file layout and the fan angles, as fsetup.dat keeps them.
    Settings settings;
    // The plot's edges and the price scale of the last plot.
    ChartMap map;
    // What the last ellipse leaves for the next one, and its far end.
    EllipseMemory ellipse;

    bool& HasHeaderLine = settings.layout.header;
    int& DateColumn = settings.layout.dateColumn;
    int& OpenColumn = settings.layout.openColumn;
    int& HighColumn = settings.layout.highColumn;
    int& LowColumn = settings.layout.lowColumn;
    int& CloseColumn = settings.layout.closeColumn;
    int& DateFormat = settings.layout.dateFormat;
    // Comma, semicolon or tab; with a semicolon a comma in a price is its decimal point.
    char& FieldSeparator = settings.layout.separator;
    double& FanAngle1 = settings.fanAngles[0];
    double& FanAngle2 = settings.fanAngles[1];
    double& FanAngle3 = settings.fanAngles[2];

    int& PlotLeft = map.plotLeft;
    int& PlotTop = map.plotTop;
    int& PlotRight = map.plotRight;
    int& PlotBottom = map.plotBottom;
    int& PlotWidth = map.plotWidth;
    int& PlotHeight = map.plotHeight;
    double& SlotCount = map.slotCount;
    int& TotalSlots = map.totalSlots;
    double& ScaleTop = map.scaleTop;
    double& ScaleBottom = map.scaleBottom;
    double& ScaleRange = map.scaleRange;
    // Prices on a log scale (View > Log scale, when every price is above zero).
    bool& ScaleIsLog = map.logScale;
    // The volume pane under the plot: its bottom is the date axis (0: no pane).
    int& VolumeBottom = map.axisBottom;

    int16_t& LastEllipseP1X = ellipse.p1x;
    int16_t& LastEllipseP1Y = ellipse.p1y;
    int16_t& LastEllipseP2X = ellipse.p2x;
    int16_t& LastEllipseP2Y = ellipse.p2y;
    int16_t& LastEllipseP3X = ellipse.p3x;
    int16_t& LastEllipseP3Y = ellipse.p3y;
    double& LastEllipseRatio = ellipse.ratio;
    double& EllipseRadius = ellipse.radius;
    double& EllipseAngle = ellipse.angle;
    int16_t& EllipseEndX = ellipse.endX;
    int16_t& EllipseEndY = ellipse.endH;
};

// The price file layout in force; the decimal mark is left to each file's numbers.
[[nodiscard]] inline const FileLayout& CurrentLayout(const SharedState& g)
{
    return g.settings.layout;
}
void ApplyLayout(SharedState& g, const FileLayout& l);

// Plot rectangle and tool constants, applied before every plot.
void InitDefaults(SharedState& g);

// Creation values up to (not including) reading fsetup.dat.
void SetCreationDefaults(SharedState& g, const QString& currentDir);

// The values the first activation sets, given the chart image size.
void SetFirstActivationDefaults(SharedState& g, int32_t periodLength, int32_t chartWidth,
                                int32_t chartHeight);

// WorkDir rule: exactly one trailing separator.
[[nodiscard]] QString WorkDirFor(const QString& startDir);
