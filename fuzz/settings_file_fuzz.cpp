// The settings file reader on any bytes: a whole file keeps every record, a damaged one
// only records with a name and a valid city code, and an empty input is no file.
#include "app/SettingsFile.h"

#include "daemon/CityCode.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    weather::SettingsContent content = weather::SettingsFile::parse(reinterpret_cast<const char*>(data), size);
    if (size == 0 && content.state != weather::SettingsContent::State::missing)
        std::abort();
    if (content.state == weather::SettingsContent::State::damaged)
        for (const weather::SettingsEntry& entry : content.entries)
            if (entry.name.empty() || !ombrelo::is_valid_city_code(entry.code))
                std::abort();
    return 0;
}
