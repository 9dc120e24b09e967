// Where forecasts come from: the live provider or recorded replies.
#pragma once

#include "forecastd/PlaceTable.h"
#include "forecastd/ProviderForecast.h"

#include <string>

namespace forecastd {

struct FetchResult {
    bool ok { false };
    ProviderForecast forecast;
    std::string error;
};

class Provider {
public:
    virtual ~Provider() = default;
    // Called from many threads at once, never twice at once for one city.
    virtual FetchResult fetch(const PlaceInfo& place, bool fahrenheit) = 0;
    // Whether answers are sample data rather than a real forecast.
    virtual bool sample() const = 0;
    // What to call the source in the log.
    virtual std::string describe() const = 0;
};

} // namespace forecastd
