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
    explicit Recorder(Canvas& c)
    {
        c.setTrace([this](const QString& s) { all << s; });
    }
    QStringList all;
    [[nodiscard]] std::vector<TraceLine> lines() const;
    [[nodiscard]] QStringList texts() const;
    [[nodiscard]] QStringList starting(const QString& word) const;
    void clear() { all.clear(); }
};
