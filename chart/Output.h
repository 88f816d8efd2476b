#pragma once
#include <QRect>
#include <QSize>

// Where the chart lands on a printed page: enlarged by the largest whole
// factor that fits, centred; a page smaller than the chart gets it scaled
// down to fit, proportions kept.
[[nodiscard]] QRect PrintPlacement(QSize page, QSize image);
