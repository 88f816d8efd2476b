#include "tools/FigureGeometry.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "data/Numbers.h"

namespace {
// Collects lines between points given as column and height above the plot's bottom.
class Pen {
public:
    Pen(Figure& f, const ChartMap& map, std::optional<QColor> color,
        PenStyle style = PenStyle::Solid)
        : fig_(f), map_(map)
    {
        fig_.strokes.push_back(Stroke{color, style, {}});
    }
    void style(PenStyle s) { fig_.strokes.push_back(Stroke{std::nullopt, s, {}}); }
    void height(long long x1, long long h1, long long x2, long long h2)
    {
        row(x1, map_.heightToY(h1), x2, map_.heightToY(h2));
    }
    void row(long long x1, long long y1, long long x2, long long y2)
    {
        fig_.strokes.back().lines.push_back(
            Segment{ClampPx(x1), ClampPx(y1), ClampPx(x2), ClampPx(y2)});
    }

private:
    Figure& fig_;
    const ChartMap& map_;
};

long long IntSquareSum(long long dx, long long dy)
{
    return dx * dx + dy * dy;
}

// The end of a line from (x0, h0) towards (xEnd, hEnd), cut where it reaches
// height 0; false when it runs below height 0 all along and cannot be cut.
bool CutAtBottom(long long x0, long long h0, long long& xEnd, long long& hEnd)
{
    if (hEnd >= 0)
        return true;
    if (h0 == hEnd)
        return false;
    xEnd = RoundPx(double(h0) / double(h0 - hEnd) * double(xEnd - x0)) + x0;
    hEnd = 0;
    return true;
}

void ArcPiece(Pen& pen, const FigureInput& in, long long cx, long long ch, double radius,
              double theta, double end)
{
    long long px = cx + RoundPx(std::cos(theta) * radius);
    long long ph = ch + RoundPx(std::sin(theta) * radius);
    int guard = 0;
    do {
        theta += in.ellipseStep;
        const long long x = cx + RoundPx(std::cos(theta) * radius);
        const long long h = ch + RoundPx(std::sin(theta) * radius);
        pen.height(px, ph, x, h);
        px = x;
        ph = h;
    } while (theta < end && ++guard < 100000);
}
} // namespace

double DirectionAngle(double dx, double dy, double pi)
{
    if (dx != 0) {
        double a = std::atan(dy / dx);
        if (dx < 0)
            a += pi;
        return a;
    }
    return dy > 0 ? pi / 2 : -pi / 2;
}

Figure BuildSpiral(const FigureInput& in)
{
    Figure f;
    Pen pen(f, in.map, QColor(0, 0, 255));
    const long long dx = in.p2x - in.p1x, dy = in.p2h - in.p1h;
    const double r0 = std::sqrt(double(IntSquareSum(dx, dy)));
    if (r0 == 0)
        return f;
    double k = 0;
    if (in.ratio - in.phi + 0.001 > 0)
        k = std::log(in.phi) / (2 * in.pi);
    else if (1 / in.phi - in.ratio + 0.001 > 0)
        k = 2 * std::log(in.phi) / in.pi;
    const double theta0 = DirectionAngle(double(dx), double(dy), in.pi);
    double t = 0;
    long long px = in.p2x, ph = in.p2h;
    for (;;) {
        t += in.spiralStep;
        const double r = std::exp(k * t) * r0;
        if (!(in.chartWidth >= r))
            break;
        if (std::fabs(k) < 0.001 && !(2 * in.pi >= t))
            break;
        const double phi = in.dir * t + theta0;
        const long long x = in.p1x + RoundPx(std::cos(phi) * r);
        const long long h = in.p1h + RoundPx(std::sin(phi) * r);
        pen.height(px, ph, x, h);
        px = x;
        ph = h;
    }
    return f;
}

namespace {
// How much a repeated ellipse grows or shrinks.
double EllipseSizeStep(const FigureInput& in)
{
    return std::sqrt(in.barSpacing * in.barSpacing + in.ellipseAspect * in.ellipseAspect) / 2;
}

double EllipseAngle(const FigureInput& in)
{
    return DirectionAngle(double(in.p3x - in.p1x), double(in.map.yToHeight(in.p3y) - in.p1h),
                          in.pi);
}
} // namespace

double EllipseBaseRadius(const FigureInput& in)
{
    return std::hypot(double(in.p2x - in.p1x), double(in.p2h - in.p1h)) / 2;
}

EllipseMemory EllipseMemoryFor(const FigureInput& in, double radius)
{
    EllipseMemory m;
    m.p1x = Sat16(in.p1x);
    m.p1y = Sat16(in.p1h);
    m.p2x = Sat16(in.p2x);
    m.p2y = Sat16(in.p2h);
    m.p3x = Sat16(in.p3x);
    m.p3y = Sat16(in.p3y);
    m.ratio = in.ratio;
    m.angle = EllipseAngle(in);
    m.radius = radius - in.dir * EllipseSizeStep(in);
    return m;
}

EllipseFigure BuildEllipse(const FigureInput& in, const std::optional<EllipseMemory>& remembered)
{
    const EllipseMemory last = remembered.value_or(EllipseMemory{});
    EllipseFigure out;
    Pen pen(out.figure, in.map, QColor(0, 128, 0));
    EllipseMemory& m = out.memory;
    double a = 0;
    double alpha = last.angle;
    m.angle = last.angle;
    if (remembered && in.p1x == last.p1x && in.p1h == last.p1y && in.p2x == last.p2x &&
        in.p2h == last.p2y && in.p3x == last.p3x && in.p3y == last.p3y && in.ratio == last.ratio) {
        a = last.radius + in.dir * EllipseSizeStep(in);
    } else {
        alpha = EllipseAngle(in);
        m.angle = alpha;
        const long long ex = in.ellipseEndX - in.p1x, ey = in.ellipseEndH - in.p1h;
        a = std::sqrt(double(IntSquareSum(ex, ey))) / 2;
    }
    const double ca = std::cos(alpha), sa = std::sin(alpha);
    const long long cx = in.p1x + RoundPx(ca * a);
    const long long ch = in.p1h + RoundPx(sa * a);
    m.endX = Sat16(in.p1x + (long long)RoundPx(ca * 2 * a));
    m.endH = Sat16(in.p1h + (long long)RoundPx(sa * 2 * a));
    m.radius = a;
    m.p1x = Sat16(in.p1x);
    m.p1y = Sat16(in.p1h);
    m.p2x = Sat16(in.p2x);
    m.p2y = Sat16(in.p2h);
    m.p3x = Sat16(in.p3x);
    m.p3y = Sat16(in.p3y);
    m.ratio = in.ratio;

    double e = 0;
    if (std::fabs(in.ratio - 1) < 0.001)
        e = 0;
    else if (in.ratio <= 1.001)
        e = std::sqrt(in.ratio);
    else
        e = std::sqrt(1 - 1 / in.ratio);
    const double b = std::sqrt(std::max(0.0, 1 - e * e)) * a;

    auto point = [&](double t, long long& x, long long& h) {
        x = cx + RoundPx(std::cos(t) * a * ca - std::sin(t) * b * sa);
        h = ch + RoundPx(std::cos(t) * a * sa + std::sin(t) * b * ca);
    };
    long long px = 0, ph = 0;
    point(in.ellipseStep, px, ph);
    int guard = 0;
    for (double t = 2 * in.ellipseStep; t <= 2 * in.pi && ++guard < 100000; t += in.ellipseStep) {
        long long x = 0, h = 0;
        point(t, x, h);
        pen.height(px, ph, x, h);
        px = x;
        ph = h;
    }
    return out;
}

Figure BuildFanLines(const FigureInput& in)
{
    Figure f;
    const ChartMap& map = in.map;
    Pen pen(f, map, QColor(Qt::black), PenStyle::Dot);
    const double s = (in.p3y > 0 && map.yToHeight(in.p3y) >= in.p1h) ? 100 : -100;
    pen.row(in.p1x, map.plotTop, in.p1x, map.plotBottom);
    pen.height(map.plotLeft, in.p1h, map.plotRight, in.p1h);
    for (double deg : in.fanAngles) {
        const double a = in.pi * deg / 180;
        const double cosA = std::cos(a);
        long long xEnd = in.chartWidth;
        if (!std::isfinite(a))
            continue;
        if (std::fabs(cosA) < 1e-9) {
            // Straight up or down: a vertical line to the plot's top or bottom.
            const bool up = (std::sin(a) > 0) == (s > 0);
            pen.height(in.p1x, in.p1h, in.p1x, up ? map.plotBottom - map.plotTop : 0);
            continue;
        }
        const double rise = std::sin(a) * double(in.chartWidth - in.p1x) / cosA * s / 100;
        long long y = RoundPx(rise) + in.p1h;
        if (!CutAtBottom(in.p1x, in.p1h, xEnd, y))
            continue;
        pen.height(in.p1x, in.p1h, xEnd, y);
    }
    return f;
}

Figure BuildExtensions(const FigureInput& in)
{
    Figure f;
    Pen(f, in.map, QColor(0, 128, 128)).height(in.p1x, in.p1h, in.p2x, in.p2h);
    return f;
}

Figure BuildTimeGoals(const FigureInput& in)
{
    Figure f;
    Pen(f, in.map, QColor(0, 0, 128)).height(in.p1x, in.p1h, in.p2x, in.p2h);
    return f;
}

Figure BuildCorrections(const FigureInput& in)
{
    Figure f;
    Pen pen(f, in.map, QColor(128, 0, 0));
    const long long dy = in.p2h - in.p1h;
    if (dy == 0) {
        f.refused = true;
        return f;
    }
    const long long x0 = std::min(in.p1x, in.p2x);
    const long long levelA = in.p1h + RoundPx(dy / (in.phi * in.phi));
    pen.height(x0, levelA, in.chartWidth, levelA);
    const long long levelB = in.p1h + RoundPx(dy / in.phi);
    pen.height(x0, levelB, in.chartWidth, levelB);
    return f;
}

Figure BuildPriceRatioLine(const FigureInput& in, bool fromHigh, int mode)
{
    Figure f;
    Pen pen(f, in.map, std::nullopt, PenStyle::Dot);
    const long long d = std::llabs(in.p2h - in.p1h);
    long long e = 0, s = 0, level = 0;
    if (fromHigh) {
        e = std::max(in.p1h, in.p2h);
        s = 1;
        level = e + RoundPx(d * in.ratio);
    } else {
        e = std::min(in.p1h, in.p2h);
        s = -1;
        level = e - RoundPx(d * in.ratio);
    }
    const long long xR = RoundPx(in.chartHeight * in.priceLineFactor);
    if (mode == 2) {
        pen.height(in.map.plotLeft, level, xR, level);
    } else if (mode == 3) {
        const long long x0 = std::min(in.p1x, in.p2x);
        bool found = true;
        long long k = 0;
        if (std::fabs(in.ratio - 1) < 0.001)
            k = e - RoundPx(double(s * d) / 2);
        else if (in.ratio <= 1.001)
            found = false;
        else
            k = e - RoundPx(double(s * d) / in.ratio);
        if (found)
            pen.height(x0, k, xR, k);
    }
    return f;
}

Figure BuildTimeRatioLine(const FigureInput& in, bool toLeft)
{
    Figure f;
    const long long d = std::llabs(in.p2x - in.p1x);
    const long long t = toLeft ? std::min(in.p1x, in.p2x) - (long long)RoundPx(d * in.ratio)
                               : std::max(in.p1x, in.p2x) + (long long)RoundPx(d * in.ratio);
    Pen(f, in.map, std::nullopt, PenStyle::Dot).row(t, in.map.plotBottom, t, in.map.plotTop);
    return f;
}

Figure BuildChannel(const FigureInput& in)
{
    Figure f;
    Pen pen(f, in.map, QColor(128, 0, 128));
    if (in.p1x == in.p2x) {
        f.refused = true;
        return f;
    }
    const bool p1Left = !(in.p1x > in.p2x);
    const long long lx = p1Left ? in.p1x : in.p2x, ly = p1Left ? in.p1h : in.p2h;
    const long long rx = p1Left ? in.p2x : in.p1x, ry = p1Left ? in.p2h : in.p1h;
    const long long dx = rx - lx, dy = ry - ly;
    const double m = double(dy) / double(dx);
    const long long yW = RoundPx(m * double(in.chartWidth - lx)) + ly;
    const long long y3 = RoundPx(m * double(in.p3x - lx)) + ly;
    const long long d = in.map.yToHeight(in.p3y) - y3;

    auto channelLine = [&](long long k, PenStyle style) {
        pen.style(style);
        long long xEnd = in.chartWidth, hEnd = yW + k;
        if (CutAtBottom(lx, ly + k, xEnd, hEnd))
            pen.height(lx, ly + k, xEnd, hEnd);
    };
    channelLine(0, PenStyle::DashDot);
    channelLine(d, PenStyle::Dash);
    int s = 0;
    if (dy > 0)
        s = -1;
    else if (dy < 0)
        s = 1;
    else
        s = (d > 0) - (d < 0);
    const long long r = RoundPx(double(d) * in.ratio);
    long long o = 0;
    if (s == 1)
        o = d >= 0 ? d + r : -r;
    else
        o = d < 0 ? d + r : -r;
    channelLine(o, PenStyle::Dot);
    return f;
}

Figure BuildArcs(const FigureInput& in)
{
    Figure f;
    Pen pen(f, in.map, QColor(255, 0, 0));
    const long long dx = in.p2x - in.p1x, dy = in.p2h - in.p1h;
    const double d = std::sqrt(double(IntSquareSum(dx, dy)));
    const double alpha = DirectionAngle(double(dx), double(dy), in.pi);
    const double half = in.arcFactor / 2;
    const double r1 = d * in.phi, r2 = (d * in.phi) * in.phi;
    ArcPiece(pen, in, in.p1x, in.p1h, r1, alpha - half, alpha + half);
    ArcPiece(pen, in, in.p1x, in.p1h, r2, alpha - half, alpha + half);
    ArcPiece(pen, in, in.p2x, in.p2h, r1, alpha + in.pi - half, alpha + in.pi + half);
    ArcPiece(pen, in, in.p2x, in.p2h, r2, alpha + in.pi - half, alpha + in.pi + half);
    return f;
}

void StrokeFigure(Canvas& c, const Figure& f)
{
    for (const Stroke& s : f.strokes) {
        if (s.color)
            c.setPenColor(*s.color);
        c.setPenStyle(s.style);
        for (const Segment& l : s.lines)
            c.line(l.x1, l.y1, l.x2, l.y2);
    }
    c.setPenStyle(PenStyle::Solid);
}

LineBounds BoundsOf(const std::vector<Segment>& lines)
{
    const Segment& first = lines.front();
    LineBounds b{first.x1, first.y1, first.x1, first.y1};
    for (const Segment& s : lines)
        for (const auto& [x, y] : {std::pair{s.x1, s.y1}, std::pair{s.x2, s.y2}}) {
            b.left = std::min(b.left, x);
            b.right = std::max(b.right, x);
            b.top = std::min(b.top, y);
            b.bottom = std::max(b.bottom, y);
        }
    return b;
}
