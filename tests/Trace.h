#pragma once
// Records the drawing operations of a Canvas for geometry checks.

#include <QStringList>
#include <vector>

#include "chart/Canvas.h"

struct TraceLine {
    int x1, y1, x2, y2;
    QString pen; // the pen in force: "R G B WIDTH STYLE"
};

class Recorder {
public:
    explicit Recorder(Canvas& c) : canvas_(c)
    {
        c.setTrace([this](const QString& s) { all << s; });
    }
    QStringList all;
    // The drawing the picture is made of now: what was drawn since it was
    // last restored or plotted (the plot itself left out), without the
    // markers' crosses, and with a pen line only where a drawing's pen
    // changes. Two ways to one picture give the same list.
    [[nodiscard]] QStringList picture() const;
    [[nodiscard]] std::vector<TraceLine> lines() const;
    [[nodiscard]] QStringList starting(const QString& word) const;
    void clear() { all.clear(); }

private:
    const Canvas& canvas_;
};
