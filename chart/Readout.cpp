#include "chart/Readout.h"

#include <QDate>
#include <QLocale>
#include <algorithm>
#include <cmath>

#include "chart/ChartMap.h"
#include "data/Dates.h"

namespace {
constexpr int MaxDecimals = 8;
constexpr int LongNumberDecimals = 6;

// Whether v written with d decimals reads back as v.
bool WritesExactly(double v, int d)
{
    const double scaled = v * std::pow(10.0, d);
    return std::fabs(scaled - std::round(scaled)) <= 1e-9 * std::max(1.0, std::fabs(scaled));
}
} // namespace

std::optional<Readout> ReadoutAt(const ChartMap& map, std::span<const PriceRecord> prices, int x,
                                 int y)
{
    if (!map.insidePlot(x, y))
        return std::nullopt;
    return Readout{ShortDate(SlotDateAt(map, prices, x)),
                   QString::asprintf("%10.5f", map.yToPrice(y)),
                   QStringLiteral("%1 : %2").arg(x).arg(y)};
}

QString BarText(const PriceRecord& r, int decimals)
{
    if (!std::isfinite(r.Date) || std::fabs(r.Date) > 3.0e6)
        return QString();
    const QDate day = QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(r.Date)));
    // English names whatever the locale, so the text reads alike everywhere.
    QString text = QLocale::c().toString(day, QStringLiteral("ddd d MMM yyyy"));
    if (r.IsBlank)
        return text;
    const std::pair<uint8_t, std::pair<char, double>> parts[] = {{OpenOk, {'O', r.Open}},
                                                                 {HighOk, {'H', r.High}},
                                                                 {LowOk, {'L', r.Low}},
                                                                 {CloseOk, {'C', r.Close}}};
    for (const auto& [bit, part] : parts)
        if (r.Valid & bit)
            text += QStringLiteral("  %1 %2")
                        .arg(QLatin1Char(part.first))
                        .arg(part.second, 0, 'f', decimals);
    return text;
}

int PriceDecimalsOf(const std::vector<PriceRecord>& prices, int count)
{
    int d = 0;
    const int last = std::min<int>(count, int(prices.size()) - 1);
    for (int k = 1; k <= last; ++k) {
        const PriceRecord& r = prices[size_t(k)];
        if (r.IsBlank)
            continue;
        const std::pair<uint8_t, double> parts[] = {
            {OpenOk, r.Open}, {HighOk, r.High}, {LowOk, r.Low}, {CloseOk, r.Close}};
        for (const auto& [bit, v] : parts) {
            if (!(r.Valid & bit))
                continue;
            while (d < MaxDecimals && !WritesExactly(v, d))
                ++d;
            // Written with more digits than eight decimals hold (a spreadsheet's
            // 16 significant digits): the last of them are noise, not price.
            if (d == MaxDecimals && !WritesExactly(v, d))
                return LongNumberDecimals;
        }
    }
    return d;
}
