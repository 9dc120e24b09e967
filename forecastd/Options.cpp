#include "forecastd/Options.h"
#include "forecastd/HttpServer.h"

#include <cstdlib>

namespace forecastd {

namespace {

const char* const usage =
    "usage: forecastd [OPTION]...\n"
    "Answers the Ombrelo daemon's feed requests, GET /forecastrss?p=CODE&u=c (or u=f),\n"
    "with an RSS feed of the city's current condition and seven days, from Open-Meteo.\n"
    "CODE is a GeoNames id as 8 digits, as in codes.dat.\n"
    "\n"
    "  --listen HOST:PORT    address to listen on (default 127.0.0.1:8642)\n"
    "  --places FILE         the cities: places.tsv (default: beside the program)\n"
    "  --provider URL        the forecast API (default https://api.open-meteo.com/v1/forecast)\n"
    "  --cache-minutes N     keep each city's answer N minutes (default 15; 0 keeps none)\n"
    "  --offline DIR         answer from recorded replies DIR/CODE.json instead, moved to\n"
    "                        today and always marked as sample data (forecastd does not\n"
    "                        start when DIR holds no reply)\n"
    "  --help                show this text\n"
    "  --version             show the version\n"
    "\n"
    "Unknown codes answer 404, malformed queries 400, provider failures 502 (the city is\n"
    "then not asked again for 30 s, doubling up to 15 minutes). At most 2000 answers are\n"
    "kept, the least recently used going first. A request target over 256 bytes answers\n"
    "414, a request with a body 405 (or 400 for GET); a client address may hold 64\n"
    "connections, and one that sends no whole request head for 10 s is closed.\n"
    "Weather data by Open-Meteo.com (CC BY 4.0); places from GeoNames (CC BY 4.0).\n";

} // namespace

const runtime::CommandLine& command_line()
{
    static const runtime::CommandLine line("forecastd", usage);
    return line;
}

std::optional<int> parse_options(const std::vector<std::string>& args, Options& options)
{
    const runtime::CommandLine& line = command_line();
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (std::optional<int> answered = line.answer(arg))
            return answered;
        std::string name = arg, value;
        bool takes_value = arg == "--listen" || arg == "--places" || arg == "--provider" || arg == "--cache-minutes"
            || arg == "--offline";
        if (size_t equals = arg.find('='); arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
            takes_value = name == "--listen" || name == "--places" || name == "--provider"
                || name == "--cache-minutes" || name == "--offline";
            if (!takes_value)
                return line.unknown_option(name);
        } else if (takes_value) {
            if (i + 1 >= args.size())
                return line.fail("option " + arg + " needs a value");
            value = args[++i];
        } else if (runtime::CommandLine::is_option(arg)) {
            return line.unknown_option(arg);
        } else {
            return line.fail("unexpected argument " + arg);
        }
        if (name == "--listen") {
            if (!split_listen_address(value, options.host, options.port))
                return line.fail("--listen takes HOST:PORT, not " + value);
        } else if (name == "--places") {
            options.places = value;
        } else if (name == "--provider") {
            if (value.rfind("http://", 0) != 0 && value.rfind("https://", 0) != 0)
                return line.fail("--provider takes an http:// or https:// address, not " + value);
            options.provider = value;
        } else if (name == "--offline") {
            options.offline = value;
        } else if (name == "--cache-minutes") {
            char* end = nullptr;
            long minutes = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end || minutes < 0 || minutes > 24 * 60)
                return line.fail("--cache-minutes takes a number of minutes from 0 to 1440, not " + value);
            options.cache_minutes = int(minutes);
        }
    }
    return std::nullopt;
}

} // namespace forecastd
