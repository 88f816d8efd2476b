// The automation script parser: line splitting, NAME=TEXT and page sizes.
#include <QString>
#include <cstdint>

#include "app/automation/ScriptParse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const auto words = SplitScriptLine(line);
        if (!words)
            continue;
        for (const QString& w : *words) {
            QString n, t;
            if (SplitAssignment(w, n, t) && n.isEmpty())
                __builtin_trap();
            int a = 0, b = 0;
            if (ParsePageSize(w, a, b) && (a < 1 || b < 1))
                __builtin_trap();
            (void)ParseScriptInt(w, a);
        }
    }
    return 0;
}
