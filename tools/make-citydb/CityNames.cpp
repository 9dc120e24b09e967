#include "CityNames.h"

#include "platform/CaseFolding.h"
#include "platform/LetterFolding.h"
#include "platform/TextEncoding.h"

#include <glib.h>

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

namespace {

char32_t first_code_point(std::u16string_view name)
{
    if (name.empty())
        return 0;
    char16_t high = name[0];
    if (high >= 0xD800 && high < 0xDC00 && name.size() > 1 && name[1] >= 0xDC00 && name[1] < 0xE000)
        return 0x10000 + ((char32_t(high) - 0xD800) << 10) + (name[1] - 0xDC00);
    return high;
}

} // namespace

int script_of(char32_t letter)
{
    return letter < 0x250 || (letter >= 0x1E00 && letter < 0x1F00) ? 0 : int(letter >> 8);
}

RulerGroup ruler_group(std::u16string_view name, int own_script)
{
    gunichar first = first_code_point(name);
    if (!g_unichar_isalpha(first))
        return { 2, 0 };
    // The application files names under the same base letters, so the ruler's letters
    // come out once each and in order.
    char32_t letter = first <= 0xFFFF ? char32_t(platform::base_letter(char16_t(first))) : char32_t(g_unichar_tolower(first));
    return { script_of(letter) == own_script ? 0 : 1, letter };
}

void sort_places(std::vector<Place>& places, int own_script)
{
    struct Key {
        RulerGroup group;
        std::u16string city;
        std::u16string name;
        size_t index;
    };
    std::vector<Key> keys;
    keys.reserve(places.size());
    for (size_t i = 0; i < places.size(); ++i)
        keys.push_back({ ruler_group(places[i].name, own_script), platform::to_lower(platform::from_utf8(places[i].city)),
            platform::to_lower(places[i].name), i });
    std::sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
        if (a.group != b.group)
            return a.group < b.group;
        if (a.city != b.city)
            return a.city < b.city;
        // Of the cities of one name the largest comes first: "моск" finds Moscow, Russia
        // before Moscow, Idaho.
        const Place& pa = places[a.index];
        const Place& pb = places[b.index];
        if (pa.population != pb.population)
            return pa.population > pb.population;
        if (a.name != b.name)
            return a.name < b.name;
        return pa.code < pb.code;
    });
    std::vector<Place> sorted;
    sorted.reserve(places.size());
    for (const Key& key : keys)
        sorted.push_back(std::move(places[key.index]));
    places = std::move(sorted);
}

} // namespace citydb
