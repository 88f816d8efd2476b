// A price-file line: splitting under arbitrary field numbers and converting.
#include <cstdint>
#include <string_view>

#include "data/Numbers.h"
#include "data/PriceReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 5)
        return 0;
    FileLayout layout;
    layout.dateColumn = int8_t(data[0]);
    layout.openColumn = int8_t(data[1]);
    layout.highColumn = int8_t(data[2]);
    layout.lowColumn = int8_t(data[3]);
    layout.closeColumn = int8_t(data[4]);
    const std::string_view line(reinterpret_cast<const char*>(data) + 5, size - 5);
    LineFields f;
    SplitLine(line, layout, f);
    double v = 0;
    for (std::string_view t : {f.date, f.open, f.high, f.low, f.close}) {
        if (t.data() && (t.data() < line.data() || t.data() + t.size() > line.data() + line.size()))
            __builtin_trap();
        if (ParsePrice(t, v) && !(v == v))
            __builtin_trap(); // a converted price is a number
    }
    (void)ScanDateField(line, layout);
    return 0;
}
