#include "chart/Readout.h"

#include "chart/ChartMap.h"
#include "data/Dates.h"

std::optional<Readout> ReadoutAt(int x, int y)
{
    const ChartMap map = ChartMap::Current();
    if (!map.insidePlot(x, y))
        return std::nullopt;
    return Readout{ShortDate(SlotDateAt(x)), QString::asprintf("%10.5f", map.yToPrice(y)),
                   QStringLiteral("%1 : %2").arg(x).arg(y)};
}
