// Provider answers in Open-Meteo's JSON format, written for the tests.
#pragma once

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

    // Seven days from `first` (a date of March 2026), code and temperatures rising.
    static JsonReply week(int first_day = 10);
    std::string text() const;
};

} // namespace forecastd_test
