// A language's city database: every city under its name in that language, taken from the
// GeoNames catalogue of the language ("München, Bayern, Deutschland"), and under its
// English name as well where the city's own name differs ("Munich, Bavaria, Germany"),
// so that both find it. Parts without a translation keep their English text.
#pragma once

#include "MoCatalogue.h"
#include "Place.h"

#include <vector>

namespace citydb {

// The place with its city, region and country in the catalogue's language where the
// catalogue has them; its name is left to name_places. `city_translated` tells whether the
// city's own name changed.
Place localize(const Place& place, const MoCatalogue& catalogue, bool& city_translated);

struct LanguageEntries {
    std::vector<Place> places;  // named and sorted as codes.dat wants them
    size_t translated { 0 };    // cities with a name of their own in the language
    size_t english { 0 };       // English names kept beside them
};

// From the English places (named by name_places). At most max_entries: when the English
// names would not all fit, those of the least populous cities are left out.
LanguageEntries language_entries(const std::vector<Place>& english, const MoCatalogue& catalogue);

} // namespace citydb
