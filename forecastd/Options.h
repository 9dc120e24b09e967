// forecastd's command line.
#pragma once

#include "runtime/CommandLine.h"

#include <cstdint>
#include <optional>
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
};

// The usage, "--help", "--version" and the messages of a bad command line.
const runtime::CommandLine& command_line();

// None when the service is to run with the options; otherwise the exit code: 0 after
// --help or --version, 2 for a command line that cannot be used (the reason printed).
std::optional<int> parse_options(const std::vector<std::string>& args, Options& options);

} // namespace forecastd
