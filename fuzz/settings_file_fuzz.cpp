// The settings file reader on any bytes: a list of at most the wanted length, or none,
// and never the advertising slot's name.
#include "app/SettingsFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto entries = weather::SettingsFile::parse(reinterpret_cast<const char*>(data), size, 9);
    if (!entries)
        return 0;
    if (entries->size() > 9)
        std::abort();
    for (const weather::SettingsEntry& entry : *entries)
        if (entry.name == u"empty")
            std::abort();
    return 0;
}
