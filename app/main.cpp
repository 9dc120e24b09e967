// The program Weather.
#include "app/WinMain.h"

#include "platform/TextEncoding.h"
#include "runtime/CommandLine.h"
#include "runtime/Log.h"

#include <exception>
#include <iostream>
#include <string>

namespace {

constexpr const char* usage =
    "Usage: Weather [COMMAND LINE]\n"
    "The weather forecasts of your cities. Only one copy runs per user; a second start\n"
    "hands its command line to the running copy and ends.\n"
    "\n"
    "  --help       this text\n"
    "  --version    the program's version\n"
    "\n"
    "Environment: NALO_SCREEN=WIDTHxHEIGHT[@DPI], NALO_HEADLESS=1, NALO_SCRIPT=FILE,\n"
    "NALO_PLATFORM=Smartphone, NALO_ZOOM, NALO_FULLSCREEN=1, NALO_REGISTRY, NALO_TEMP.\n";

} // namespace

int main(int argc, char** argv)
{
    runtime::CommandLine options("Weather", usage);
    std::string command_line;
    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i];
        if (auto code = options.answer(argument))
            return *code;
        if (runtime::CommandLine::is_option(argument))
            return options.unknown_option(argument);
        if (!command_line.empty())
            command_line += ' ';
        command_line += argument;
    }
    try {
        return weather::WinMain(platform::from_utf8(command_line));
    } catch (const std::exception& error) {
        // A skin that does not match the program: say which node it lacks, then end.
        std::string text = error.what();
        std::cerr << "Weather: Gluck: " << text << std::endl;
        runtime::fatal_error(u"WinMain", platform::from_utf8(text), 1);
    }
}
