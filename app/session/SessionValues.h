#pragma once
// The groups a session's values are kept in (the session's GloVar is made
// of them); a step of the history keeps some of them by value.

#include <QRect>
#include <QString>
#include <cstdint>
#include <numbers>
#include <optional>
#include <vector>

#include "data/PriceRecord.h"
#include "tools/ChartPoints.h"

// The values live in groups. Those the lower layers take as their inputs
// (the file layout and fan angles, the chart's map, the ellipse's memory)
// are held as those layers' own structs and named below by reference; the
// rest are the session's own groups, whose members carry the names directly.

// The loaded file, its summary and the view options that shape the plot.
struct FileValues {
    QString StartDir;
    QString WorkDir;
    QString DataFileName;
    // The file lists its newest day first (found by the scan).
    bool NewestFirst = false;
    // The field the file names as its volume (found by the scan; 0: none).
    int32_t VolumeColumn = 0;
    // View > Level values: prices, ratios and dates written beside the figures.
    bool LevelValues = false;
    // View > Log scale and View > Volume (the pane shows only when the
    // file has a volume column).
    bool LogScale = false;
    bool VolumePane = false;
    // 32-bit so long files fit.
    int32_t RecordCount = 0;
    // Day numbers; none until a scan reads them (day 0 is 30 Dec 1899, a day like any other).
    std::optional<double> FirstFileDate;
    std::optional<double> LastFileDate;
    int32_t PeriodLength = 260;
    // Loaded chart data; Prices[0] is unused so slots count from 1.
    std::vector<PriceRecord> Prices{PriceRecord{}};
    int32_t LoadedCount = 0;
    // Decimals the loaded prices are written with.
    int32_t PriceDecimals = 2;
    double ChartHigh = 0;
    double ChartLow = 0;
    double FileHigh = 0;
    double FileLow = 0;
};

// The range on the chart and how its scale is chosen: one step of the history.
struct RangeValues {
    int32_t FirstRecord = 0;
    int32_t LastRecord = 0;
    int32_t BlankDaysRight = 0;
    bool LeaveHolidaySpace = false;
    bool WholeScale = false;
    // A scale stretched by hand on the price axis, kept through moves until
    // a double click on the axis gives the automatic scale back.
    bool ManualScale = false;
    double ManualTop = 0, ManualBottom = 0;
    bool operator==(const RangeValues&) const = default;
};

// The anchors P1, P2 and the third point, each kept once in days and
// prices; their pixels (the P1X..P3Y a report shows) are worked out from
// them through the chart's map (see CurrentAnchorPixels).
struct AnchorValues {
    KeptAnchor P1Anchor, P2Anchor, P3Anchor;
    bool operator==(const AnchorValues&) const = default;
};

// The anchors' pixels as the shared values name them: P1 and P2 as column
// and height above the plot's bottom, the third point as column and image
// row; -1 where no anchor stands.
struct AnchorPixels {
    int16_t P1X = -1, P1Y = -1, P2X = -1, P2Y = -1, P3X = -1, P3Y = -1;
    bool operator==(const AnchorPixels&) const = default;
};

// The figure chosen and the choices it is drawn with.
struct FigureChoice {
    int16_t ChartType = 0;
    QString ChartTypeName;
    int32_t Dir = 1;
    double Ratio = 1 / std::numbers::phi;
    int32_t RatioLineMode = 0;
    bool EllipseLive = false;
    bool operator==(const FigureChoice&) const = default;
};

// The markers on the chart.
struct MarkerValues {
    bool P1Armed = false, P2Armed = false;
    bool P1MarkerShown = false, P2MarkerShown = false, P3MarkerShown = false;
    QRect P1MarkerRect, P2MarkerRect, P3MarkerRect;
};

// The constants the figures are built with.
struct ToolConstants {
    double Pi = std::numbers::pi;
    double Phi = std::numbers::phi;
    double SpiralStep = 0.05;
    double EllipseStep = 0.05;
    double ArcFactor = 1.4;
    double PriceLineFactor = 1.6610169491525424;
    double EllipseAspect = 1.0;
    double BarSpacing = 0;
    bool MouseDragging = false;
};

// The window: the chart image's size and its mode.
struct WindowValues {
    int32_t ChartWidth = 0;
    int32_t ChartHeight = 0;
    bool ChartShown = false;
    bool ChartDrawn = false;
    bool Monochrome = true;
    QString TitleText;
    bool FirstActivate = true;
};
