#pragma once
// The figure input and the ellipse's memory as the shared values hold them.

struct FigureInput;
struct EllipseMemory;

[[nodiscard]] FigureInput CurrentFigureInput();
[[nodiscard]] EllipseMemory CurrentEllipseMemory();
void KeepEllipseMemory(const EllipseMemory& m);
