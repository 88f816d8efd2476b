#pragma once
// The golden-ratio figures as geometry: each is built by a pure function
// from its inputs and returns the lines to draw with their pens. Nothing
// here reads or writes the shared values.

#include <QColor>
#include <cstdint>
#include <numbers>
#include <optional>
#include <vector>

#include "chart/Canvas.h"
#include "chart/ChartMap.h"

struct Segment {
    int x1, y1, x2, y2; // image pixels, rows downward
    bool operator==(const Segment&) const = default;
};

// The pixels a run of lines spans, ends included; lines must not be empty.
struct LineBounds {
    int left, top, right, bottom;
};
[[nodiscard]] LineBounds BoundsOf(const std::vector<Segment>& lines);

struct Stroke {
    std::optional<QColor> color; // none: the pen colour in force
    PenStyle style = PenStyle::Solid;
    std::vector<Segment> lines;
};

struct Figure {
    // The pen colour is set even when a figure draws nothing.
    std::vector<Stroke> strokes;
    // The points give no figure (the user hears a beep).
    bool refused = false;
};

struct FigureInput {
    // P1 and P2 as column and height above the plot's bottom; the third
    // point as column and image row.
    long long p1x = 0, p1h = 0, p2x = 0, p2h = 0, p3x = 0, p3y = 0;
    int dir = 1;
    double ratio = 1 / std::numbers::phi;
    double phi = std::numbers::phi;
    double pi = std::numbers::pi;
    double fanAngles[3] = {38, 45, 62};
    int chartWidth = 0, chartHeight = 0;
    ChartMap map;
    double spiralStep = 0.05, ellipseStep = 0.05, arcFactor = 1.4;
    double priceLineFactor = 1.6610169491525424;
    double barSpacing = 0, ellipseAspect = 1.0;
    // The ellipse's far end (column, height), moved by P2 and by each ellipse.
    long long ellipseEndX = 0, ellipseEndH = 0;
};

// What an ellipse leaves for the next one: a repeat on the same points and
// ratio grows or shrinks it instead of starting afresh.
struct EllipseMemory {
    int16_t p1x = 0, p1y = 0, p2x = 0, p2y = 0, p3x = 0, p3y = 0;
    double ratio = 0;
    double radius = 0;
    double angle = 0;
    int16_t endX = 0, endH = 0;
    bool operator==(const EllipseMemory&) const = default;
};

struct EllipseFigure {
    Figure figure;
    EllipseMemory memory;
};

// Direction from (0,0) to (dx,dy), heights upward; straight down when both are 0.
[[nodiscard]] double DirectionAngle(double dx, double dy, double pi);

[[nodiscard]] Figure BuildSpiral(const FigureInput& in);
// Without a memory the ellipse starts afresh from the points.
[[nodiscard]] EllipseFigure BuildEllipse(const FigureInput& in,
                                         const std::optional<EllipseMemory>& last);
// Half the distance from P1 to P2: the size a study measures an ellipse by.
[[nodiscard]] double EllipseBaseRadius(const FigureInput& in);
// The memory under which the ellipse through these points comes out with
// the half axis given.
[[nodiscard]] EllipseMemory EllipseMemoryFor(const FigureInput& in, double radius);
[[nodiscard]] Figure BuildFanLines(const FigureInput& in);
[[nodiscard]] Figure BuildExtensions(const FigureInput& in);
[[nodiscard]] Figure BuildCorrections(const FigureInput& in);
[[nodiscard]] Figure BuildTimeGoals(const FigureInput& in);
[[nodiscard]] Figure BuildChannel(const FigureInput& in);
[[nodiscard]] Figure BuildArcs(const FigureInput& in);
// The dotted ratio levels; mode 2 spans from the plot's left, mode 3 from
// the left anchor (corrections).
[[nodiscard]] Figure BuildPriceRatioLine(const FigureInput& in, bool fromHigh, int mode);
[[nodiscard]] Figure BuildTimeRatioLine(const FigureInput& in, bool toLeft);

// Draws a figure; the pen style is solid again afterwards.
void StrokeFigure(Canvas& c, const Figure& f);
