// The forecast cache reader on any bytes: load_from_xml must leave a record it can show,
// never crash, and keep no more than the file could describe.
#include "app/CacheFileReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    weather::CityRecord record;
    record.name = u"Berlin";
    record.code = u"02950159";
    weather::load_from_xml(record, reinterpret_cast<const char*>(data), size);
    // Every day is an element of the file, "<a/>" at the least.
    if (record.days.size() > size / 4 + 1)
        std::abort();
    if (record.name != u"Berlin")
        std::abort();
    // The details and hours are bounded and range-checked whatever the file says.
    if (record.hours.size() > ombrelo::max_hours)
        std::abort();
    for (const ombrelo::HourForecast& hour : record.hours) {
        if (hour.date <= 0 || (hour.temp != weather::no_temperature
                && (hour.temp < ombrelo::lowest_hour_temp || hour.temp > ombrelo::highest_hour_temp))
            || hour.code < -1 || hour.code > ombrelo::highest_condition
            || (hour.rain_chance && (*hour.rain_chance < 0 || *hour.rain_chance > 100)))
            std::abort();
    }
    for (const ombrelo::DetailField& field : ombrelo::detail_fields) {
        std::optional<int32_t> value = record.details.*field.member;
        if (value && (*value < field.low || *value > field.high))
            std::abort();
    }
    return 0;
}
