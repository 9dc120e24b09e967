// The system's time zone by its tz database name ("Asia/Tokyo"), as the C library would
// choose it: TZ when set, else the zone /etc/localtime links to, else /etc/timezone.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Empty when no zone can be named (TZ holds a POSIX rule such as "CET-1", say).
std::string system_time_zone();
// The zone name of a TZ value or a link target: ":Europe/Berlin" and
// "/usr/share/zoneinfo/Europe/Berlin" give "Europe/Berlin"; rules and empty texts give "".
std::string time_zone_name(std::string_view value);

} // namespace platform
