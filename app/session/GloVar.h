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

#include "data/FileLayout.h"
#include "data/Numbers.h"
#include "data/PriceRecord.h"
#include "data/Program.h"
#include "data/Settings.h"

struct SharedState {
    // Files and text layout settings
    QString StartDir;
    QString WorkDir;
    QString DataFileName;
    bool HasHeaderLine = true;
    int16_t DateColumn = 1;
    int16_t OpenColumn = 2;
    int16_t HighColumn = 3;
    int16_t LowColumn = 4;
    int16_t CloseColumn = 5;
    int16_t DateFormat = 1;
    // Comma, semicolon or tab; with a semicolon a comma in a price is its decimal point.
    char FieldSeparator = ',';
    // The file lists its newest day first (found by the scan).
    bool NewestFirst = false;
    // The field the file names as its volume (found by the scan; 0: none).
    int32_t VolumeColumn = 0;
    double FanAngle1 = 38.0;
    double FanAngle2 = 45.0;
    double FanAngle3 = 62.0;
    // View > Level values: prices, ratios and dates written beside the figures.
    bool LevelValues = false;
    // View > Log scale and View > Volume (the pane shows only when the
    // file has a volume column).
    bool LogScale = false;
    bool VolumePane = false;

    // File summary and chart range (32-bit so long files fit)
    int32_t RecordCount = 0;
    // Day numbers; none until a scan reads them (day 0 is 30 Dec 1899, a day like any other).
    std::optional<double> FirstFileDate;
    std::optional<double> LastFileDate;
    int32_t FirstRecord = 0;
    int32_t LastRecord = 0;
    int32_t BlankDaysRight = 0;
    bool LeaveHolidaySpace = false;
    bool WholeScale = false;
    int32_t PeriodLength = 260;

    // Loaded chart data; Prices[0] is unused so slots count from 1.
    std::vector<PriceRecord> Prices{PriceRecord{}};
    int32_t LoadedCount = 0;
    // Decimals the loaded prices are written with.
    int32_t PriceDecimals = 2;
    int32_t TotalSlots = 0;
    double ChartHigh = 0;
    double ChartLow = 0;
    double FileHigh = 0;
    double FileLow = 0;

    // Chart geometry
    int32_t ChartWidth = 0;
    int32_t ChartHeight = 0;
    int32_t PlotLeft = 70;
    int32_t PlotTop = 30;
    int32_t PlotRight = 0;
    int32_t PlotBottom = 0;
    double BarSpacing = 0;
    double SlotCount = 0;
    double ScaleTop = 0;
    double ScaleBottom = 0;
    int32_t PlotWidth = 0;
    int32_t PlotHeight = 0;
    double ScaleRange = 0;
    // Prices on a log scale (View > Log scale, when every price is above zero).
    bool ScaleIsLog = false;
    // A scale stretched by hand on the price axis, kept through moves until
    // a double click on the axis gives the automatic scale back.
    bool ManualScale = false;
    double ManualTop = 0, ManualBottom = 0;
    // The volume pane under the plot: its bottom is the date axis (0: no pane).
    int32_t VolumeBottom = 0;

    // Anchor points and markers
    int16_t P1X = -1, P1Y = -1, P2X = -1, P2Y = -1, P3X = -1, P3Y = -1;
    std::optional<double> P1Date, P2Date; // none: no anchor chosen
    double P1Price = 0, P2Price = 0;
    bool P1Armed = false, P2Armed = false;
    bool P1MarkerShown = false, P2MarkerShown = false, P3MarkerShown = false;
    QRect P1MarkerRect, P2MarkerRect, P3MarkerRect;

    // Tool parameters and figure state
    int16_t ChartType = 0;
    QString ChartTypeName;
    int32_t Dir = 1;
    double Pi = std::numbers::pi;
    double Phi = std::numbers::phi;
    double Ratio = 1 / std::numbers::phi;
    int32_t RatioLineMode = 0;
    double SpiralStep = 0.05;
    double EllipseStep = 0.05;
    double ArcFactor = 1.4;
    double PriceLineFactor = 1.6610169491525424;
    double EllipseAspect = 1.0;
    double EllipseAngle = 0;
    double EllipseRadius = 0;
    int16_t EllipseEndX = 0, EllipseEndY = 0;
    int16_t LastEllipseP1X = 0, LastEllipseP1Y = 0, LastEllipseP2X = 0, LastEllipseP2Y = 0,
            LastEllipseP3X = 0, LastEllipseP3Y = 0;
    double LastEllipseRatio = 0;
    bool EllipseLive = false;
    bool MouseDragging = false;

    // Window mode
    bool ChartShown = false;
    bool ChartDrawn = false;
    bool Monochrome = true;
    QString TitleText;
    bool FirstActivate = true;
};

// The price file layout and fsetup.dat's values as the shared values hold them.
[[nodiscard]] FileLayout CurrentLayout(const SharedState& g);
void ApplyLayout(SharedState& g, const FileLayout& l);
[[nodiscard]] Settings CurrentSettings(const SharedState& g);
void ApplySettings(SharedState& g, const Settings& s);

// Plot rectangle and tool constants, applied before every plot.
void InitDefaults(SharedState& g);

// Creation values up to (not including) reading fsetup.dat.
void SetCreationDefaults(SharedState& g, const QString& currentDir);

// The values the first activation sets, given the chart image size.
void SetFirstActivationDefaults(SharedState& g, int32_t periodLength, int32_t chartWidth,
                                int32_t chartHeight);

// WorkDir rule: exactly one trailing separator.
[[nodiscard]] QString WorkDirFor(const QString& startDir);
