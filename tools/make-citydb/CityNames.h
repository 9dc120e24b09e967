// The display names of the city database and its order.
#pragma once

#include "Place.h"

#include <compare>
#include <string_view>
#include <vector>

namespace citydb {

// "City, Region, Country" (the region left out when empty). Places that would share a
// name (GeoNames has a few towns of the same name in one region) get their coordinates
// after the city, so that every name picks one city: the application finds cities in
// its list by name.
void name_places(std::vector<Place>& places);

// Where a name stands for the city search's alphabet ruler, which lists first letters in
// file order: names that begin with a letter by that letter without its accents (Å and Á
// with A, Đ with D), lower-cased, the other scripts' letters after the Latin ones; names
// that begin with a digit or a sign after them.
struct RulerGroup {
    int kind { 0 };          // 0: a letter, 1: anything else
    char32_t letter { 0 };   // the plain letter, lower case
    auto operator<=>(const RulerGroup&) const = default;
};
RulerGroup ruler_group(std::u16string_view name);

// By ruler group, then by name as the program lower-cases it (so a plain letter's names
// come before those of its accented forms), then by population, largest first, then by code.
void sort_places(std::vector<Place>& places);

} // namespace citydb
