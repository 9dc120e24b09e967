#include "platform/TimeZone.h"

#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace platform {

std::string time_zone_name(std::string_view value)
{
    if (value.starts_with(':'))
        value.remove_prefix(1);
    constexpr std::string_view folder = "zoneinfo/";
    if (size_t at = value.rfind(folder); at != std::string_view::npos)
        value.remove_prefix(at + folder.size());
    else if (value.starts_with('/'))
        return {};
    // A place's zone is "Area/Location" of letters, digits and "/_-+"; a rule like "CET-1",
    // "UTC" or the database's own "EST5EDT" names no place.
    if (value.empty() || value.find('/') == std::string_view::npos
        || value.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789/_-+")
            != std::string_view::npos)
        return {};
    return std::string(value);
}

std::string system_time_zone()
{
    if (const char* tz = std::getenv("TZ"); tz && *tz)
        return time_zone_name(tz);
    char target[512];
    ssize_t length = readlink("/etc/localtime", target, sizeof target - 1);
    if (length > 0) {
        std::string name = time_zone_name(std::string_view(target, size_t(length)));
        if (!name.empty())
            return name;
    }
    std::ifstream file("/etc/timezone");
    std::string line;
    if (std::getline(file, line))
        return time_zone_name(line);
    return {};
}

} // namespace platform
