#pragma once
// The figures on the chart, in dates and prices, and what was drawn of them:
// the kept ones and the one still being worked on, their elements, where
// their level labels stand and which went without one for want of room,
// the levels off the chart, the picked figure, and the figures as they were
// at the last save or open. Numbered as in the figure values file: kept
// ones first, the current one last, from 1.

#include <QRect>
#include <QStringList>
#include <optional>
#include <vector>

#include "tools/FigureGeometry.h"
#include "tools/FigureValues.h"
#include "tools/Study.h"

struct FigureStore {
    [[nodiscard]] int Count() const { return static_cast<int>(kept.size()) + (current ? 1 : 0); }
    // The figure numbered n; none when there is no such.
    [[nodiscard]] const StudyFigure* Numbered(int n) const;
    [[nodiscard]] const std::vector<FigureElement>* ElementsNumbered(int n) const;
    // Every figure, kept ones first.
    [[nodiscard]] std::vector<StudyFigure> All() const;
    // Figures are there that differ from those of the last save or open.
    [[nodiscard]] bool ChangedSinceSaved() const;
    // Every figure and what was drawn of it goes; the saved ones stay.
    void Forget();

    std::vector<StudyFigure> kept;
    std::optional<StudyFigure> current;
    // What was drawn at the last save or open, or dropped knowingly.
    std::vector<StudyFigure> saved;
    std::vector<std::vector<FigureElement>> keptElements;
    std::vector<FigureElement> currentElements;
    // The current figure as stroked, to stroke again with or without labels.
    std::vector<Figure> currentDrawn;
    // Where level labels stand: no label covers another.
    std::vector<QRect> keptLabelBoxes, currentLabelBoxes;
    QStringList keptUnlabelled, currentUnlabelled;
    QStringList keptLevelsOff;
    // The picked figure's number; 0 none.
    int selected = 0;
};
