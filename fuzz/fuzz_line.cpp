// A price-file line: splitting under arbitrary field numbers and converting.
#include <cmath>
#include <cstdint>
#include <string_view>

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
    double v = 0;
    for (std::string_view t : {f.date, f.open, f.high, f.low, f.close}) {
        if (t.data() && (t.data() < line.data() || t.data() + t.size() > line.data() + line.size()))
            __builtin_trap();
        if (ParsePrice(t, v) && !(v == v))
            __builtin_trap(); // a converted price is a number
        if (ReadPrice(t, layout.decimalComma(), v) && !std::isfinite(v))
            __builtin_trap();
        // What the strict parser reads, the lenient one reads alike.
        double strict = 0, lenient = 0;
        if (ParsePrice(t, strict) && !(ReadPrice(t, false, lenient) && lenient == strict))
            __builtin_trap();
    }
    std::string_view rest = line, field;
    int guard = 0;
    while (NextField(rest, layout.separator, field))
        if (++guard > int(line.size()) + 1)
            __builtin_trap(); // every field consumes the line
    FileLayout detected;
    (void)ColumnsFromHeader(line, layout.separator, detected);
    (void)ScanDateField(line, layout);
    return 0;
}
