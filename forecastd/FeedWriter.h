// Writes the RSS 2.0 feed in the yweather namespace that the daemon's conversion reads:
// channel title and description naming the city, yweather:location, and an item with
// yweather:condition and one yweather:forecast per day. Dates are the city's own,
// in the style "Mon, 23 Jul 2012 11:47 am CEST" and "23 Jul 2012".
//
// Today's details go where the format has its own optional elements (yweather:wind with
// the feels-like temperature as its chill, yweather:atmosphere, yweather:astronomy), the
// rest and the next hours into elements of the nalo namespace (nalo:today, nalo:hour);
// each on a line of its own and only when the reply had it, so that the old elements stay
// byte for byte what they were. Units as yweather:units says: km/h, mb and mm, or mph, in
// and in.
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
// "7:01 am", the astronomy element's style.
std::string clock_text(std::chrono::sys_seconds local_time);

// Hours written into the feed.
constexpr size_t feed_hours = 24;

} // namespace forecastd
