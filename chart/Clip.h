#pragma once
// Cutting a line to a rectangle before it is drawn or measured: a figure's
// line may end far outside the chart, anywhere a number can say.

#include <QLineF>
#include <QRectF>
#include <optional>

// The part of the segment within r, its edges included (Liang-Barsky), in
// the segment's own direction; none when no part of it is. r runs from
// left() to right() and top() to bottom(), as QRectF gives them.
[[nodiscard]] std::optional<QLineF> ClipSegment(const QLineF& segment, const QRectF& r);
