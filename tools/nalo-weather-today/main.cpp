// nalo-weather-today: the first city's weather for status bars, from what the daemon
// published in the registry and the city's files in the user's program folder; and, for
// the refresh timer, the daemon's top mode when that forecast has grown older than the
// update interval.
#include "TodayText.h"
#include "TopForecast.h"

#include "framework/CatalogueFolder.h"
#include "framework/LanguageNames.h"

#include "daemon/WeatherSettings.h"

#include "runtime/CommandLine.h"
#include "runtime/Registry.h"

#include "platform/ChildProcess.h"
#include "platform/Clock.h"
#include "platform/TextEncoding.h"

#include <clocale>
#include <cstdio>
#include <string>
#include <sys/stat.h>

namespace {

const char* usage = "usage:\n"
                    "  nalo-weather-today [--folder DIR]                  the first city's weather as a line of text\n"
                    "  nalo-weather-today --json [--folder DIR]           the same as JSON for waybar's custom modules\n"
                    "  nalo-weather-today --format TEXT [--folder DIR]    the same in a format of yours, with the\n"
                    "                                                     placeholders {city} {temp} {condition} {high}\n"
                    "                                                     {low} {updated} {class} {stale} {code}\n"
                    "                                                     ({{ and }} for the braces themselves)\n"
                    "  nalo-weather-today --refresh [--folder DIR]        run Ombrelo top from the folder when the\n"
                    "                                                     forecast is older than the update interval\n"
                    "  nalo-weather-today --help | --version\n"
                    "DIR is the program folder Weather runs from, by default $XDG_DATA_HOME/nalo/Weather\n"
                    "(~/.local/share/nalo/Weather). Texts are in Weather's language.\n"
                    "Exit status: 0 shown (also when outdated) or refreshed, 1 no forecast yet or the\n"
                    "refresh failed, 2 bad arguments or a folder without Weather's language files.\n";

const runtime::CommandLine command_line("nalo-weather-today", usage);

enum class Form { plain, json, format, refresh };

// Weather's language: its choice, else the system's, else english, else any file.
skin::LanguageTable load_language(const std::string& folder)
{
    framework::CatalogueFolder files(platform::from_utf8(folder), u".lng");
    skin::LanguageTable table;
    std::u16string chosen;
    if (runtime::read_string(ombrelo::weather_key, u"Language", chosen) && !chosen.empty()) {
        std::u16string path = files.path_of(chosen);
        if (!path.empty() && table.load(path))
            return table;
    }
    framework::LanguageName system = framework::system_language_name();
    for (std::u16string_view name : { system.name, std::u16string_view(u"english") }) {
        std::u16string path = name.empty() ? std::u16string() : files.path_of(name);
        if (!path.empty() && table.load(path))
            return table;
    }
    for (const std::u16string& path : files.paths())
        if (table.load(path))
            return table;
    return table;
}

int refresh(const std::string& folder)
{
    uint32_t interval = today::update_interval();
    std::u16string top = ombrelo::read_top_city();
    if (interval == 0 || top.empty())
        return 0; // "Never", or no city yet: nothing to bring up to date
    int64_t now = platform::local_now();
    auto age = today::cache_age_minutes(folder, top, now);
    if (age && *age >= 0 && *age <= int64_t(interval))
        return 0;
    std::string daemon = folder + "/Ombrelo";
    struct stat st {};
    if (stat(daemon.c_str(), &st) != 0) {
        std::fprintf(stderr, "nalo-weather-today: no daemon in %s (start Weather once to make the folder)\n",
            folder.c_str());
        return 1;
    }
    platform::ChildProcess process;
    if (!process.start(daemon, { "top" })) {
        std::fprintf(stderr, "nalo-weather-today: cannot start %s\n", daemon.c_str());
        return 1;
    }
    process.wait();
    auto after = today::cache_age_minutes(folder, top, platform::local_now());
    if (!after || *after < 0 || *after > int64_t(interval)) {
        std::fprintf(stderr, "nalo-weather-today: the forecast of %s was not brought up to date\n",
            platform::to_utf8(top).c_str());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_TIME, "");
    Form form = Form::plain;
    std::string format;
    std::string folder;
    bool form_given = false;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (auto code = command_line.answer(argument))
            return *code;
        Form next;
        if (argument == "--json") {
            next = Form::json;
        } else if (argument == "--refresh") {
            next = Form::refresh;
        } else if (argument == "--format" || argument == "--folder") {
            if (i + 1 >= argc)
                return command_line.fail(argument + " needs a value; see nalo-weather-today --help");
            std::string value = argv[++i];
            if (argument == "--folder") {
                if (value.empty())
                    return command_line.fail("--folder needs a folder");
                folder = value;
                continue;
            }
            if (auto fault = today::check_format(value))
                return command_line.fail("--format: " + *fault);
            format = value;
            next = Form::format;
        } else if (runtime::CommandLine::is_option(argument)) {
            return command_line.unknown_option(argument);
        } else {
            return command_line.fail("unexpected argument " + argument + "; see nalo-weather-today --help");
        }
        if (form_given && next != form)
            return command_line.fail("--json, --format and --refresh exclude each other");
        form = next;
        form_given = true;
    }
    if (folder.empty())
        folder = today::default_program_folder();
    if (folder.empty())
        return command_line.fail("neither XDG_DATA_HOME nor HOME is set; name the folder with --folder");

    if (form == Form::refresh)
        return refresh(folder);

    skin::LanguageTable language = load_language(folder);
    int64_t now = platform::local_now();
    auto forecast = today::read_top_forecast(folder, now);
    if (!forecast) {
        // Before Weather's first start its folder, and so its language files, may not exist.
        if (!language.find(u"Today_no_forecast")) {
            std::string_view english = "Today_no_forecast=no forecast yet";
            language = skin::LanguageTable::parse(reinterpret_cast<const uint8_t*>(english.data()), english.size());
        }
        std::string none = form == Form::json ? today::waybar_json_none(language)
                                              : platform::to_utf8(language.text(u"Today_no_forecast"));
        std::printf("%s\n", none.c_str());
        return 1;
    }
    if (language.size() == 0)
        return command_line.fail("no language file (*.lng) in " + folder + ": is it the folder Weather runs from?");
    bool in_celsius = true;
    runtime::read_flag(ombrelo::weather_key, u"Degree", in_celsius);
    today::TodayFields fields = today::make_fields(*forecast, language, in_celsius, now);
    std::string line = form == Form::json ? today::waybar_json(fields, language)
        : form == Form::format            ? today::apply_format(format, fields)
                                          : today::plain_line(fields);
    std::printf("%s\n", line.c_str());
    return 0;
}
