#include "CityNames.h"

#include "platform/CaseFolding.h"
#include "platform/TextEncoding.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace citydb {

namespace {

std::u16string compose(const Place& place, const std::string& city)
{
    std::string name = city;
    if (!place.region.empty())
        name += ", " + place.region;
    if (!place.country.empty())
        name += ", " + place.country;
    return platform::from_utf8(name);
}

std::string with_coordinates(const Place& place)
{
    char text[64];
    std::snprintf(text, sizeof text, " (%.2f\u00B0%c %.2f\u00B0%c)", std::fabs(place.latitude),
        place.latitude < 0 ? 'S' : 'N', std::fabs(place.longitude), place.longitude < 0 ? 'W' : 'E');
    return place.city + text;
}

} // namespace

void name_places(std::vector<Place>& places)
{
    std::map<std::u16string, size_t> uses;
    for (Place& place : places)
        ++uses[place.name = compose(place, place.city)];
    std::map<std::u16string, size_t> taken;
    for (Place& place : places)
        if (uses[place.name] > 1)
            place.name = compose(place, with_coordinates(place));
    for (Place& place : places)
        ++taken[place.name];
    // Coordinates that round alike still leave the GeoNames id to tell the places apart.
    for (Place& place : places)
        if (taken[place.name] > 1)
            place.name = compose(place, with_coordinates(place) + " #" + place.code);
}

void sort_places(std::vector<Place>& places)
{
    std::vector<std::pair<std::u16string, size_t>> keys;
    keys.reserve(places.size());
    for (size_t i = 0; i < places.size(); ++i)
        keys.emplace_back(platform::to_lower(places[i].name), i);
    std::sort(keys.begin(), keys.end(), [&](const auto& a, const auto& b) {
        if (a.first != b.first)
            return a.first < b.first;
        const Place& pa = places[a.second];
        const Place& pb = places[b.second];
        if (pa.population != pb.population)
            return pa.population > pb.population;
        return pa.code < pb.code;
    });
    std::vector<Place> sorted;
    sorted.reserve(places.size());
    for (const auto& key : keys)
        sorted.push_back(std::move(places[key.second]));
    places = std::move(sorted);
}

} // namespace citydb
