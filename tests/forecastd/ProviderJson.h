// Provider answers in Open-Meteo's JSON format, written for the tests.
#pragma once

#include "daemon/ForecastRecord.h"
#include "forecastd/PlaceTable.h"
#include "forecastd/ProviderForecast.h"

#include <string>
#include <vector>

namespace forecastd_test {

struct JsonDay {
    std::string date;   // "2026-03-10"
    int code;
    double high, low;
};

struct JsonReply {
    std::string time { "2026-03-10T14:00" };
    double temperature { 5.4 };
    int code { 3 };
    int is_day { 1 };
    int utc_offset { 3600 };
    std::string zone { "CET" };
    std::string unit { "\u00B0C" };
    std::vector<JsonDay> days;
    // Today's details and the hours, written only when set (as the older request had none).
    std::string current_details; // members added to "current", e.g. ",\"wind_speed_10m\":14.0"
    std::string current_units;   // members added to "current_units"
    std::string daily_details;   // members added to "daily"
    std::string daily_units;
    std::string hourly;          // the whole "hourly" object and its units, when set

    // The detail fields of the provider's documentation, for 2026-03-10 in Berlin, and
    // 30 hours from 00:00 (the first 14 before the current time of 14:00).
    JsonReply& with_details();

    // Seven days from `first` (a date of March 2026), code and temperatures rising.
    static JsonReply week(int first_day = 10);
    std::string text() const;
};

// Berlin as places.tsv has it.
forecastd::PlaceInfo berlin();
// The reply read as forecastd reads it (a failure is a test failure).
forecastd::ProviderForecast read(const JsonReply& json);
// A feed read back as Ombrelo reads it.
ombrelo::ForecastRecord convert(const std::string& feed);

} // namespace forecastd_test
