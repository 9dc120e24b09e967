#include "CityFiles.h"

#include "platform/TextEncoding.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace citydb {

namespace {

void put_int32(std::string& out, int32_t value)
{
    for (int i = 0; i < 4; ++i)
        out += char(uint32_t(value) >> (8 * i) & 0xFF);
}

// A length in one byte up to 127, else the byte -4 and a 4-byte length.
void put_string(std::string& out, std::u16string_view text)
{
    if (text.size() <= 127) {
        out += char(text.size());
    } else {
        out += char(-4);
        put_int32(out, int32_t(text.size()));
    }
    for (char16_t c : text) {
        out += char(c & 0xFF);
        out += char(c >> 8);
    }
}

bool replace_file(const std::string& path, const std::string& bytes, std::string& error)
{
    std::string temporary = path + ".new";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    bool ok = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file && std::fclose(file) != 0)
        ok = false;
    if (ok && std::rename(temporary.c_str(), path.c_str()) != 0)
        ok = false;
    if (!ok) {
        error = path + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
    }
    return ok;
}

} // namespace

bool write_codes(const std::string& path, const std::vector<Place>& places, std::string& error)
{
    size_t count = std::min(places.size(), max_entries);
    std::string out;
    out.reserve(count * 64);
    put_int32(out, int32_t(count));
    for (size_t i = 0; i < count; ++i) {
        put_string(out, platform::from_utf8(places[i].code));
        put_string(out, places[i].name);
    }
    return replace_file(path, out, error);
}

bool write_places(const std::string& path, const std::vector<Place>& places, std::string& error)
{
    std::string out = "# code\tlatitude\tlongitude\ttime zone\tpopulation\tname\tcity\tregion\tcountry\n";
    char numbers[96];
    for (const Place& place : places) {
        std::snprintf(numbers, sizeof numbers, "\t%.5f\t%.5f\t", place.latitude, place.longitude);
        out += place.code + numbers + place.time_zone + "\t" + std::to_string(place.population) + "\t"
            + platform::to_utf8(place.name) + "\t" + place.city + "\t" + place.region + "\t" + place.country + "\n";
    }
    return replace_file(path, out, error);
}

} // namespace citydb
