#pragma once
// The figure routines by their own names: each reads the shared anchor
// points and tool parameters, builds its geometry and draws it.

class Canvas;
struct FigureInput;

[[nodiscard]] FigureInput CurrentFigureInput();

void DrawSpiral(Canvas& c);
void DrawEllipse(Canvas& c);
void DrawFanLines(Canvas& c);
void DrawExtensions(Canvas& c);
// False when the points give no figure.
[[nodiscard]] bool DrawCorrections(Canvas& c);
void DrawTimeGoals(Canvas& c);
void DrawPriceRatioLine(Canvas& c, bool fromHigh);
void DrawTimeRatioLine(Canvas& c, bool toLeft);
[[nodiscard]] bool DrawChannel(Canvas& c);
void DrawArcs(Canvas& c);

// The figure of ChartType with its ratio lines; false when it was refused.
[[nodiscard]] bool DrawChosenFigure(Canvas& c);
