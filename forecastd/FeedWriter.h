// Writes the RSS 2.0 feed in the yweather namespace that the daemon's conversion reads:
// channel title and description naming the city, yweather:location, and an item with
// yweather:condition and one yweather:forecast per day. Dates are the city's own,
// in the style "Mon, 23 Jul 2012 11:47 am CEST" and "23 Jul 2012".
#pragma once

#include "forecastd/PlaceTable.h"
#include "forecastd/ProviderForecast.h"

#include <chrono>
#include <string>

namespace forecastd {

struct FeedOptions {
    bool fahrenheit { false };
    bool sample { false };   // the title then says "(sample data)"
};

std::string write_feed(const PlaceInfo& place, const ProviderForecast& forecast, const FeedOptions& options);

// The pieces, for their own tests.
std::string condition_date_text(std::chrono::sys_seconds local_time, const std::string& zone);
std::string forecast_date_text(std::chrono::year_month_day date);
// Degrees in the unit asked, rounded to whole degrees.
int whole_degrees(double value, TemperatureUnit given, bool fahrenheit);

} // namespace forecastd
