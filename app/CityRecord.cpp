#include "app/CityRecord.h"

namespace weather {

std::u16string cache_file_path(std::u16string_view code)
{
    return u"%app_path%//downloads//_" + std::u16string(code) + u".xml";
}

std::u16string status_file_path(std::u16string_view code)
{
    return u"%app_path%//downloads//_" + std::u16string(code) + u".status";
}

} // namespace weather
