// Reading an arbitrary fsetup.dat from memory, then writing and reading it back.
#include <cstdint>
#include <string_view>

#include "data/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Settings first = ReadSettings(
        PriceSource::InMemory(std::string_view(reinterpret_cast<const char*>(data), size)),
        Settings{});
    const QByteArray text = SettingsText(first);
    const Settings again = ReadSettings(
        PriceSource::InMemory(std::string_view(text.constData(), size_t(text.size()))), Settings{});
    // What was read survives a write and a second read.
    if (again.layout != first.layout)
        __builtin_trap();
    return 0;
}
