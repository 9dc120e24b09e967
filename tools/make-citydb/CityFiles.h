// Writes the city database "codes.dat" for the application and "places.tsv" for the
// forecast service, each replaced whole (written beside, then renamed).
#pragma once

#include "Place.h"

#include <string>
#include <vector>

namespace citydb {

// codes.dat holds at most this many entries; the application reads no more.
constexpr size_t max_entries = 38804;

bool write_codes(const std::string& path, const std::vector<Place>& places, std::string& error);
// One line per place: code, latitude, longitude, time zone, population, name, then the
// city, region and country the name is made of.
bool write_places(const std::string& path, const std::vector<Place>& places, std::string& error);

} // namespace citydb
