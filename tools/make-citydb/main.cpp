// make-citydb: writes the city database "codes.dat" and the forecast service's
// "places.tsv" from the GeoNames cities of libgeonames. Run at build time only.
#include "CityFiles.h"
#include "CityNames.h"
#include "GeoNamesSource.h"

#include "runtime/CommandLine.h"

#include <cstdio>
#include <string>

namespace {

const char* const usage = "usage: make-citydb [--help] [--version] FOLDER\n"
                    "Writes FOLDER/codes.dat (the city database of the Weather application) and\n"
                    "FOLDER/places.tsv (coordinates and time zones for forecastd) from the GeoNames\n"
                    "cities of libgeonames (data CC BY 4.0, GeoNames, https://www.geonames.org).\n"
                    "Codes are GeoNames ids as 8 digits; names are \"City, Region, Country\", sorted\n"
                    "by first letter without accents (signs and digits last), then by the program's\n"
                    "own lower-casing, then by population, largest first.\n"
                    "Exit status: 0 done, 1 the files could not be written, 2 bad arguments.\n";

} // namespace

int main(int argc, char** argv)
{
    const runtime::CommandLine command_line("make-citydb", usage);
    std::string folder;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (std::optional<int> answered = command_line.answer(arg))
            return *answered;
        if (runtime::CommandLine::is_option(arg))
            return command_line.unknown_option(arg);
        if (!folder.empty())
            return command_line.fail("one folder only, not also " + arg);
        folder = arg;
    }
    if (folder.empty())
        return command_line.usage_error();

    std::string error;
    std::vector<citydb::Place> places = citydb::read_geonames(error);
    if (places.empty()) {
        std::fprintf(stderr, "make-citydb: no cities from libgeonames%s%s\n", error.empty() ? "" : ": ", error.c_str());
        return 1;
    }
    citydb::name_places(places);
    citydb::sort_places(places);
    if (!citydb::write_codes(folder + "/codes.dat", places, error)
        || !citydb::write_places(folder + "/places.tsv", places, error)) {
        std::fprintf(stderr, "make-citydb: %s\n", error.c_str());
        return 1;
    }
    size_t kept = std::min(places.size(), citydb::max_entries);
    std::printf("make-citydb: %zu cities in codes.dat and places.tsv\n", kept);
    return 0;
}
