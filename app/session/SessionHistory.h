#pragma once
// Edit > Undo and Redo as values: the steps kept before each action, newest
// last, the steps an undo leaves for redo, and how deep the actions running
// now are nested. The session takes and restores the snapshots; this class
// only keeps them.

#include <QRect>
#include <QString>
#include <deque>
#include <optional>
#include <vector>

#include "app/session/SessionValues.h"
#include "app/session/UiModel.h"
#include "app/session/ViewToggles.h"
#include "chart/Canvas.h"
#include "chart/ChartMap.h"
#include "chart/Timeframe.h"
#include "tools/AnchorTool.h"
#include "tools/Study.h"

class SessionHistory {
public:
    static constexpr int Limit = 100;

    // The figures, anchors and range at one moment: what a step gives back.
    struct Snapshot {
        // What an action changes: when they are equal, nothing happened.
        struct Values {
            bool chartShown = false;
            int periodIndex = 0;
            RangeValues range;
            AnchorValues anchors;
            FigureChoice figure;
            EllipseMemory ellipse;
            std::vector<StudyFigure> kept;
            std::optional<StudyFigure> current;
            bool p1Shown = false, p2Shown = false, p3Shown = false;
            Timeframe timeframe = Timeframe::Daily;
            bool logScale = false;
            bool operator==(const Values&) const = default;
        } values;
        // What follows from them, put back with them. The anchors in dates
        // and prices, for a chart drawn otherwise.
        double fileHigh = 0, fileLow = 0;
        StudyPoint p1, p2, p3;
        // The anchors' pixels on the chart they were taken on.
        AnchorPixels pixels;
        bool p1Armed = false, p2Armed = false;
        // The memory the live ellipse's last drag move grew from.
        std::optional<EllipseMemory> dragMemory;
        // The figure type the chart's header names: the one of its plot.
        QString plottedTypeName;
        ChartMap map;
        UiModel ui;
        // The pixels the markers' order of moves leaves, on the chart and
        // in the base picture: put back over a replay on the same chart.
        bool monochrome = false;
        AnchorTool::Layer markers;
        std::vector<Canvas::Patch> baseResidue;
        int selected = 0;
        ViewToggles::FigureRoom room;
    };
    struct Step {
        QString name;
        Snapshot state;
    };

    // An action begins; true when it is the outermost one and steps are
    // recorded, so it keeps the step when it ends.
    bool enter() { return stepDepth_++ == 0 && quiet_ == 0; }
    void leave() { --stepDepth_; }
    // No action runs and none is hushed: a drag may take its snapshot.
    [[nodiscard]] bool recording() const { return stepDepth_ == 0 && quiet_ == 0; }
    // While hushed (replays, studies) nothing is kept.
    void hush() { ++quiet_; }
    void unhush() { --quiet_; }
    [[nodiscard]] bool hushed() const { return quiet_ > 0; }

    // The state before a step named name: the oldest beyond Limit goes, and
    // what was undone can no longer be redone.
    void keep(const QString& name, Snapshot before);
    // The newest step to undo, its place on the redo side taken by now.
    // Only when canUndo().
    [[nodiscard]] Step undo(Snapshot now);
    [[nodiscard]] Step redo(Snapshot now);
    void clear();

    [[nodiscard]] bool canUndo() const { return !undo_.empty(); }
    [[nodiscard]] bool canRedo() const { return !redo_.empty(); }
    [[nodiscard]] int depth() const { return static_cast<int>(undo_.size()); }
    // "Undo Clear", or "Undo" alone when there is nothing to undo.
    [[nodiscard]] QString undoCaption() const;
    [[nodiscard]] QString redoCaption() const;
    // Steps kept so far, to tell whether an action kept one.
    [[nodiscard]] long long stepsKept() const { return stepsKept_; }

    // A Reset waits for the next Plot, which joins it as one step.
    void setResetPending(bool pending) { resetPending_ = pending; }
    // Whether a Reset waits to be joined (and is kept), taken.
    [[nodiscard]] bool takePendingReset();
    // The newest step to undo; only when canUndo().
    [[nodiscard]] Step& newest() { return undo_.back(); }
    void dropRedo() { redo_.clear(); }

private:
    std::deque<Step> undo_;
    std::vector<Step> redo_;
    int stepDepth_ = 0;
    int quiet_ = 0;
    bool resetPending_ = false;
    long long stepsKept_ = 0;
};
