#include "GeoNamesSource.h"

#include <geonames.h>

#include <cstdio>

namespace citydb {

namespace {

std::string text_or_empty(const char* text)
{
    std::string out = text ? text : "";
    // The files are tab- and line-separated; GeoNames texts never hold these, but a
    // stray one must not split a record.
    for (char& c : out)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return out;
}

bool eight_digits(const char* id, std::string& code)
{
    if (!id)
        return false;
    std::string digits = id;
    if (digits.empty() || digits.size() > 8 || digits.find_first_not_of("0123456789") != std::string::npos)
        return false;
    code = std::string(8 - digits.size(), '0') + digits;
    return true;
}

} // namespace

std::vector<Place> read_geonames(std::string& error)
{
    std::vector<Place> places;
    int count = geonames_get_n_cities();
    places.reserve(size_t(count > 0 ? count : 0));
    for (int i = 0; i < count; ++i) {
        GeonamesCity* city = geonames_get_city(i);
        if (!city)
            continue;
        Place place;
        // A city is a GVariant "(sssssssudd)": the GeoNames id, the name, the admin code,
        // the region, the country code, the country, the time zone, the population, the
        // latitude and the longitude.
        auto member = [city](gsize index) {
            GVariant* child = g_variant_get_child_value(city, index);
            std::string text = text_or_empty(g_variant_get_string(child, nullptr));
            g_variant_unref(child);
            return text;
        };
        bool usable = eight_digits(member(0).c_str(), place.code);
        if (!usable) {
            error = "city " + std::to_string(i) + " (" + text_or_empty(geonames_city_get_name(city))
                + ") has no usable GeoNames id";
            geonames_city_free(city);
            return {};
        }
        place.city = text_or_empty(geonames_city_get_name(city));
        place.region = text_or_empty(geonames_city_get_state(city));
        place.country = text_or_empty(geonames_city_get_country(city));
        place.region_code = member(2);
        place.country_code = member(4);
        place.time_zone = text_or_empty(geonames_city_get_timezone(city));
        place.latitude = geonames_city_get_latitude(city);
        place.longitude = geonames_city_get_longitude(city);
        place.population = geonames_city_get_population(city);
        geonames_city_free(city);
        places.push_back(std::move(place));
    }
    return places;
}

} // namespace citydb
