#pragma once
// The mouse on the chart as one state machine: a left click sets the armed
// anchor (P1 or P2) or else the third point; the right button drags the far
// end of the live ellipse. It owns the markers and the pixels beneath them.

#include <QImage>
#include <QRect>

class Canvas;

enum class MouseButton { Left, Right, Middle };

class AnchorTool {
public:
    explicit AnchorTool(Canvas& chart) : chart_(chart) {}

    enum class Effect { None, P1Set, P2Set, P3Set, DragStarted, DragMoved, DragEnded };
    struct Result {
        Effect effect = Effect::None;
        QRect changed; // pixels of the chart that changed
    };

    void armP1();
    void armP2();
    Result press(MouseButton b, int x, int y);
    // A move while the right button is held is a drag.
    Result move(int x, int y);
    Result release();

    // Markers at image pixels; P1 and P2 keep their height above PlotBottom.
    void drawP1Marker(int x, int y);
    void drawP2Marker(int x, int y);
    void drawP3Marker(int x, int y);
    // The chart was replaced: no marker background is valid any more.
    void forgetMarkers();
    void resetStore() { store_ = QImage(); }

private:
    void moveMarker(QRect& rect, bool& shown, const QColor& colour, int x, int y);
    void drawAnchorMarker(QRect& rect, bool& shown, int x, int y);

    Canvas& chart_;
    QImage store_; // the pixels under the markers
};
