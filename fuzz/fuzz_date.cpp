// ParseDate under every layout: a result is none or a real calendar day.
#include <cmath>
#include <cstdint>
#include <string_view>

#include "data/Dates.h"
#include "data/Numbers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (int layout = -1; layout <= DateLayoutCount; ++layout) {
        const std::optional<double> d = ParseDate(text, layout);
        if (d && (*d != std::floor(*d) || DayOfWeek(*d) < 1 || DayOfWeek(*d) > 7 ||
                  IsoDayText(d).isEmpty()))
            __builtin_trap();
    }
    (void)ParseInt(text);
    return 0;
}
