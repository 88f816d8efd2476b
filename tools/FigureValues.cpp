#include "tools/FigureValues.h"

#include <algorithm>
#include <cmath>

#include "data/Dates.h"

namespace {
std::vector<Segment> AllLines(const Figure& f)
{
    std::vector<Segment> out;
    for (const Stroke& s : f.strokes)
        out.insert(out.end(), s.lines.begin(), s.lines.end());
    return out;
}

QColor ColorOf(const Figure& f, const QColor& fallback)
{
    for (const Stroke& s : f.strokes)
        if (s.color)
            return *s.color;
    return fallback;
}

FigureElement Element(QString name, ElementShape shape, QString mark, const QColor& color,
                      std::vector<Segment> lines, std::optional<double> price = std::nullopt)
{
    return FigureElement{
        std::move(name), shape, std::move(mark), color, std::move(lines), price, {}, {}, {}};
}

// The pieces of a run of segments, split wherever one does not start where
// the last one ended.
std::vector<std::vector<Segment>> Pieces(const std::vector<Segment>& lines)
{
    std::vector<std::vector<Segment>> out;
    for (const Segment& s : lines) {
        if (out.empty() || out.back().back().x2 != s.x1 || out.back().back().y2 != s.y1)
            out.emplace_back();
        out.back().push_back(s);
    }
    return out;
}

// Whether the fan line of an angle was drawn, by the rule that draws it.
bool FanLineDrawn(const FigureInput& in, double deg)
{
    const double a = in.pi * deg / 180;
    if (!std::isfinite(a))
        return false;
    const double cosA = std::cos(a);
    if (std::fabs(cosA) < 1e-9)
        return true;
    const double s = (in.p3y > 0 && in.map.yToHeight(in.p3y) >= in.p1h) ? 100 : -100;
    const long long h =
        RoundPx(std::sin(a) * double(in.chartWidth - in.p1x) / cosA * s / 100) + in.p1h;
    return !(h < 0 && h == in.p1h);
}

// A fan line's ends worked out from P1's own price, before the drawing
// rounds them to pixels: from P1 to the image's right edge, or to where it
// reaches the plot's foot.
void FanLineEnds(FigureElement& e, const FigureInput& in, double deg, double p1)
{
    const ChartMap& map = in.map;
    const double a = in.pi * deg / 180;
    const double cosA = std::cos(a);
    const double bottom = map.yToPrice(map.plotBottom);
    if (std::fabs(cosA) < 1e-9 || map.plotHeight <= 0 || !(p1 > bottom))
        return;
    const double s = (in.p3y > 0 && map.yToHeight(in.p3y) >= in.p1h) ? 1 : -1;
    // Price per pixel across: the angle is drawn in pixels of this chart.
    const double slope = std::sin(a) / cosA * s * map.scaleRange / map.plotHeight;
    double endX = in.chartWidth;
    double endPrice = p1 + slope * (endX - double(in.p1x));
    if (endPrice < bottom && slope != 0) {
        endX = double(in.p1x) + (bottom - p1) / slope;
        endPrice = bottom;
    }
    if (!std::isfinite(endX) || !std::isfinite(endPrice))
        return;
    e.price = p1;
    e.endPrice = endPrice;
    e.slot = std::round(map.xToSlotPosition(double(in.p1x)));
    e.endSlot = std::round(map.xToSlotPosition(endX));
}

void AddLevels(std::vector<FigureElement>& out, const Figure& f, const QString& name,
               const QString& mark, const QColor& color, std::optional<double> price)
{
    for (const Segment& s : AllLines(f))
        out.push_back(Element(name, ElementShape::Level, mark, color, {s}, price));
}
} // namespace

QString RatioName(double r)
{
    // Rounded to thousandths, unless that overflows (a ratio of 1e308).
    const double rounded = std::round(r * 1000) / 1000;
    return QString::number(std::isfinite(rounded) ? rounded : r);
}

namespace {
// What every reader starts from: the figure's colour and ratio, and the
// anchors' high, low and move.
struct Common {
    QColor color;
    QString ratio;
    double high, low, move;
    Common(const std::vector<Figure>& drawn, const FigureInput& in, AnchorPrices prices)
        : color(ColorOf(drawn[0], Qt::black)), ratio(RatioName(in.ratio)),
          high(std::max(prices.p1, prices.p2)), low(std::min(prices.p1, prices.p2)),
          move(high - low)
    {
    }
};

// The figures drawn as the trend from P1 to P2 and then one part more: the
// trend's element, and what more adds for that part.
template <typename More>
std::vector<FigureElement> TrendFirst(const std::vector<Figure>& drawn, const FigureInput& in,
                                      AnchorPrices prices, More more)
{
    std::vector<FigureElement> out;
    if (drawn.empty())
        return out;
    const Common c(drawn, in, prices);
    FigureElement trend = Element(QStringLiteral("trend"), ElementShape::Slanted, QString(),
                                  c.color, AllLines(drawn[0]));
    // The trend runs from P1 to P2: its ends are the anchors themselves.
    if (prices.slot1 && prices.slot2) {
        trend.price = prices.p1;
        trend.endPrice = prices.p2;
        trend.slot = double(prices.bar1);
        trend.endSlot = double(prices.bar2);
    }
    out.push_back(std::move(trend));
    if (drawn.size() > 1)
        more(out, drawn[1], c);
    return out;
}

std::vector<FigureElement> OneCurve(const char* what, const std::vector<Figure>& drawn,
                                    const FigureInput& in, AnchorPrices prices)
{
    if (drawn.empty())
        return {};
    const Common c(drawn, in, prices);
    return {Element(QStringLiteral("%1 %2").arg(QLatin1String(what), c.ratio), ElementShape::Curve,
                    c.ratio, c.color, AllLines(drawn[0]))};
}
} // namespace

std::vector<FigureElement> SpiralElements(const std::vector<Figure>& drawn, const FigureInput& in,
                                          AnchorPrices prices)
{
    return OneCurve("spiral", drawn, in, prices);
}

std::vector<FigureElement> EllipseElements(const std::vector<Figure>& drawn, const FigureInput& in,
                                           AnchorPrices prices)
{
    return OneCurve("ellipse", drawn, in, prices);
}

std::vector<FigureElement> FanElements(const std::vector<Figure>& drawn, const FigureInput& in,
                                       AnchorPrices prices)
{
    std::vector<FigureElement> out;
    if (drawn.empty())
        return out;
    const Common c(drawn, in, prices);
    const std::vector<Segment> lines = AllLines(drawn[0]);
    size_t k = 0;
    if (k < lines.size())
        out.push_back(Element(QStringLiteral("fan vertical"), ElementShape::Vertical, QString(),
                              c.color, {lines[k++]}));
    if (k < lines.size())
        out.push_back(Element(QStringLiteral("fan 0"), ElementShape::Level, QStringLiteral("0°"),
                              c.color, {lines[k++]}, prices.p1));
    for (double deg : in.fanAngles) {
        if (!FanLineDrawn(in, deg) || k >= lines.size())
            continue;
        const QString angle = QString::number(deg);
        FigureElement e = Element(QStringLiteral("fan %1").arg(angle), ElementShape::Slanted,
                                  angle + QChar(0xB0), c.color, {lines[k++]});
        FanLineEnds(e, in, deg, prices.p1);
        out.push_back(std::move(e));
    }
    return out;
}

std::vector<FigureElement> ExtensionElements(const std::vector<Figure>& drawn,
                                             const FigureInput& in, AnchorPrices prices)
{
    return TrendFirst(drawn, in, prices, [&in](auto& out, const Figure& levels, const Common& c) {
        const bool fromHigh = in.p1h <= in.p2h;
        AddLevels(out, levels, QStringLiteral("level %1").arg(c.ratio), c.ratio, c.color,
                  fromHigh ? c.high + c.move * in.ratio : c.low - c.move * in.ratio);
    });
}

std::vector<FigureElement> CorrectionElements(const std::vector<Figure>& drawn,
                                              const FigureInput& in, AnchorPrices prices)
{
    std::vector<FigureElement> out;
    if (drawn.empty())
        return out;
    const Common c(drawn, in, prices);
    const std::vector<Segment> solid = AllLines(drawn[0]);
    const double toward = prices.p2 - prices.p1;
    const double parts[] = {1 / (in.phi * in.phi), 1 / in.phi};
    for (size_t i = 0; i < solid.size() && i < 2; ++i) {
        // Named as traders read a retracement: the part of the move given
        // back from P2, so the level 38.2% of the way from P1 is "61.8%".
        const QString r =
            QString::number(std::round((1 - parts[i]) * 1000) / 10) + QLatin1Char('%');
        out.push_back(Element(QStringLiteral("level %1").arg(r), ElementShape::Level, r, c.color,
                              {solid[i]}, prices.p1 + toward * parts[i]));
    }
    const bool half = std::fabs(in.ratio - 1) < 0.001;
    const double back = half ? 0.5 : 1 / in.ratio;
    const QString r = RatioName(back);
    if (drawn.size() > 1)
        AddLevels(out, drawn[1], QStringLiteral("level %1 from high").arg(r), r, c.color,
                  c.high - c.move * back);
    if (drawn.size() > 2)
        AddLevels(out, drawn[2], QStringLiteral("level %1 from low").arg(r), r, c.color,
                  c.low + c.move * back);
    return out;
}

std::vector<FigureElement> TimeGoalElements(const std::vector<Figure>& drawn, const FigureInput& in,
                                            AnchorPrices prices)
{
    return TrendFirst(
        drawn, in, prices, [&in, &prices](auto& out, const Figure& goals, const Common& c) {
            for (const Segment& s : AllLines(goals)) {
                FigureElement e = Element(QStringLiteral("time goal %1").arg(c.ratio),
                                          ElementShape::Vertical, c.ratio, c.color, {s});
                // The goal counted in trading days from the anchors' days, as the
                // line is measured in pixels: the same at any size or range.
                if (prices.slot1 && prices.slot2) {
                    const double b1 = double(prices.bar1), b2 = double(prices.bar2);
                    const double d = std::fabs(b2 - b1) * in.ratio;
                    e.slot = in.p1x > in.p2x ? std::min(b1, b2) - d : std::max(b1, b2) + d;
                }
                out.push_back(std::move(e));
            }
        });
}

std::vector<FigureElement> ChannelElements(const std::vector<Figure>& drawn, const FigureInput& in,
                                           AnchorPrices prices)
{
    std::vector<FigureElement> out;
    if (drawn.empty())
        return out;
    const Common c(drawn, in, prices);
    // One stroke for the colour, then the base, width and PHI lines.
    const char* names[] = {"base line", "width line", "phi line"};
    const QString marks[] = {QStringLiteral("0"), QStringLiteral("1"), c.ratio};
    size_t line = 0;
    for (size_t i = 1; i < drawn[0].strokes.size() && line < 3; ++i, ++line)
        for (const Segment& s : drawn[0].strokes[i].lines) {
            const bool flat = s.y1 == s.y2;
            QString name = QLatin1String(names[line]);
            if (line == 2)
                name += QLatin1Char(' ') + c.ratio;
            out.push_back(Element(name, flat ? ElementShape::Level : ElementShape::Slanted,
                                  marks[line], c.color, {s}));
        }
    return out;
}

std::vector<FigureElement> ArcElements(const std::vector<Figure>& drawn, const FigureInput& in,
                                       AnchorPrices prices)
{
    std::vector<FigureElement> out;
    if (drawn.empty())
        return out;
    const Common c(drawn, in, prices);
    const QString r1 = RatioName(in.phi), r2 = RatioName(in.phi * in.phi);
    const QString names[] = {QStringLiteral("arc %1").arg(r1), QStringLiteral("arc %1").arg(r2),
                             QStringLiteral("arc %1 from P2").arg(r1),
                             QStringLiteral("arc %1 from P2").arg(r2)};
    const QString marks[] = {r1, r2, r1, r2};
    const auto pieces = Pieces(AllLines(drawn[0]));
    for (size_t i = 0; i < pieces.size() && i < 4; ++i)
        out.push_back(Element(names[i], ElementShape::Curve, marks[i], c.color, pieces[i]));
    return out;
}

std::optional<double> TradingDayAt(const ChartMap& map, const std::vector<PriceRecord>& prices,
                                   long long x)
{
    if (map.plotWidth <= 0 || map.slotCount <= 0)
        return std::nullopt;
    const double exact = double(x - map.plotLeft) * map.slotCount / map.plotWidth;
    return TradingDayOfSlot(
        map, prices,
        std::isfinite(exact) ? std::clamp<long long>(std::llround(exact), -100000, 100000) : 1);
}

std::optional<double> TradingDayOfSlot(const ChartMap& map, const std::vector<PriceRecord>& prices,
                                       long long slot,
                                       std::span<const std::optional<double>> earlier)
{
    const long long last = std::min<long long>(map.totalSlots, (long long)prices.size() - 1);
    if (last < 1)
        return std::nullopt;
    slot = std::clamp<long long>(slot, -100000, 100000);
    if (slot >= 1 && slot <= last)
        return prices[size_t(slot)].Date;
    const bool after = slot > last;
    long long back = 1 - slot;
    if (!after && back <= (long long)earlier.size() && earlier[earlier.size() - size_t(back)])
        return earlier[earlier.size() - size_t(back)];
    double day = after ? prices[size_t(last)].Date : prices[1].Date;
    // Past the file's first record, weekdays on from it.
    if (!after && !earlier.empty() && earlier.front()) {
        day = *earlier.front();
        back -= (long long)earlier.size();
    }
    for (long long n = after ? slot - last : back; n > 0;) {
        day += after ? 1 : -1;
        const int wd = DayOfWeek(day);
        if (wd != 1 && wd != 7)
            --n;
    }
    return day;
}

ElementValues ValuesOf(const FigureElement& e, const ChartMap& map,
                       const std::vector<PriceRecord>& prices,
                       std::span<const std::optional<double>> earlier)
{
    ElementValues v;
    if (e.lines.empty())
        return v;
    const Segment& first = e.lines.front();
    switch (e.shape) {
    case ElementShape::Level: v.price = e.price ? *e.price : map.yToPrice(first.y1); break;
    case ElementShape::Vertical:
        v.date = e.slot ? TradingDayOfSlot(map, prices, std::llround(*e.slot), earlier)
                        : TradingDayAt(map, prices, first.x1);
        break;
    case ElementShape::Slanted: {
        const Segment& last = e.lines.back();
        v.price = e.price ? *e.price : map.yToPrice(first.y1);
        v.date = e.slot ? TradingDayOfSlot(map, prices, std::llround(*e.slot), earlier)
                        : TradingDayAt(map, prices, first.x1);
        v.endPrice = e.endPrice ? *e.endPrice : map.yToPrice(last.y2);
        v.endDate = e.endSlot ? TradingDayOfSlot(map, prices, std::llround(*e.endSlot), earlier)
                              : TradingDayAt(map, prices, last.x2);
        break;
    }
    case ElementShape::Curve: {
        const LineBounds b = BoundsOf(e.lines);
        // Worked out where the curve was built, when it was.
        v.price = e.price ? *e.price : map.yToPrice(b.top);
        v.endPrice = e.endPrice ? *e.endPrice : map.yToPrice(b.bottom);
        v.date = e.slot ? TradingDayOfSlot(map, prices, std::llround(*e.slot), earlier)
                        : TradingDayAt(map, prices, b.left);
        v.endDate = e.endSlot ? TradingDayOfSlot(map, prices, std::llround(*e.endSlot), earlier)
                              : TradingDayAt(map, prices, b.right);
        break;
    }
    }
    return v;
}
