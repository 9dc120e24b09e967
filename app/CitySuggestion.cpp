#include "app/CitySuggestion.h"

#include "platform/HostPath.h"
#include "platform/TextEncoding.h"
#include "runtime/Paths.h"

#include <charconv>
#include <fstream>
#include <vector>

namespace weather {

namespace {

// The first `count` tab-separated fields of the line; fewer when the line has fewer.
std::vector<std::string_view> fields(std::string_view line, size_t count)
{
    std::vector<std::string_view> out;
    while (out.size() < count) {
        size_t tab = line.find('\t');
        out.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos)
            break;
        line.remove_prefix(tab + 1);
    }
    return out;
}

} // namespace

CitySuggestion suggest_city(std::u16string_view places_path, std::string_view time_zone)
{
    CitySuggestion best;
    if (time_zone.empty())
        return best;
    std::ifstream in(platform::host_path(runtime::expand_path(places_path)));
    uint64_t best_population = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        // The zone is the fourth field: a cheap test before splitting the line.
        if (line.find(time_zone) == std::string::npos)
            continue;
        std::vector<std::string_view> field = fields(line, 6);
        if (field.size() < 6 || field[3] != time_zone || field[0].empty() || field[5].empty())
            continue;
        uint64_t population = 0;
        auto [end, error] = std::from_chars(field[4].data(), field[4].data() + field[4].size(), population);
        if (error != std::errc() || end != field[4].data() + field[4].size())
            continue;
        if (best.code.empty() || population > best_population) {
            best_population = population;
            best.code = platform::from_utf8(field[0]);
            best.english_name = platform::from_utf8(field[5]);
        }
    }
    return best;
}

} // namespace weather
