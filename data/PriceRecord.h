#pragma once
#include <cstdint>

// One day slot of the chart.
struct PriceRecord {
    double Date = 0;
    bool IsBlank = false;
    double Open = 0;
    double High = 0;
    double Low = 0;
    double Close = 0;
    // Which prices converted; a bar never draws from a price that did not.
    uint8_t Valid = 0;
    // Traded volume, when the file has a volume column that read (VolumeOk).
    double Volume = 0;
};

enum PriceBits : uint8_t { OpenOk = 1, HighOk = 2, LowOk = 4, CloseOk = 8, VolumeOk = 16 };
