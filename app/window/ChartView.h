#pragma once
// Image1: shows the chart bitmap and hands the mouse on. It keeps a display
// copy of the 1-bit picture and converts only the pixels that changed, when
// they are next painted.

#include <QImage>
#include <QRegion>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "chart/Readout.h"
#include "tools/AnchorTool.h"
#include "tools/FigureGeometry.h"

class Canvas;

class ChartView : public QWidget {
public:
    ChartView(Canvas& chart, QWidget* parent);

    // The chart's pixels changed within r; an empty r changes nothing.
    void chartChanged(const QRegion& r);

    std::function<void(MouseButton, int, int)> onPress;
    std::function<void(int, int)> onMove;
    std::function<void()> onRelease;
    std::function<void()> onLeave;
    // A double click of the left button (its second press also reaches onPress).
    std::function<void(int, int)> onDoubleClick;
    // The keys held at the last press, as the press event gave them.
    [[nodiscard]] Qt::KeyboardModifiers pressModifiers() const { return pressModifiers_; }
    // Whole notches of the wheel, positive away from the user, with the
    // keys held and the pointer's column.
    std::function<void(int, Qt::KeyboardModifiers, int)> onWheel;
    // The crosshair's tags at a pixel. The crosshair is drawn on the screen
    // only, never into the chart's picture, so no export or print holds it.
    std::function<std::optional<PointerTags>(int, int)> tagsAt;
    void setCrosshair(bool on);
    [[nodiscard]] bool crosshair() const { return crosshair_; }
    // Where the crosshair is drawn now, in widget pixels; empty when it is not.
    [[nodiscard]] QRegion crosshairRegion() const;
    // The Select tool's marks: the figure under the pointer, the picked
    // figure and its handles. Like the crosshair they are drawn on the
    // screen only.
    struct Overlay {
        std::vector<Segment> hover, picked;
        std::vector<QPoint> handles;
        QRect clip; // the lines are drawn within it, as the chart's own are
        bool operator==(const Overlay&) const = default;
    };
    void setOverlay(Overlay o);
    [[nodiscard]] const Overlay& overlay() const { return overlay_; }
    static constexpr int HandleSize = 7;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    Canvas& chart_;
    QImage display_;
    QRegion stale_;     // of display_, still to be copied from the chart
    int wheelRest_ = 0; // eighths of a degree short of a whole notch
    Qt::KeyboardModifiers pressModifiers_;
    bool crosshair_ = true;
    std::optional<QPoint> pointer_;
    std::optional<PointerTags> tags_;
    void followPointer(std::optional<QPoint> at);
    [[nodiscard]] QRect priceTag() const;
    [[nodiscard]] QRect dateTag() const;
    void paintCrosshair(QPainter& p) const;
    Overlay overlay_;
    [[nodiscard]] QRect overlayBounds(const Overlay& o) const;
    void paintOverlay(QPainter& p) const;
};
