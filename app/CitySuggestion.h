// The city a first start offers before the user types anything: the most populous city
// of the system's time zone, from the forecast service's "places.tsv" (one line per city:
// code, latitude, longitude, time zone, population, English name, ...). No network and no
// location service: a user in Asia/Tokyo is offered Tokyo.
#pragma once

#include <string>
#include <string_view>

namespace weather {

struct CitySuggestion {
    std::u16string code;          // empty when the zone has no city
    std::u16string english_name;  // the name in codes.dat
};

// Lines that are comments, short or damaged are passed over; a missing file suggests
// nothing. Ties in population go to the first line.
CitySuggestion suggest_city(std::u16string_view places_path, std::string_view time_zone);

} // namespace weather
