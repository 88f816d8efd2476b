// A scanned input plotted: the chart map and the bar drawing meet whatever
// prices a file holds.
#include <QGuiApplication>
#include <algorithm>
#include <cstdint>
#include <string_view>

#include "app/session/GloVar.h"
#include "app/session/SharedInputs.h"
#include "chart/BarChart.h"
#include "chart/Canvas.h"
#include "chart/ChartMap.h"
#include "data/PriceReader.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t opts = data[0];
    const auto source =
        PriceSource::InMemory(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
    SharedState g;
    FileLayout layout;
    layout.header = (opts & 8) != 0;
    layout.dateFormat = opts % DateLayoutCount;
    const Result<FileScan> scanned = ScanPriceData(source, layout);
    if (!scanned)
        __builtin_trap(); // memory always reads
    const FileScan& scan = *scanned;
    LoadRequest req;
    req.lastRecord = scan.count;
    req.firstRecord = std::max(1, scan.count - 260);
    req.blankDaysRight = (opts & 32) ? 7 : 0;
    req.newestFirst = scan.newestFirst;
    req.recordCount = scan.count;
    const Result<LoadedRange> loaded = LoadRange(source, layout, req, g.Prices);
    if (!loaded)
        __builtin_trap();
    const LoadedRange& load = *loaded;
    g.LoadedCount = load.loadedCount;
    g.TotalSlots = load.totalSlots;
    g.BlankDaysRight = req.blankDaysRight;
    g.ChartHigh = load.high;
    g.ChartLow = load.low;
    g.ChartWidth = 240;
    g.ChartHeight = 160;
    InitDefaults(g);
    static Canvas canvas;
    if (canvas.isNull())
        canvas.create(g.ChartWidth, g.ChartHeight, true);
    PlotPriceChart(g, canvas, BarLook{});
    // Every price maps to a row held in range, never wrapped.
    const ChartMap map = CurrentChartMap(g);
    for (int i = 1; i <= g.LoadedCount; ++i) {
        const int y = map.priceToY(g.Prices[size_t(i)].Open);
        if (y < -PixelLimit || y > PixelLimit)
            __builtin_trap();
    }
    return 0;
}
