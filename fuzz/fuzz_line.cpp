// A price-file line: splitting under arbitrary field numbers and converting.
#include <climits>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

#include "data/LayoutDetect.h"
#include "data/Numbers.h"
#include "data/PriceReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 6)
        return 0;
    FileLayout layout;
    layout.dateColumn = int8_t(data[0]);
    layout.openColumn = int8_t(data[1]);
    layout.highColumn = int8_t(data[2]);
    layout.lowColumn = int8_t(data[3]);
    layout.closeColumn = int8_t(data[4]);
    const char seps[] = {',', ';', '\t'};
    layout.separator = seps[data[5] % 3];
    const std::string_view line(reinterpret_cast<const char*>(data) + 6, size - 6);
    LineFields f;
    SplitLine(line, layout, f);
    for (std::string_view t : {f.date, f.open, f.high, f.low, f.close}) {
        if (t.data() && (t.data() < line.data() || t.data() + t.size() > line.data() + line.size()))
            __builtin_trap();
        const std::optional<double> strict = ParsePrice(t);
        if (strict && !(*strict == *strict))
            __builtin_trap(); // a converted price is a number
        if (const std::optional<double> v = ReadPrice(t, layout.decimalComma());
            v && !std::isfinite(*v))
            __builtin_trap();
        // What the strict parser reads, the lenient one reads alike.
        if (strict && ReadPrice(t, false) != strict)
            __builtin_trap();
    }
    std::string_view rest = line;
    int guard = 0;
    while (NextField(rest, layout.separator))
        if (++guard > int(line.size()) + 1)
            __builtin_trap(); // every field consumes the line
    const std::optional<FileLayout> detected = ColumnsFromHeader(line, layout.separator, {});
    if (detected && (detected->dateColumn < 1 || detected->closeColumn < 1 ||
                     detected->dateColumn > INT16_MAX || detected->closeColumn > INT16_MAX))
        __builtin_trap(); // a named column is one the settings can hold
    // The line as header lines, split at its line ends.
    std::vector<std::string_view> lines;
    for (std::string_view r = line; !r.empty();) {
        const size_t nl = r.find('\n');
        lines.push_back(r.substr(0, nl));
        r = nl == std::string_view::npos ? std::string_view() : r.substr(nl + 1);
    }
    (void)ColumnsFromHeader(lines, layout.separator, layout);
    (void)KindOf(line, layout);
    (void)NamesOnly(line);
    for (int l = 0; l < DateLayoutCount; ++l)
        (void)ParseDate(line, l);
    (void)ScanDateField(line, layout);
    return 0;
}
