// Reads every city of Debian's libgeonames (GeoNames cities of 15,000 people or more,
// CC BY 4.0 data). Only this build-time tool links the library (GPL-3).
#pragma once

#include "Place.h"

#include <string>
#include <vector>

namespace citydb {

// The cities in the library's order; `error` names the first city that could not be
// used (an id that is not a number of at most 8 digits), and the result is then empty.
std::vector<Place> read_geonames(std::string& error);

} // namespace citydb
