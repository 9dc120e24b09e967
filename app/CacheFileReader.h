// Reads a city's forecast cache file "%app_path%//downloads//_" + code + ".xml", as the
// daemon writes it, into the city's record. The file is outside data: one that cannot
// be read, is larger than 1 MiB, does not parse or has no "Main" leaves the record as it
// was; a value that does not read leaves its field as it was. The attribute sample="1"
// of "Create" marks the forecast service's sample data. "Details" and "Hours", children
// of "Main" that an older file lacks, give today's details and the next hours: every value
// range-checked, at most ombrelo::max_hours hours, an hour without a date left out.
#pragma once

#include "app/CityRecord.h"

#include <cstddef>

namespace weather {

// True when the file was read (it had a "Main"). A record whose code is not a city code
// names no file and is left as it is.
bool load_from_xml(CityRecord& record);

// The same from a file image in memory.
bool load_from_xml(CityRecord& record, const char* data, size_t size);

} // namespace weather
