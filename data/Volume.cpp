#include "data/Volume.h"

#include <cmath>

#include "data/HeaderNames.h"
#include "data/Numbers.h"
#include "data/PriceReader.h"

std::optional<double> ReadVolume(std::string_view text, bool decimalComma)
{
    std::string_view t = TrimBlanks(text);
    if (t.size() >= 2 && t.front() == '"' && t.back() == '"')
        t = TrimBlanks(t.substr(1, t.size() - 2));
    double factor = 1;
    if (!t.empty()) {
        switch (t.back()) {
        case 'k':
        case 'K': factor = 1e3; break;
        case 'm':
        case 'M': factor = 1e6; break;
        case 'b':
        case 'B': factor = 1e9; break;
        default: break;
        }
        if (factor != 1)
            t = TrimBlanks(t.substr(0, t.size() - 1));
    }
    if (t.empty())
        return std::nullopt;
    const std::optional<double> v = ReadPrice(t, decimalComma);
    if (!v || *v < 0 || !std::isfinite(*v * factor))
        return std::nullopt;
    return *v * factor;
}

int VolumeColumnIn(std::string_view header, const FileLayout& layout)
{
    for (int k = 1;
         const std::optional<std::string_view> field = NextField(header, layout.separator); ++k) {
        if (k == layout.dateColumn || k == layout.openColumn || k == layout.highColumn ||
            k == layout.lowColumn || k == layout.closeColumn)
            continue;
        if (ColumnOf(NormalName(*field)) == Column::Volume)
            return k;
    }
    return 0;
}

int VolumeColumnOfFile(const PriceSource& source, const FileLayout& layout)
{
    if (!layout.header)
        return 0;
    LineReader reader;
    if (!reader.open(source))
        return 0;
    const std::optional<std::string_view> line = reader.next();
    return line ? VolumeColumnIn(*line, layout) : 0;
}

QString VolumeText(double v)
{
    // Three significant digits first, so that 999,999,999.9 is written 1B.
    v = QString::number(v, 'g', 3).toDouble();
    static constexpr std::pair<double, char> units[] = {{1e9, 'B'}, {1e6, 'M'}, {1e3, 'K'}};
    for (const auto& [size, letter] : units)
        if (std::fabs(v) >= size) {
            const double n = v / size;
            // Three significant digits: 2.51B, 41.2M, 950K.
            const int decimals = n >= 100 ? 0 : n >= 10 ? 1 : 2;
            QString text = QString::number(n, 'f', decimals);
            if (text.contains(QLatin1Char('.'))) {
                while (text.endsWith(QLatin1Char('0')))
                    text.chop(1);
                if (text.endsWith(QLatin1Char('.')))
                    text.chop(1);
            }
            return text + QLatin1Char(letter);
        }
    return QString::number(v, 'f', 0);
}
