#pragma once
// The mouse on the chart as one state machine: a left click sets the armed
// anchor (P1 or P2) or else the third point; the right button drags the far
// end of the live ellipse. It owns the markers and the pixels beneath them,
// and says what each event did; the handlers keep the anchors' values.

#include <QImage>
#include <QRect>
#include <array>
#include <vector>

#include "chart/Canvas.h"

enum class MouseButton { Left, Right, Middle };

class AnchorTool {
public:
    explicit AnchorTool(Canvas& chart) : chart_(chart) {}

    enum class Armed { None, P1, P2 };
    enum class Effect { None, P1Set, P2Set, P3Set, DragStarted, DragMoved, DragEnded };
    struct Result {
        Effect effect = Effect::None;
        QRect changed; // pixels of the chart that changed
    };
    // A marker on the chart: where it is and whether it is shown.
    struct Marker {
        QRect rect;
        bool shown = false;
    };

    void armP1() { armed_ = Armed::P1; }
    void armP2() { armed_ = Armed::P2; }
    void disarm() { armed_ = Armed::None; }
    [[nodiscard]] Armed armed() const { return armed_; }
    [[nodiscard]] bool dragging() const { return dragging_; }
    Result press(MouseButton b, int x, int y);
    // A move while the right button is held is a drag.
    Result move(int x, int y);
    Result release();

    // Markers at image pixels; setting an anchor disarms it.
    void drawP1Marker(int x, int y);
    void drawP2Marker(int x, int y);
    void drawP3Marker(int x, int y);
    [[nodiscard]] const Marker& p1Marker() const { return markers_[0]; }
    [[nodiscard]] const Marker& p2Marker() const { return markers_[1]; }
    [[nodiscard]] const Marker& p3Marker() const { return markers_[2]; }
    // The chart was replaced: no marker background is valid any more.
    void forgetMarkers();

    // What the markers leave besides the anchors' values. A marker saves the
    // pixels under it and puts them back when it moves, even when the
    // picture was restored in between, so the pixels around markers depend on
    // the order of the clicks and drags that made them, not on the figures.
    struct Layer {
        std::array<Marker, 3> markers;
        std::vector<Canvas::Patch> saved; // the store under each shown marker
        std::vector<Canvas::Patch> chart; // the chart at each place of residue()
    };
    [[nodiscard]] Layer layer() const;
    // The markers, their backgrounds and those pixels as a layer kept them.
    void putLayer(const Layer& l);
    // Where markers stand or were moved away from since the chart was last
    // restored: the only places its pixels may owe anything to the markers.
    [[nodiscard]] std::vector<QRect> residue() const;
    // A new chart: nothing armed, no drag, no marker.
    void reset();
    void resetStore() { store_ = QImage(); }

private:
    void moveMarker(Marker& m, const QColor& colour, int x, int y);
    void drawAnchorMarker(Marker& m, int x, int y);

    void noteResidue(const QRect& r);

    Canvas& chart_;
    QImage store_; // the pixels under the markers
    std::array<Marker, 3> markers_;
    // Places a marker left since restore number residueAt_ of the chart.
    std::vector<QRect> moved_;
    quint64 residueAt_ = 0;
    Armed armed_ = Armed::None;
    bool dragging_ = false;
};
