// make-citydb: writes the city database "codes.dat" and the forecast service's
// "places.tsv" from the GeoNames cities of libgeonames. Run at build time only.
#include "CityFiles.h"
#include "CityNames.h"
#include "GeoNamesSource.h"
#include "LocalNames.h"

#include "runtime/CommandLine.h"

#include <cstdio>
#include <string>

namespace {

const char* const usage = "usage: make-citydb [--help] [--version] [--language NAME=LOCALE]...\n"
                    "                   [--locale-dir DIR] FOLDER\n"
                    "Writes FOLDER/codes.dat (the city database of the Weather application) and\n"
                    "FOLDER/places.tsv (coordinates and time zones for forecastd) from the GeoNames\n"
                    "cities of libgeonames (data CC BY 4.0, GeoNames, https://www.geonames.org).\n"
                    "Codes are GeoNames ids as 8 digits; names are \"City, Region, Country\", sorted\n"
                    "by first letter without accents (signs and digits last), then by the city's own\n"
                    "name in the program's own lower-casing, then by population, largest first.\n"
                    "Each --language also writes FOLDER/NAME.codes.dat, the database of the language\n"
                    "file NAME.lng: every city by its name in LOCALE from the GeoNames catalogue\n"
                    "DIR/LOCALE/LC_MESSAGES/geonames.mo (DIR: /usr/share/locale), and by its English\n"
                    "name too where the city's own name differs.\n"
                    "Exit status: 0 done, 1 a catalogue could not be read or a file written,\n"
                    "2 bad arguments.\n";

struct Language {
    std::string name;
    std::string locale;
};

bool write_language(const std::string& folder, const std::string& locale_dir, const Language& language,
    const std::vector<citydb::Place>& places)
{
    citydb::MoCatalogue catalogue;
    std::string error;
    if (!catalogue.load(locale_dir + "/" + language.locale + "/LC_MESSAGES/geonames.mo", error)) {
        std::fprintf(stderr, "make-citydb: %s\n", error.c_str());
        return false;
    }
    citydb::LanguageEntries entries = citydb::language_entries(places, catalogue);
    std::string path = folder + "/" + language.name + ".codes.dat";
    if (!citydb::write_codes(path, entries.places, error)) {
        std::fprintf(stderr, "make-citydb: %s\n", error.c_str());
        return false;
    }
    std::printf("make-citydb: %zu names in %s (%zu cities named in %s, %zu English names beside them)\n",
        entries.places.size(), path.c_str(), entries.translated, language.locale.c_str(), entries.english);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const runtime::CommandLine command_line("make-citydb", usage);
    std::string folder;
    std::string locale_dir = "/usr/share/locale";
    std::vector<Language> languages;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (std::optional<int> answered = command_line.answer(arg))
            return *answered;
        if (arg == "--language" || arg == "--locale-dir") {
            if (i + 1 == argc)
                return command_line.fail(arg + " needs a value");
            std::string value = argv[++i];
            if (arg == "--locale-dir") {
                locale_dir = value;
                continue;
            }
            size_t equals = value.find('=');
            if (equals == 0 || equals == std::string::npos || equals + 1 == value.size()
                || value.find('/') != std::string::npos)
                return command_line.fail("--language wants NAME=LOCALE, not " + value);
            languages.push_back({ value.substr(0, equals), value.substr(equals + 1) });
            continue;
        }
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
    for (const Language& language : languages)
        if (!write_language(folder, locale_dir, language, places))
            return 1;
    return 0;
}
