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
// with A, Đ with D), lower-cased, the letters of the database's own script first (Latin,
// or Cyrillic for Russian names), then the other scripts' letters; names that begin with
// a digit or a sign after them.
struct RulerGroup {
    int kind { 0 };          // 0: a letter of the own script, 1: another letter, 2: anything else
    char32_t letter { 0 };   // the plain letter, lower case
    auto operator<=>(const RulerGroup&) const = default;
};
// A script as the ruler orders them: Latin (with its extensions) is 0, every other the
// 256-code-point page its letter stands in.
int script_of(char32_t letter);
RulerGroup ruler_group(std::u16string_view name, int own_script = 0);

// By ruler group, then by the city's own name as the program lower-cases it (so a plain
// letter's names come before those of its accented forms), then by population, largest
// first, then by the whole name and the code.
void sort_places(std::vector<Place>& places, int own_script = 0);

} // namespace citydb
