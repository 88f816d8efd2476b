// Reading an arbitrary fsetup.dat from memory, then writing and reading it back.
#include <cstdint>
#include <string_view>

#include "app/GloVar.h"
#include "data/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ResetSharedState();
    ReadSettings(
        PriceSource::InMemory(std::string_view(reinterpret_cast<const char*>(data), size)));
    const SharedState first = GloVar;
    const QByteArray text = SettingsText();
    ResetSharedState();
    ReadSettings(PriceSource::InMemory(std::string_view(text.constData(), size_t(text.size()))));
    const auto& g = GloVar;
    // What was read survives a write and a second read.
    if (g.HasHeaderLine != first.HasHeaderLine || g.DateColumn != first.DateColumn ||
        g.CloseColumn != first.CloseColumn || g.DateFormat != first.DateFormat ||
        g.FieldSeparator != first.FieldSeparator)
        __builtin_trap();
    return 0;
}
