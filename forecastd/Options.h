// forecastd's command line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace forecastd {

struct Options {
    std::string host { "127.0.0.1" };
    uint16_t port { 8642 };
    std::string places;           // empty: places.tsv beside the program
    std::string provider;         // empty: Open-Meteo
    std::string offline;          // a folder of recorded replies, or empty
    int cache_minutes { 15 };
    bool help { false };
    bool version { false };
};

extern const char* const usage;

// False with the reason for a command line that cannot be used.
bool parse_options(const std::vector<std::string>& args, Options& options, std::string& error);

} // namespace forecastd
