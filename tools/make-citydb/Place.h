// One city of the GeoNames data as the city database and the forecast service use it.
#pragma once

#include <cstdint>
#include <string>

namespace citydb {

struct Place {
    std::string code;     // the GeoNames id as exactly 8 decimal digits
    std::string city;     // UTF-8, as GeoNames writes them
    std::string region;   // may be empty
    std::string country;
    std::string country_code; // ISO 3166 ("DE"), for the catalogues
    std::string region_code;  // GeoNames admin code within the country ("02")
    std::string time_zone;
    double latitude { 0 };
    double longitude { 0 };
    uint32_t population { 0 };
    std::u16string name;  // "City, Region, Country", unique among the places
};

} // namespace citydb
