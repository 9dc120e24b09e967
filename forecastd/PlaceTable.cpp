#include "forecastd/PlaceTable.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

namespace forecastd {

namespace {

std::vector<std::string> split_tabs(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    while (true) {
        size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

bool read_number(const std::string& text, double low, double high, double& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return !errno && *end == '\0' && std::isfinite(value) && value >= low && value <= high;
}

bool parse_place(const std::string& line, PlaceInfo& place)
{
    std::vector<std::string> f = split_tabs(line);
    if (f.size() < 6 || f[0].size() != 8 || f[0].find_first_not_of("0123456789") != std::string::npos)
        return false;
    double population = 0;
    if (!read_number(f[1], -90, 90, place.latitude) || !read_number(f[2], -180, 180, place.longitude)
        || !read_number(f[4], 0, 4e9, population) || f[5].empty())
        return false;
    place.code = f[0];
    place.time_zone = f[3];
    place.population = uint32_t(population);
    place.name = f[5];
    // The parts of the name, when the file carries them.
    if (f.size() >= 9) {
        place.city = f[6];
        place.region = f[7];
        place.country = f[8];
    } else {
        place.city = f[5].substr(0, f[5].find(", "));
    }
    return true;
}

} // namespace

bool PlaceTable::load(const std::string& path, std::string& error)
{
    std::ifstream file(path);
    if (!file) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        PlaceInfo place;
        if (parse_place(line, place))
            add(std::move(place));
        else
            ++m_skipped;
    }
    if (m_places.empty()) {
        error = path + ": no places";
        return false;
    }
    return true;
}

void PlaceTable::add(PlaceInfo place)
{
    std::string code = place.code;
    m_places[code] = std::move(place);
}

const PlaceInfo* PlaceTable::find(const std::string& code) const
{
    auto it = m_places.find(code);
    return it == m_places.end() ? nullptr : &it->second;
}

} // namespace forecastd
