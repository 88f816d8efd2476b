#include "chart/Clip.h"

#include <algorithm>

std::optional<QLineF> ClipSegment(const QLineF& segment, const QRectF& r)
{
    const QPointF a = segment.p1();
    double t0 = 0, t1 = 1;
    const double dx = segment.x2() - a.x(), dy = segment.y2() - a.y();
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x() - r.left(), r.right() - a.x(), a.y() - r.top(), r.bottom() - a.y()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return std::nullopt;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return std::nullopt;
    }
    return QLineF(a + QPointF(dx * t0, dy * t0), a + QPointF(dx * t1, dy * t1));
}
