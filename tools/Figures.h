#pragma once
// The golden-ratio figures. Each reads the shared anchor points and tool
// parameters and draws on the chart surface; nothing here clips or refuses
// beyond what is noted.

class Canvas;
class Prompts;

void DrawSpiral(Canvas& c);
void DrawEllipse(Canvas& c);
void DrawFanLines(Canvas& c);
void DrawExtensions(Canvas& c);
void DrawCorrections(Canvas& c, Prompts& p);
void DrawTimeGoals(Canvas& c);
void DrawPriceRatioLine(Canvas& c, bool fromHigh);
void DrawTimeRatioLine(Canvas& c, bool toLeft);
void DrawChannel(Canvas& c, Prompts& p);
void DrawArcs(Canvas& c);

// Direction from (0,0) to (dx,dy), heights upward; straight down when both are 0.
[[nodiscard]] double DirectionAngle(double dx, double dy, double pi);
