#pragma once
// The figure types of the Draw menu, one row each. Everything that knows a
// figure by its number (the menus, Draw, the state report, scripts and
// studies) reads it from here; a new type is a row and its builder.

#include <span>
#include <vector>

#include "tools/FigureGeometry.h"
#include "tools/FigureValues.h"

struct FigureKind {
    int number;          // ChartType
    const char* caption; // the menu item, the window caption and the chart header
    const char* key;     // the word a study file names it by
    bool needsP2;        // fan lines stand on P1 alone
    bool redrawnByDir;   // a DIR click draws it again
    // The ellipse: sized by the memory of the last one, and its far end
    // follows the right-button drag afterwards.
    bool live;
    int ratioLineMode; // RatioLineMode after it
    // The figure, then its ratio lines, each drawn in turn. The ellipse grows
    // from the memory given (none: it starts afresh) and leaves its own there.
    std::vector<Figure> (*build)(const FigureInput& in, std::optional<EllipseMemory>& memory);
    // The third point shapes it (its values name it).
    bool usesP3;
    // What it drew, named and valued: the labels and the figure values.
    ElementReader elements;
    // Built on angles and distances: drawn in the scale of its first Draw.
    bool scaled;
    // Its lines are labelled by their mark alone (an angle, not a price).
    bool labelledByMark = false;
};

[[nodiscard]] std::span<const FigureKind> FigureKinds();
// Null for a number that is no figure (0: none chosen).
[[nodiscard]] const FigureKind* FigureKindOf(int number);
[[nodiscard]] const FigureKind* FigureKindNamed(const char* key);
// The figure the right-button drag reshapes.
[[nodiscard]] const FigureKind& LiveFigureKind();

// Strokes each part; false when the figure itself was refused.
bool StrokeFigures(Canvas& c, const std::vector<Figure>& parts);
