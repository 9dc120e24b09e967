#include "LocalNames.h"

#include "CityFiles.h"
#include "CityNames.h"

#include "platform/TextEncoding.h"

#include <algorithm>
#include <map>
#include <set>

namespace citydb {

namespace {

// Catalogue texts go into tab- and line-separated files too.
std::string clean(std::string text)
{
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r')
            c = ' ';
    return text;
}

void translate(std::string& text, const MoCatalogue& catalogue, const std::string& id)
{
    if (const std::string* found = catalogue.find(id))
        text = clean(*found);
}

} // namespace

Place localize(const Place& place, const MoCatalogue& catalogue, bool& city_translated)
{
    Place local = place;
    // The catalogue's ids are GeoNames ids without the leading zeros of our codes.
    size_t digits = place.code.find_first_not_of('0');
    translate(local.city, catalogue, digits == std::string::npos ? place.code : place.code.substr(digits));
    if (!place.country_code.empty()) {
        translate(local.country, catalogue, place.country_code);
        if (!place.region_code.empty() && !place.region.empty())
            translate(local.region, catalogue, place.country_code + "." + place.region_code);
    }
    city_translated = local.city != place.city;
    return local;
}

LanguageEntries language_entries(const std::vector<Place>& english, const MoCatalogue& catalogue)
{
    LanguageEntries out;
    std::vector<Place> local;
    local.reserve(english.size());
    std::vector<const Place*> also_english;
    // The language's own script, the one most of its city names are written in, comes
    // first: a Russian list starts at А.
    std::map<int, size_t> scripts;
    for (const Place& place : english) {
        bool city_translated = false;
        local.push_back(localize(place, catalogue, city_translated));
        if (city_translated) {
            also_english.push_back(&place);
            ++scripts[script_of(ruler_group(platform::from_utf8(local.back().city)).letter)];
        }
    }
    int own_script = 0;
    size_t most = 0;
    for (const auto& [script, count] : scripts)
        if (count > most)
            most = count, own_script = script;
    out.translated = also_english.size();
    name_places(local);

    // Every name picks one city: an English name that a local one already uses stays out.
    std::set<std::u16string> taken;
    for (const Place& place : local)
        taken.insert(place.name);
    std::erase_if(also_english, [&](const Place* place) { return taken.count(place->name) != 0; });
    size_t room = max_entries > local.size() ? max_entries - local.size() : 0;
    if (also_english.size() > room) {
        std::stable_sort(also_english.begin(), also_english.end(),
            [](const Place* a, const Place* b) { return a->population > b->population; });
        also_english.resize(room);
    }
    out.english = also_english.size();
    out.places = std::move(local);
    for (const Place* place : also_english)
        out.places.push_back(*place);
    sort_places(out.places, own_script);
    return out;
}

} // namespace citydb
