// Any bytes as a request target: the parser never crashes, and what it lets through is a
// code of exactly 8 digits (the only query text that reaches a file name or upstream).
#include "forecastd/ForecastQuery.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view target(reinterpret_cast<const char*>(data), size);
    forecastd::ForecastQuery query = forecastd::parse_forecast_query(target);
    if (query.status != 200 && query.status != 400 && query.status != 404)
        std::abort();
    if (query.status == 200) {
        if (query.code.size() != 8 || target.size() > forecastd::max_target_length)
            std::abort();
        for (char c : query.code)
            if (c < '0' || c > '9')
                std::abort();
    }
    return 0;
}
