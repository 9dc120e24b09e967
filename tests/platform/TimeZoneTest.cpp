// The system's time zone by name, from TZ values and /etc/localtime link targets.
#include "platform/TimeZone.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(TimeZone, NamesAPlaceFromTzValuesAndLinkTargets)
{
    const struct {
        const char* value;
        const char* name;
    } table[] = {
        { "Asia/Tokyo", "Asia/Tokyo" },
        { ":Europe/Berlin", "Europe/Berlin" },
        { "/usr/share/zoneinfo/America/Argentina/Buenos_Aires", "America/Argentina/Buenos_Aires" },
        { "../usr/share/zoneinfo/Etc/GMT+3", "Etc/GMT+3" },
        { "/etc/localtime", "" },
        { "CET-1CEST,M3.5.0,M10.5.0/3", "" },
        { "UTC", "" },
        { "EST5EDT", "" },
        { "Europe/Berlin; rm -rf /", "" },
        { "", "" },
    };
    for (const auto& row : table)
        EXPECT_EQ(platform::time_zone_name(row.value), row.name) << row.value;

    setenv("TZ", ":Asia/Tokyo", 1);
    EXPECT_EQ(platform::system_time_zone(), "Asia/Tokyo");
    unsetenv("TZ");
}
