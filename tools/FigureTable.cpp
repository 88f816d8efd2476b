#include "tools/FigureTable.h"

#include <cstring>

namespace {
std::vector<Figure> Spiral(const FigureInput& in, std::optional<EllipseMemory>&)
{
    return {BuildSpiral(in)};
}

std::vector<Figure> Ellipse(const FigureInput& in, std::optional<EllipseMemory>& memory)
{
    EllipseFigure e = BuildEllipse(in, memory);
    memory = e.memory;
    return {std::move(e.figure)};
}

std::vector<Figure> FanLines(const FigureInput& in, std::optional<EllipseMemory>&)
{
    return {BuildFanLines(in)};
}

std::vector<Figure> Extensions(const FigureInput& in, std::optional<EllipseMemory>&)
{
    return {BuildExtensions(in), BuildPriceRatioLine(in, in.p1h <= in.p2h, 2)};
}

std::vector<Figure> Corrections(const FigureInput& in, std::optional<EllipseMemory>&)
{
    return {BuildCorrections(in), BuildPriceRatioLine(in, true, 3),
            BuildPriceRatioLine(in, false, 3)};
}

std::vector<Figure> TimeGoals(const FigureInput& in, std::optional<EllipseMemory>&)
{
    return {BuildTimeGoals(in), BuildTimeRatioLine(in, in.p1x > in.p2x)};
}

std::vector<Figure> Channel(const FigureInput& in, std::optional<EllipseMemory>&)
{
    return {BuildChannel(in)};
}

std::vector<Figure> Arcs(const FigureInput& in, std::optional<EllipseMemory>&)
{
    return {BuildArcs(in)};
}

// number, caption, key, needs P2, redrawn by DIR, live, ratio line mode, builder,
// uses the third point, element reader, built on angles and distances, labelled by mark
const FigureKind Kinds[] = {
    {1, "PHI - SPIRAL", "spiral", true, true, false, 0, Spiral, false, SpiralElements, true},
    {2, "PHI - ELLIPSE", "ellipse", true, false, true, 0, Ellipse, true, EllipseElements, true},
    {3, "FAN LINES", "fan-lines", false, false, false, 0, FanLines, true, FanElements, true, true},
    {4, "EXTENSIONS", "extensions", true, false, false, 2, Extensions, false, ExtensionElements,
     false},
    {5, "CORRECTIONS", "corrections", true, false, false, 3, Corrections, false, CorrectionElements,
     false},
    {6, "TIME GOAL ANALYSIS", "time-goals", true, false, false, 2, TimeGoals, false,
     TimeGoalElements, false},
    {7, "PHI - CHANNEL", "channel", true, false, false, 0, Channel, true, ChannelElements, true},
    {8, "ARCS", "arcs", true, false, false, 0, Arcs, false, ArcElements, true},
};
} // namespace

std::span<const FigureKind> FigureKinds()
{
    return Kinds;
}

const FigureKind* FigureKindOf(int number)
{
    for (const FigureKind& k : Kinds)
        if (k.number == number)
            return &k;
    return nullptr;
}

const FigureKind* FigureKindNamed(const char* key)
{
    for (const FigureKind& k : Kinds)
        if (std::strcmp(k.key, key) == 0)
            return &k;
    return nullptr;
}

const FigureKind& LiveFigureKind()
{
    for (const FigureKind& k : Kinds)
        if (k.live)
            return k;
    return Kinds[0];
}

bool StrokeFigures(Canvas& c, const std::vector<Figure>& parts)
{
    for (const Figure& f : parts)
        StrokeFigure(c, f);
    return parts.empty() || !parts.front().refused;
}
