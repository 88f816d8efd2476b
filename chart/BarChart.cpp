#include "chart/BarChart.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <span>

#include "chart/Canvas.h"
#include "chart/ChartMap.h"
#include "chart/VolumePane.h"
#include "data/Dates.h"
#include "data/Program.h"

namespace {
// Every stride-th label, the smallest stride whose cells keep apart; the
// first alone when none does. Labels that fit are all kept.
template <class Cell> size_t LabelStride(size_t count, Cell cellOf, bool across)
{
    for (size_t stride = 1; stride < count; ++stride) {
        bool apart = true;
        for (size_t i = 0; i + stride < count && apart; i += stride) {
            const QRect a = cellOf(i), b = cellOf(i + stride);
            // One clear pixel between neighbours.
            apart = across ? a.right() + 1 < b.left() || b.right() + 1 < a.left()
                           : a.bottom() + 1 < b.top() || b.bottom() + 1 < a.top();
        }
        if (apart)
            return stride;
    }
    return std::max<size_t>(count, 1);
}

void DrawPriceLabels(Canvas& c, const ChartMap& map)
{
    const std::optional<LabelStep> step = PriceLabelStep(map.scaleRange);
    if (!step)
        return;
    const LabelStep& s = *step;
    std::vector<double> values;
    std::vector<int> decimals;
    if (map.logScale)
        values = LogLabelValues(map.scaleBottom + map.scaleRange, map.scaleBottom);
    if (!values.empty()) {
        int d = 0;
        for (double v : values)
            d = std::max(d, LabelDecimals(v));
        decimals.assign(values.size(), d);
    } else {
        values = PriceLabelValues(s, map.scaleTop, map.scaleBottom);
        decimals.assign(values.size(), s.decimals);
    }
    auto text = [&](size_t i) { return QString::asprintf("%10.*f", decimals[i], values[i]); };
    const size_t stride = LabelStride(
        values.size(),
        [&](size_t i) {
            return c.textCell(map.plotLeft - 10, map.priceToY(values[i]), TextAlign::RightBottom,
                              text(i), ChartFace::Label);
        },
        false);
    for (size_t i = 0; i < values.size(); ++i) {
        const int y = map.priceToY(values[i]);
        c.line(map.plotLeft, y, map.plotLeft - 5, y);
        // A round value of a log scale may be its very top: its label would
        // stand above the plot, under the header.
        const bool aboveThePlot =
            map.logScale &&
            c.textCell(map.plotLeft - 10, y, TextAlign::RightBottom, text(i), ChartFace::Label)
                    .top() < map.plotTop;
        if (i % stride == 0 && !aboveThePlot)
            c.textOut(map.plotLeft - 10, y, TextAlign::RightBottom, text(i), ChartFace::Label);
    }
}

void DrawDateLabels(Canvas& c, const BarChartInput& in)
{
    const ChartMap& map = in.map;
    const std::vector<int> marks = DateLabelSlots(map.slotCount, map.totalSlots);
    auto text = [&](size_t i) { return ShortDate(in.prices[static_cast<size_t>(marks[i])].Date); };
    const size_t stride = LabelStride(
        marks.size(),
        [&](size_t i) {
            return c.textCell(map.slotToX(marks[i]), map.dateAxisY() + 10, TextAlign::CenterTop,
                              text(i), ChartFace::Label);
        },
        true);
    for (size_t i = 0; i < marks.size(); ++i) {
        const int x = map.slotToX(marks[i]);
        c.line(x, map.dateAxisY(), x, map.dateAxisY() + 5);
        if (i % stride == 0)
            c.textOut(x, map.dateAxisY() + 10, TextAlign::CenterTop, text(i), ChartFace::Label);
    }
}

void DrawOhlcBars(Canvas& c, const BarChartInput& in)
{
    const ChartMap& map = in.map;
    const int tick = BarTick(map.plotWidth, map.slotCount);
    for (int i = 1; i <= in.loadedCount; ++i) {
        const PriceRecord& r = in.prices[static_cast<size_t>(i)];
        if (r.IsBlank)
            continue;
        const int x = map.slotToX(i);
        if ((r.Valid & (HighOk | LowOk)) == (HighOk | LowOk))
            c.line(x, map.priceToY(r.High), x, map.priceToY(r.Low));
        if (r.Valid & OpenOk) {
            const int y = map.priceToY(r.Open);
            c.line(x - tick, y, x, y);
        }
        if (r.Valid & CloseOk) {
            const int y = map.priceToY(r.Close);
            c.line(x, y, x + tick, y);
        }
    }
}

constexpr uint8_t AllFour = OpenOk | HighOk | LowOk | CloseOk;

// A candle spans the bar's ticks: the body from open to close, the wicks to
// high and low. In one bit, up is hollow and down filled; in colour, up is
// the up colour and down the down colour. Hollow candles keep the body open
// whenever the close is above the open, and take their colour from the
// previous close.
void DrawCandles(Canvas& c, const BarChartInput& in)
{
    const ChartMap& map = in.map;
    const BarLook& look = in.look;
    const int tick = BarTick(map.plotWidth, map.slotCount);
    std::optional<double> previousClose;
    for (int i = 1; i <= in.loadedCount; ++i) {
        const PriceRecord& r = in.prices[static_cast<size_t>(i)];
        if (r.IsBlank || (r.Valid & AllFour) != AllFour)
            continue;
        const bool up = r.Close >= r.Open;
        const bool rising =
            look.style == BarStyle::Hollow && previousClose ? r.Close >= *previousClose : up;
        previousClose = r.Close;
        const QColor ink = look.colour ? (rising ? look.up : look.down) : QColor(Qt::black);
        const bool open = up;
        const int x = map.slotToX(i);
        const int yo = map.priceToY(r.Open), yc = map.priceToY(r.Close);
        const int top = std::min(yo, yc), bottom = std::max(yo, yc);
        c.setPenColor(ink);
        c.line(x, map.priceToY(r.High), x, top);
        c.line(x, bottom, x, map.priceToY(r.Low));
        if (top == bottom) {
            c.line(x - tick, top, x + tick + 1, top); // a doji: open and close alike
            continue;
        }
        const bool filled = look.style == BarStyle::Candles && look.colour ? true : !open;
        c.setBrushColor(filled ? ink : QColor(Qt::white));
        c.rect(x - tick, top, x + tick + 1, bottom + 1);
    }
    c.setPenColor(Qt::black);
    c.setBrushColor(Qt::white);
}

void DrawCloseLine(Canvas& c, const BarChartInput& in)
{
    const ChartMap& map = in.map;
    std::optional<QPoint> last;
    for (int i = 1; i <= in.loadedCount; ++i) {
        const PriceRecord& r = in.prices[static_cast<size_t>(i)];
        if (r.IsBlank || !(r.Valid & CloseOk))
            continue;
        const QPoint here(map.slotToX(i), map.priceToY(r.Close));
        if (last)
            c.line(last->x(), last->y(), here.x(), here.y());
        last = here;
    }
}

void DrawBars(Canvas& c, const BarChartInput& in)
{
    switch (in.look.style) {
    case BarStyle::Bars: DrawOhlcBars(c, in); break;
    case BarStyle::Candles:
    case BarStyle::Hollow: DrawCandles(c, in); break;
    case BarStyle::Line: DrawCloseLine(c, in); break;
    }
}
} // namespace

namespace {
constexpr std::pair<BarStyle, const char*> BarStyleNames[] = {{BarStyle::Bars, "bars"},
                                                              {BarStyle::Candles, "candles"},
                                                              {BarStyle::Hollow, "hollow"},
                                                              {BarStyle::Line, "line"}};
} // namespace

const char* BarStyleName(BarStyle s)
{
    for (const auto& [style, name] : BarStyleNames)
        if (style == s)
            return name;
    return "bars";
}

std::optional<BarStyle> BarStyleNamed(const QString& name)
{
    for (const auto& [style, n] : BarStyleNames)
        if (name == QLatin1String(n))
            return style;
    return std::nullopt;
}

std::optional<LabelStep> PriceLabelStep(double scaleRange)
{
    if (!(scaleRange > 0) || !std::isfinite(scaleRange))
        return std::nullopt;
    double r = scaleRange / 10;
    double f = 1.0;
    int d = 0;
    // Bounded: a finite double has fewer than 700 decades.
    for (int guard = 0; (r < 1 || r >= 10) && guard < 1000; ++guard) {
        if (r < 1) {
            r *= 10;
            f *= 10;
            ++d;
        } else {
            r *= 0.1;
            f *= 0.1;
            --d;
        }
    }
    if (r < 1 || r >= 10 || !std::isfinite(f) || f == 0)
        return std::nullopt;
    int step = RoundPx(r + 0.3);
    if (step > 5) {
        step = 1;
        f *= 0.1;
        --d;
    }
    LabelStep out;
    out.f = f;
    out.decimals = std::max(d, 0);
    out.step = step;
    return out;
}

std::vector<double> PriceLabelValues(const LabelStep& s, double scaleTop, double scaleBottom)
{
    std::vector<double> values;
    const double top = std::trunc(scaleTop * s.f);
    const double bottom = std::trunc(scaleBottom * s.f);
    // Beyond this the integer label arithmetic would overflow.
    if (std::fabs(top) > 9.0e15 || std::fabs(bottom) > 9.0e15)
        return values;
    const long long kTop = (static_cast<long long>(top) / s.step) * s.step;
    const long long kBottom = (static_cast<long long>(bottom) / s.step) * s.step;
    for (long long k = kBottom; k <= kTop && values.size() < 100; k += s.step) {
        const double v = double(k) / s.f;
        if (v >= scaleBottom)
            values.push_back(v);
    }
    return values;
}

std::vector<double> LogLabelValues(double scaleTop, double scaleBottom)
{
    std::vector<double> values;
    if (!(scaleBottom > 0) || !(scaleTop > scaleBottom) || !std::isfinite(scaleTop))
        return values;
    static constexpr double coarse[] = {1, 2, 5};
    static constexpr double fine[] = {1, 1.5, 2, 3, 4, 5, 6, 7, 8, 9};
    const int low = static_cast<int>(std::floor(std::log10(scaleBottom)));
    const int high = static_cast<int>(std::ceil(std::log10(scaleTop)));
    // Beyond these the scale spans more decades than labels could mark.
    if (high - low > 60 || low < -300 || high > 300)
        return values;
    auto pick = [&](std::span<const double> mantissas) {
        values.clear();
        for (int k = low; k <= high; ++k)
            for (double m : mantissas) {
                // Whole tenths over an exact power of ten: 0.3 is the double "0.3" reads as.
                const double tenths = m * 10;
                const int e = k - 1;
                const double v = e >= 0 ? tenths * std::pow(10.0, e) : tenths / std::pow(10.0, -e);
                if (v >= scaleBottom && v <= scaleTop)
                    values.push_back(v);
            }
    };
    pick(coarse);
    if (values.size() < 4)
        pick(fine);
    if (values.size() < 4)
        values.clear();
    return values;
}

int LabelDecimals(double v)
{
    for (int d = 0; d < 12; ++d)
        if (std::fabs(v - QString::number(v, 'f', d).toDouble()) <= std::fabs(v) * 1e-12)
            return d;
    return 12;
}

std::vector<int> DateLabelSlots(double slotCount, int totalSlots)
{
    std::vector<int> picked;
    if (slotCount < 1 || totalSlots < 1)
        return picked;
    const int count = slotCount > 10 ? 10 : RoundPx(slotCount - 1);
    if (count <= 0) {
        picked.push_back(1);
        return picked;
    }
    const int stride = std::max(RoundPx(slotCount / count), 1);
    for (int n = 0; n < count; ++n) {
        const long long s = 1 + static_cast<long long>(n) * stride;
        if (s > totalSlots)
            break;
        picked.push_back(static_cast<int>(s));
    }
    return picked;
}

int BarTick(int plotWidth, double slotCount)
{
    if (slotCount <= 0)
        return 2;
    return std::max(RoundPx(plotWidth / slotCount / 3), 2);
}

void DrawPriceChart(Canvas& c, const BarChartInput& in)
{
    const ChartMap& map = in.map;
    c.setBrushColor(Qt::white);
    c.rect(0, 0, in.chartWidth, in.chartHeight);
    c.setPenColor(Qt::black);
    c.setPenStyle(PenStyle::Solid);
    if (in.cutAtPlot && map.usable()) {
        // The bars first, then paper over all that falls outside the plot.
        c.setPenWidth(1);
        DrawBars(c, in);
        c.setPenColor(Qt::white);
        c.setBrushColor(Qt::white);
        c.rect(0, 0, in.chartWidth, map.plotTop + 1);
        c.rect(0, map.plotBottom, in.chartWidth, in.chartHeight);
        c.setPenColor(Qt::black);
    }
    c.setPenWidth(2);
    c.line(map.plotLeft, map.plotTop, map.plotLeft, map.dateAxisY());
    c.line(map.plotLeft, map.plotBottom, map.plotRight, map.plotBottom);
    if (map.dateAxisY() != map.plotBottom)
        c.line(map.plotLeft, map.dateAxisY(), map.plotRight, map.dateAxisY());
    DrawPriceLabels(c, map);
    DrawDateLabels(c, in);
    c.setPenWidth(1);
    if (map.usable() && !in.cutAtPlot)
        DrawBars(c, in);
    if (in.volumePane)
        DrawVolumePane(c, in);
    DrawChartHeader(c, in);
    DrawChartFooter(c, map);
}

void DrawChartHeader(Canvas& c, const BarChartInput& in)
{
    c.setPenColor(Qt::black);
    c.rect(0, 0, in.chartWidth, in.map.plotTop - 5);
    QString text = QString::fromLatin1(MakerNotice) + QStringLiteral("    ") +
                   QFileInfo(in.fileName).fileName() + QStringLiteral(": ");
    if (in.loadedCount > 0)
        text += ShortDate(in.prices[1].Date) + QLatin1Char('-') +
                ShortDate(in.prices[static_cast<size_t>(in.loadedCount)].Date);
    else
        text += QLatin1Char('-');
    text += QStringLiteral("    ") + in.figureName;
    c.textOut(5, in.map.plotTop - 10, TextAlign::LeftBottom, text, ChartFace::Header);
}

void DrawChartFooter(Canvas& c, const ChartMap& map)
{
    c.textOut(map.plotLeft + 10, map.plotBottom - 10, TextAlign::LeftBottom,
              QString::fromLatin1(MakerWebAddress), ChartFace::Header);
}
