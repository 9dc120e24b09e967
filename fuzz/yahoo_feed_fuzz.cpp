// Any body the forecast service may answer converts into a forecast record, which then
// turns into the cache file's texts, without reading outside the body or overflowing.
#include "daemon/ByteBuffer.h"
#include "daemon/DateTimeText.h"
#include "daemon/ForecastCache.h"
#include "daemon/YahooFeed.h"

#include <cstdlib>
#include <string>
#include <unistd.h>

using namespace ombrelo;

namespace {

volatile size_t sink;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The log reads its switch from the registry: a store of the fuzzer's own unless
    // the caller chose one.
    std::string state = "/tmp/yahoo_feed_fuzz." + std::to_string(getpid());
    setenv("NALO_REGISTRY", (state + ".db").c_str(), 0);
    setenv("NALO_TEMP", "/tmp", 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ForecastRecord record;
    load_from_yahoo(record, ByteBuffer(data, size));
    size_t length = temperature_text(record.temp, true).size() + temperature_text(record.temp, false).size();
    for (const DayForecast& day : record.days) {
        length += date_time_text(day.date).size();
        length += temperature_text(day.high, false).size() + temperature_text(day.low, true).size();
    }
    // The details and hours: bounded, in range, and written as the cache file writes them.
    if (record.hours.size() > max_hours)
        std::abort();
    for (const HourForecast& hour : record.hours) {
        if ((hour.temp != no_temperature && (hour.temp < lowest_hour_temp || hour.temp > highest_hour_temp))
            || hour.code < -1 || hour.code > highest_condition)
            std::abort();
        length += date_time_text(hour.date).size();
    }
    for (const DetailField& field : detail_fields) {
        std::optional<int32_t> value = record.details.*field.member;
        if (value && (*value < field.low || *value > field.high))
            std::abort();
    }
    sink = length;
    return 0;
}
