#include "tools/Figures.h"

#include <QColor>
#include <algorithm>
#include <cmath>

#include "app/GloVar.h"
#include "app/Prompts.h"
#include "chart/Canvas.h"
#include "chart/Geometry.h"

namespace {
// A line between two points given as column and height above PlotBottom.
void HeightLine(Canvas& c, long long x1, long long h1, long long x2, long long h2)
{
    const long long b = GloVar.PlotBottom;
    auto px = [](long long v) { return static_cast<int>(std::clamp<long long>(v, -1000000000, 1000000000)); };
    c.line(px(x1), px(b - h1), px(x2), px(b - h2));
}

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

void DrawSpiral(Canvas& c)
{
    const auto& g = GloVar;
    c.setPenColor(QColor(0, 0, 255));
    const long long dx = g.P2X - g.P1X, dy = g.P2Y - g.P1Y;
    const double r0 = std::sqrt(double(IntSquareSum(dx, dy)));
    if (r0 == 0)
        return;
    double k = 0;
    if (g.Ratio - g.Phi + 0.001 > 0)
        k = std::log(g.Phi) / (2 * g.Pi);
    else if (1 / g.Phi - g.Ratio + 0.001 > 0)
        k = 2 * std::log(g.Phi) / g.Pi;
    const double theta0 = DirectionAngle(double(dx), double(dy), g.Pi);
    double t = 0;
    long long px = g.P2X, ph = g.P2Y;
    for (;;) {
        t += g.SpiralStep;
        const double r = std::exp(k * t) * r0;
        if (!(g.ChartWidth >= r))
            break;
        if (std::fabs(k) < 0.001 && !(2 * g.Pi >= t))
            break;
        const double phi = g.Dir * t + theta0;
        const long long x = g.P1X + RoundPx(std::cos(phi) * r);
        const long long h = g.P1Y + RoundPx(std::sin(phi) * r);
        HeightLine(c, px, ph, x, h);
        px = x;
        ph = h;
    }
}

void DrawEllipse(Canvas& c)
{
    auto& g = GloVar;
    c.setPenColor(QColor(0, 128, 0));
    double a = 0;
    double alpha = g.EllipseAngle;
    if (g.P1X == g.LastEllipseP1X && g.P1Y == g.LastEllipseP1Y && g.P2X == g.LastEllipseP2X &&
        g.P2Y == g.LastEllipseP2Y && g.P3X == g.LastEllipseP3X && g.P3Y == g.LastEllipseP3Y &&
        g.Ratio == g.LastEllipseRatio) {
        a = g.EllipseRadius +
            g.Dir * std::sqrt(g.BarSpacing * g.BarSpacing + g.EllipseAspect * g.EllipseAspect) / 2;
    } else {
        const long long dx = g.P3X - g.P1X;
        const long long dy = (g.PlotBottom - g.P3Y) - g.P1Y;
        alpha = DirectionAngle(double(dx), double(dy), g.Pi);
        g.EllipseAngle = alpha;
        const long long ex = g.EllipseEndX - g.P1X, ey = g.EllipseEndY - g.P1Y;
        a = std::sqrt(double(IntSquareSum(ex, ey))) / 2;
    }
    const double ca = std::cos(alpha), sa = std::sin(alpha);
    const long long cx = g.P1X + RoundPx(ca * a);
    const long long ch = g.P1Y + RoundPx(sa * a);
    g.EllipseEndX = Sat16(g.P1X + (long long)RoundPx(ca * 2 * a));
    g.EllipseEndY = Sat16(g.P1Y + (long long)RoundPx(sa * 2 * a));
    g.EllipseRadius = a;
    g.LastEllipseP1X = g.P1X;
    g.LastEllipseP1Y = g.P1Y;
    g.LastEllipseP2X = g.P2X;
    g.LastEllipseP2Y = g.P2Y;
    g.LastEllipseP3X = g.P3X;
    g.LastEllipseP3Y = g.P3Y;
    g.LastEllipseRatio = g.Ratio;

    double e = 0;
    if (std::fabs(g.Ratio - 1) < 0.001)
        e = 0;
    else if (g.Ratio <= 1.001)
        e = std::sqrt(g.Ratio);
    else
        e = std::sqrt(1 - 1 / g.Ratio);
    const double b = std::sqrt(std::max(0.0, 1 - e * e)) * a;

    auto point = [&](double t, long long& x, long long& h) {
        x = cx + RoundPx(std::cos(t) * a * ca - std::sin(t) * b * sa);
        h = ch + RoundPx(std::cos(t) * a * sa + std::sin(t) * b * ca);
    };
    long long px = 0, ph = 0;
    point(g.EllipseStep, px, ph);
    int guard = 0;
    for (double t = 2 * g.EllipseStep; t <= 2 * g.Pi && ++guard < 100000; t += g.EllipseStep) {
        long long x = 0, h = 0;
        point(t, x, h);
        HeightLine(c, px, ph, x, h);
        px = x;
        ph = h;
    }
}

void DrawFanLines(Canvas& c)
{
    const auto& g = GloVar;
    const double angles[3] = {g.FanAngle1, g.FanAngle2, g.FanAngle3};
    c.setPenColor(Qt::black);
    const double s = (g.P3Y > 0 && g.PlotBottom - g.P3Y >= g.P1Y) ? 100 : -100;
    c.setPenStyle(PenStyle::Dot);
    c.line(g.P1X, g.PlotTop, g.P1X, g.PlotBottom);
    HeightLine(c, g.PlotLeft, g.P1Y, g.PlotRight, g.P1Y);
    for (double deg : angles) {
        const double a = g.Pi * deg / 180;
        const double cosA = std::cos(a);
        long long xEnd = g.ChartWidth;
        long long y = 0;
        if (!std::isfinite(a))
            continue;
        if (std::fabs(cosA) < 1e-9) {
            // Straight up or down: a vertical line to the plot's top or bottom.
            const bool up = (std::sin(a) > 0) == (s > 0);
            HeightLine(c, g.P1X, g.P1Y, g.P1X, up ? g.PlotBottom - g.PlotTop : 0);
            continue;
        }
        const double rise = std::sin(a) * double(g.ChartWidth - g.P1X) / cosA * s / 100;
        y = RoundPx(rise) + (long long)g.P1Y;
        if (!CutAtBottom(g.P1X, g.P1Y, xEnd, y))
            continue;
        HeightLine(c, g.P1X, g.P1Y, xEnd, y);
    }
    c.setPenStyle(PenStyle::Solid);
}

void DrawExtensions(Canvas& c)
{
    const auto& g = GloVar;
    c.setPenColor(QColor(0, 128, 128));
    HeightLine(c, g.P1X, g.P1Y, g.P2X, g.P2Y);
}

void DrawTimeGoals(Canvas& c)
{
    const auto& g = GloVar;
    c.setPenColor(QColor(0, 0, 128));
    HeightLine(c, g.P1X, g.P1Y, g.P2X, g.P2Y);
}

void DrawCorrections(Canvas& c, Prompts& p)
{
    const auto& g = GloVar;
    c.setPenColor(QColor(128, 0, 0));
    const long long dy = g.P2Y - g.P1Y;
    if (dy == 0) {
        p.beep();
        return;
    }
    const long long x0 = std::min(g.P1X, g.P2X);
    const long long levelA = g.P1Y + RoundPx(dy / (g.Phi * g.Phi));
    HeightLine(c, x0, levelA, g.ChartWidth, levelA);
    const long long levelB = g.P1Y + RoundPx(dy / g.Phi);
    HeightLine(c, x0, levelB, g.ChartWidth, levelB);
}

void DrawPriceRatioLine(Canvas& c, bool fromHigh)
{
    const auto& g = GloVar;
    const long long d = std::llabs(g.P2Y - g.P1Y);
    long long e = 0, s = 0, level = 0;
    if (fromHigh) {
        e = std::max(g.P1Y, g.P2Y);
        s = 1;
        level = e + RoundPx(d * g.Ratio);
    } else {
        e = std::min(g.P1Y, g.P2Y);
        s = -1;
        level = e - RoundPx(d * g.Ratio);
    }
    c.setPenStyle(PenStyle::Dot);
    const long long xR = RoundPx(g.ChartHeight * g.PriceLineFactor);
    if (g.RatioLineMode == 2) {
        HeightLine(c, g.PlotLeft, level, xR, level);
    } else if (g.RatioLineMode == 3) {
        const long long x0 = std::min(g.P1X, g.P2X);
        bool found = true;
        long long k = 0;
        if (std::fabs(g.Ratio - 1) < 0.001)
            k = e - RoundPx(double(s * d) / 2);
        else if (g.Ratio <= 1.001)
            found = false;
        else
            k = e - RoundPx(double(s * d) / g.Ratio);
        if (found)
            HeightLine(c, x0, k, xR, k);
    }
    c.setPenStyle(PenStyle::Solid);
}

void DrawTimeRatioLine(Canvas& c, bool toLeft)
{
    const auto& g = GloVar;
    const long long d = std::llabs(g.P2X - g.P1X);
    const long long t = toLeft ? std::min(g.P1X, g.P2X) - (long long)RoundPx(d * g.Ratio)
                               : std::max(g.P1X, g.P2X) + (long long)RoundPx(d * g.Ratio);
    c.setPenStyle(PenStyle::Dot);
    const int x = static_cast<int>(std::clamp<long long>(t, -1000000000, 1000000000));
    c.line(x, g.PlotBottom, x, g.PlotTop);
    c.setPenStyle(PenStyle::Solid);
}

void DrawChannel(Canvas& c, Prompts& p)
{
    const auto& g = GloVar;
    c.setPenColor(QColor(128, 0, 128));
    if (g.P1X == g.P2X) {
        p.beep();
        return;
    }
    const bool p1Left = !(g.P1X > g.P2X);
    const long long lx = p1Left ? g.P1X : g.P2X, ly = p1Left ? g.P1Y : g.P2Y;
    const long long rx = p1Left ? g.P2X : g.P1X, ry = p1Left ? g.P2Y : g.P1Y;
    const long long dx = rx - lx, dy = ry - ly;
    const double m = double(dy) / double(dx);
    const long long yW = RoundPx(m * double(g.ChartWidth - lx)) + ly;
    const long long y3 = RoundPx(m * double(g.P3X - lx)) + ly;
    const long long d = (g.PlotBottom - g.P3Y) - y3;

    auto channelLine = [&](long long k, PenStyle style) {
        c.setPenStyle(style);
        long long xEnd = g.ChartWidth, hEnd = yW + k;
        if (CutAtBottom(lx, ly + k, xEnd, hEnd))
            HeightLine(c, lx, ly + k, xEnd, hEnd);
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
    const long long r = RoundPx(double(d) * g.Ratio);
    long long o = 0;
    if (s == 1)
        o = d >= 0 ? d + r : -r;
    else
        o = d < 0 ? d + r : -r;
    channelLine(o, PenStyle::Dot);
    c.setPenStyle(PenStyle::Solid);
}

namespace {
void DrawArcPiece(Canvas& c, long long cx, long long ch, double radius, double theta, double end)
{
    const auto& g = GloVar;
    long long px = cx + RoundPx(std::cos(theta) * radius);
    long long ph = ch + RoundPx(std::sin(theta) * radius);
    int guard = 0;
    do {
        theta += g.EllipseStep;
        const long long x = cx + RoundPx(std::cos(theta) * radius);
        const long long h = ch + RoundPx(std::sin(theta) * radius);
        HeightLine(c, px, ph, x, h);
        px = x;
        ph = h;
    } while (theta < end && ++guard < 100000);
}
} // namespace

void DrawArcs(Canvas& c)
{
    const auto& g = GloVar;
    c.setPenColor(QColor(255, 0, 0));
    const long long dx = g.P2X - g.P1X, dy = g.P2Y - g.P1Y;
    const double d = std::sqrt(double(IntSquareSum(dx, dy)));
    const double alpha = DirectionAngle(double(dx), double(dy), g.Pi);
    const double half = g.ArcFactor / 2;
    const double r1 = d * g.Phi, r2 = (d * g.Phi) * g.Phi;
    DrawArcPiece(c, g.P1X, g.P1Y, r1, alpha - half, alpha + half);
    DrawArcPiece(c, g.P1X, g.P1Y, r2, alpha - half, alpha + half);
    DrawArcPiece(c, g.P2X, g.P2Y, r1, alpha + g.Pi - half, alpha + g.Pi + half);
    DrawArcPiece(c, g.P2X, g.P2Y, r2, alpha + g.Pi - half, alpha + g.Pi + half);
}
