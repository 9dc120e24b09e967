// The display names of the city database and its order.
#pragma once

#include "Place.h"

#include <vector>

namespace citydb {

// "City, Region, Country" (the region left out when empty). Places that would share a
// name (GeoNames has a few towns of the same name in one region) get their coordinates
// after the city, so that every name picks one city: the application finds cities in
// its list by name.
void name_places(std::vector<Place>& places);

// By name as the program lower-cases it, then by population, largest first, then by code.
void sort_places(std::vector<Place>& places);

} // namespace citydb
