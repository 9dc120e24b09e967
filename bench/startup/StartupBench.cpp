// Prints figures for Weather's start-up and main form, headless (with --window, in a
// real window instead: WindowBench.h):
//   - from exec to the first frame of the main form with five cities, at 240x320 and at
//     480x640 (the program says when it has presented that frame: NALO_FIRST_FRAME=exit);
//   - peak resident memory of a run with ten cities at 480x640 that pages through them;
//   - the time of one frame of the page glide at 480x640, 240x320 and (landscape) 800x480:
//     life cycle, composition and present, measured in this process on the shell's own
//     form stack and display.
// The program folder is installed into a temporary folder first (nalo-install), so the
// runs use the shipped skins, languages and cache files as a user's would;
// NALO_BENCH_PROGRAM_DIR installs another build's program folder instead.
//   startup-bench [RUNS] | startup-bench --window [ROUNDS]
#include "WindowBench.h"

#include "app/AppNodeTypes.h"
#include "app/FormMain.h"
#include "app/PageContainer.h"
#include "app/Settings.h"

#include "framework/Application.h"
#include "framework/FormStack.h"
#include "framework/GameBase.h"
#include "framework/LanguageCatalogue.h"
#include "framework/SkinCatalogue.h"

#include "display/Display.h"
#include "platform/Clock.h"
#include "runtime/Registry.h"
#include "skin/draw/FramePng.h"
#include "skin/file/PropertiesImpl.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

const char* const city_codes[] = { "02950159", "01850147", "03435910", "02643743", "05128581", "02147714", "03117735",
    "03169070", "02988507", "02673730" };
const char* const city_names[] = { "Berlin", "Tokyo", "Buenos Aires", "London", "New York", "Sydney", "Madrid", "Rome",
    "Paris", "Stockholm" };

std::string run_folder;

} // namespace

std::string startup_bench::program_folder() { return run_folder + "/Weather"; }

namespace {

using startup_bench::program_folder;
using startup_bench::write_cities;

std::string date_text(int64_t count)
{
    platform::SystemTime t = platform::count_to_system_time(count);
    char text[64];
    std::snprintf(text, sizeof text, "%d %02d %02d %02d %02d %02d.000000", t.year, t.month, t.day, t.hour, t.minute, t.second);
    return text;
}

} // namespace

// Settings with that many cities, each with a fresh five-day forecast in the cache.
void startup_bench::write_cities(int count)
{
    std::string settings = "<Locations>";
    int64_t now = platform::local_now();
    for (int i = 0; i < count; ++i) {
        settings += std::string("<Item city=\"") + city_names[i] + "\" city_code=\"" + city_codes[i] + "\"/>";
        std::string xml = "<Main><Create date=\"" + date_text(now) + "\" rdate=\"now\"/><Current city=\"\" city_code=\""
            + city_codes[i] + "\" temp=\"" + std::to_string(i * 3 - 5) + "\" code=\"" + std::to_string(i * 4) + "\"><Weathers>";
        for (int d = 0; d < 5; ++d)
            xml += "<Weather date=\"" + date_text(now + int64_t(d) * 24 * 60 * platform::units_per_minute) + "\" code=\""
                + std::to_string((i + d) * 3 % 47) + "\" high=\"" + std::to_string(10 + d) + "\" low=\"" + std::to_string(d - 2)
                + "\"/>";
        std::ofstream(program_folder() + "/downloads/_" + city_codes[i] + ".xml") << xml << "</Weathers></Current></Main>";
    }
    std::ofstream(program_folder() + "/settings.xml") << settings << "</Locations>";
}

namespace {

struct Child {
    double milliseconds { -1 };
    long max_rss_kb { 0 };
    int status { -1 };
};

// Runs Weather with the extra environment; with wait_line, the time until it prints its
// first line.
Child run_weather(const std::vector<std::string>& environment, bool wait_line)
{
    for (const auto& entry : environment)
        putenv(const_cast<char*>(entry.c_str()));
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, pipe_fds[0]);
    std::string program = program_folder() + "/Weather";
    char* argv[] = { program.data(), nullptr };
    Child child;
    auto start = Clock::now();
    pid_t pid = -1;
    int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipe_fds[1]);
    if (spawned != 0) {
        close(pipe_fds[0]);
        return child;
    }
    if (wait_line) {
        char c;
        while (read(pipe_fds[0], &c, 1) == 1 && c != '\n') { }
        child.milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    char buffer[256];
    while (read(pipe_fds[0], buffer, sizeof buffer) > 0) { }
    close(pipe_fds[0]);
    struct rusage usage {};
    wait4(pid, &child.status, 0, &usage);
    child.max_rss_kb = usage.ru_maxrss;
    for (const auto& entry : environment)
        unsetenv(entry.substr(0, entry.find('=')).c_str());
    return child;
}

void print_spread(const char* what, std::vector<double> values, const char* unit)
{
    std::sort(values.begin(), values.end());
    double median = values[values.size() / 2];
    double p95 = values[std::min(values.size() - 1, values.size() * 95 / 100)];
    double mean = std::accumulate(values.begin(), values.end(), 0.0) / double(values.size());
    std::printf("%-52s median %7.2f %s  mean %7.2f  p95 %7.2f  min %7.2f  max %7.2f  (n=%zu)\n", what, median, unit, mean,
        p95, values.front(), values.back(), values.size());
}

void startup_time(const std::string& screen, int runs)
{
    write_cities(5);
    std::vector<double> times;
    for (int i = 0; i <= runs; ++i) {
        Child child = run_weather({ "NALO_SCREEN=" + screen, "NALO_FIRST_FRAME=exit" }, true);
        if (child.milliseconds < 0 || !WIFEXITED(child.status) || WEXITSTATUS(child.status) != 0) {
            std::printf("run failed (status %d)\n", child.status);
            return;
        }
        if (i > 0) // the first run fills the page cache
            times.push_back(child.milliseconds);
    }
    print_spread(("exec to first frame of the main form, 5 cities, " + screen).c_str(), times, "ms");
}

void peak_memory(const std::string& screen)
{
    write_cities(10);
    std::string script = run_folder + "/pages.script";
    std::ofstream out(script);
    out << "wait 0.5\n";
    for (int i = 0; i < 9; ++i)
        out << "key Right\nwait 0.3\n";
    out << "quit\n";
    out.close();
    Child child = run_weather({ "NALO_SCREEN=" + screen, "NALO_SCRIPT=" + script }, false);
    std::printf("%-52s %7.1f MB (ru_maxrss)\n", ("peak RSS, 10 cities paged through, " + screen).c_str(),
        double(child.max_rss_kb) / 1024.0);
}

// In-process, from inside the installed program folder: the shell's form stack and
// headless display, the main form with ten cities, frames of the glide timed one by one.
int glide_frames()
{
    framework::Application application(u"Weather");
    skin::PropertiesImpl properties;
    if (!framework::LanguageCatalogue(properties, u"Weather").load_chosen()
        || !framework::SkinCatalogue(properties, u"Weather").load_chosen()) {
        std::printf("glide: no language or skin\n");
        return 1;
    }
    weather::register_app_node_types();
    int status = 0;
    {
        weather::Settings settings;
        weather::FormMain form(properties);
        const display::ScreenDescription& screen = application.screen();
        display::Display& display = application.game().display();
        framework::FormStack stack(screen.width, screen.height);
        stack.push(form, false, false);
        weather::PageContainer& strip = form.pages();
        std::vector<double> glide, still;
        size_t drawn_frames = 0;
        auto frame = [&](std::vector<double>& into) {
            auto start = Clock::now();
            stack.life_cycle(0.04);
            bool drawn = stack.frame(display.back_surface(), false);
            if (drawn)
                display.present();
            into.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            drawn_frames += drawn && &into == &glide;
        };
        for (int i = 0; i < 10; ++i)
            frame(still);
        still.clear();
        for (int round = 0; round < 5; ++round) {
            for (int step = 0; step < 18; ++step) {
                int page = step < 9 ? step + 1 : 17 - step;
                strip.glide_to(page);
                while (strip.scroll_position() != strip.target()) {
                    frame(glide);
                    if (round == 0 && step == 0 && glide.size() == 3 && std::getenv("NALO_GLIDE_SHOT"))
                        skin::write_png(std::getenv("NALO_GLIDE_SHOT"), display.presented());
                }
                frame(still);
            }
        }
        std::printf("%-52s %zu pages, scale shift %d, %zu of %zu glide frames drawn\n", "glide frames at",
            strip.page_count(), screen.scale_shift, drawn_frames, glide.size());
        print_spread(("one frame of the page glide, " + std::to_string(screen.width) + "x" + std::to_string(screen.height)).c_str(),
            glide, "ms");
        print_spread("one frame with nothing changed", still, "ms");
    }
    weather::unregister_app_node_types();
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::string(argv[1]) == "--glide")
        return glide_frames();
    bool window = argc > 1 && std::string(argv[1]) == "--window";
    if (window) {
        --argc;
        ++argv;
    }
    int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : window ? 3 : 15;
    char pattern[] = "/tmp/nalo-startup-bench.XXXXXX";
    if (!mkdtemp(pattern))
        return 1;
    run_folder = pattern;
    setenv("NALO_REGISTRY", (run_folder + "/registry.db").c_str(), 1);
    setenv("NALO_TEMP", run_folder.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", run_folder.c_str(), 1);
    setenv("NALO_HEADLESS", "1", 1);
    setenv("NALO_QUEUE_SUFFIX", ("startup-bench-" + std::to_string(getpid())).c_str(), 1);
    const char* source = std::getenv("NALO_BENCH_PROGRAM_DIR");
    std::string install = std::string(NALO_TOOLS_DIR) + "/nalo-install " + (source && *source ? source : NALO_PROGRAM_DIR)
        + " " + program_folder() + " >/dev/null";
    if (std::system(install.c_str()) != 0) {
        std::printf("nalo-install failed\n");
        return 1;
    }
    runtime::write_string(weather::sibling_key, u"InstallDir", u"/opt/nalo/Quillpane");
    runtime::write_string(weather::weather_key, u"Server", u"127.0.0.1:9");

    std::printf("machine: %ld cores, load average at start:", sysconf(_SC_NPROCESSORS_ONLN));
    if (double load[3]; getloadavg(load, 3) == 3)
        std::printf(" %.2f %.2f %.2f", load[0], load[1], load[2]);
    std::printf("\n");
    if (window) {
        int failed = startup_bench::window_figures(runs);
        fs::remove_all(run_folder);
        return failed;
    }
    startup_time("240x320@96", runs);
    startup_time("480x640@192", runs);
    peak_memory("480x640@192");
    peak_memory("240x320@96");

    // The glide in this program, run from inside the program folder (its %app_path%).
    write_cities(10);
    std::string self = program_folder() + "/startup-bench";
    fs::copy_file("/proc/self/exe", self, fs::copy_options::overwrite_existing);
    std::fflush(stdout);
    std::string glide = "NALO_SCREEN=480x640@192 " + self + " --glide";
    int status = std::system(glide.c_str());
    std::string glide_small = "NALO_SCREEN=240x320@96 " + self + " --glide";
    status |= std::system(glide_small.c_str());
    // The landscape page, two columns, on the largest landscape panel.
    std::string glide_wide = "NALO_SCREEN=800x480@96 " + self + " --glide";
    status |= std::system(glide_wide.c_str());
    if (double load[3]; getloadavg(load, 3) == 3)
        std::printf("load average at end: %.2f %.2f %.2f\n", load[0], load[1], load[2]);
    fs::remove_all(run_folder);
    return status == 0 ? 0 : 1;
}
