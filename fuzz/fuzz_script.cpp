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
            if (const auto nt = SplitAssignment(w); nt && nt->name.isEmpty())
                __builtin_trap();
            if (const auto page = ParsePageSize(w);
                page && (page->width() < 1 || page->height() < 1))
                __builtin_trap();
            (void)ParseScriptInt(w);
        }
    }
    return 0;
}
