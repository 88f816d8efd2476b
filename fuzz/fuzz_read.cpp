// A price file in memory: the layout check, the scan and the load of its
// last period, under the layout the first byte picks.
#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include <QUtf8StringView>

#include "data/LayoutDetect.h"
#include "data/PriceReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t opts = data[0];
    const auto source =
        PriceSource::InMemory(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
    FileLayout layout;
    layout.dateFormat = opts % DateLayoutCount;
    layout.header = (opts & 8) != 0;
    const char seps[] = {',', ';', '\t'};
    layout.separator = seps[(opts >> 6) % 3];
    const Result<LayoutCheck> check = CheckLayout(source, layout);
    if (!check)
        __builtin_trap(); // memory always reads
    if (check->outcome == LayoutCheck::Detected)
        layout = check->layout;
    // Text decoded from another encoding comes out as UTF-8, line by line.
    {
        LineReader reader;
        if (!reader.open(source))
            __builtin_trap();
        std::optional<std::string_view> line;
        for (int n = 0; n < 50 && !reader.encoding().isEmpty() && (line = reader.next()); ++n)
            if (!QUtf8StringView(*line).isValidUtf8())
                __builtin_trap();
    }
    const Result<FileScan> scanned = ScanPriceData(source, layout);
    if (!scanned || scanned->count < 1)
        __builtin_trap();
    const FileScan& scan = *scanned;
    LoadRequest req;
    req.lastRecord = scan.count;
    req.firstRecord = std::max(1, scan.count - 260);
    req.holidaySpace = (opts & 16) != 0;
    req.blankDaysRight = (opts & 32) ? 50 : 0;
    req.newestFirst = scan.newestFirst;
    req.recordCount = scan.count;
    std::vector<PriceRecord> prices;
    const Result<LoadedRange> loaded = LoadRange(source, layout, req, prices);
    if (!loaded)
        __builtin_trap();
    const LoadedRange& load = *loaded;
    if (int64_t(prices.size()) != int64_t(load.totalSlots) + 1 ||
        load.loadedCount > load.totalSlots)
        __builtin_trap();
    if (load.unreadable > 0 && load.firstUnreadable.number < 1)
        __builtin_trap();
    return 0;
}
