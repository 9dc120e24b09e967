#include "WindowBench.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace startup_bench {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double ms_between(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

bool exists(const std::string& path)
{
    struct stat s;
    return ::stat(path.c_str(), &s) == 0;
}

pid_t spawn(const std::vector<std::string>& arguments, const std::vector<std::string>& extra, int out_fd)
{
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        bool replaced = std::any_of(extra.begin(), extra.end(),
            [&](const std::string& x) { return x.substr(0, x.find('=')) == entry.substr(0, entry.find('=')); });
        if (!replaced)
            environment.push_back(entry);
    }
    environment.insert(environment.end(), extra.begin(), extra.end());
    std::vector<char*> argv, envp;
    for (const auto& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (auto& e : environment)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (out_fd >= 0)
        posix_spawn_file_actions_adddup2(&actions, out_fd, 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// An X server of the benchmark's own, on the first free display from :60 on, large
// enough for 480x640 and for 240x320 enlarged twice.
class XServer {
public:
    bool start()
    {
        for (int number = 60; number < 160; ++number) {
            std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
            if (exists("/tmp/.X" + std::to_string(number) + "-lock") || exists(socket))
                continue;
            m_name = std::to_string(number);
            m_name.insert(m_name.begin(), ':');
            m_pid = spawn({ "/usr/bin/Xvfb", m_name, "-screen", "0", "1280x1400x24", "-nolisten", "tcp" }, {}, -1);
            if (m_pid < 0)
                return false;
            for (int i = 0; i < 500 && !exists(socket); ++i)
                std::this_thread::sleep_for(10ms);
            if (exists(socket))
                return true;
            stop();
        }
        return false;
    }
    void stop()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
        m_pid = -1;
    }
    ~XServer() { stop(); }
    const std::string& name() const { return m_name; }

private:
    pid_t m_pid { -1 };
    std::string m_name;
};

// Top-level windows mapped on the server, as they happen.
class MapWatch {
public:
    explicit MapWatch(const std::string& display)
        : m_display(XOpenDisplay(display.c_str()))
    {
        if (m_display) {
            XSelectInput(m_display, DefaultRootWindow(m_display), SubstructureNotifyMask);
            XSync(m_display, True);
        }
    }
    ~MapWatch()
    {
        if (m_display)
            XCloseDisplay(m_display);
    }
    bool ok() const { return m_display != nullptr; }
    // Takes the events that came; the time the first map was seen.
    void drain()
    {
        while (XPending(m_display)) {
            XEvent event;
            XNextEvent(m_display, &event);
            if (event.type == MapNotify) {
                last_map = Clock::now();
                if (maps++ == 0)
                    first_map = last_map;
            } else if (event.type == DestroyNotify) {
                ++destroyed;
            }
        }
    }
    void wait(std::chrono::milliseconds time)
    {
        auto end = Clock::now() + time;
        while (Clock::now() < end) {
            pollfd p { ConnectionNumber(m_display), POLLIN, 0 };
            ::poll(&p, 1, 5);
            drain();
        }
    }
    int maps { 0 };
    int destroyed { 0 };
    Clock::time_point first_map;
    Clock::time_point last_map;

private:
    Display* m_display;
};

// Sums of the process's threads: processor time (ns) and voluntary context switches.
struct Usage {
    double cpu_ns { 0 };
    long switches { 0 };
};

Usage usage_of(pid_t pid)
{
    Usage usage;
    std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = ::opendir(tasks.c_str());
    if (!dir)
        return usage;
    while (dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        std::string task = tasks + "/" + entry->d_name;
        std::ifstream schedstat(task + "/schedstat");
        double run_ns = 0;
        if (schedstat >> run_ns)
            usage.cpu_ns += run_ns;
        std::ifstream status(task + "/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0)
                usage.switches += std::atol(line.c_str() + 24);
    }
    ::closedir(dir);
    return usage;
}

long status_kb(pid_t pid, const char* field)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::strlen(field));
    return -1;
}

// The GL, Mesa and LLVM libraries among the process's mappings.
std::string gl_libraries(pid_t pid)
{
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::vector<std::string> found;
    for (std::string line; std::getline(maps, line);) {
        size_t slash = line.rfind('/');
        if (slash == std::string::npos)
            continue;
        std::string name = line.substr(slash + 1);
        for (const char* mark : { "libGL", "libEGL", "libLLVM", "swrast", "_dri", "libgbm", "libglapi", "libvulkan" })
            if (name.find(mark) != std::string::npos && std::find(found.begin(), found.end(), name) == found.end())
                found.push_back(name);
    }
    std::string text;
    for (const auto& name : found)
        text += (text.empty() ? "" : " ") + name;
    return text.empty() ? "none" : text;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

struct Round {
    double mapped_ms { -1 };
    double last_mapped_ms { -1 };
    double first_frame_ms { -1 };
    int maps { 0 };
    double peak_mb { -1 };
    double idle_cpu_percent { -1 };
    double wakeups_per_s { -1 };
    std::string gl;
};

std::vector<std::string> weather_environment(const std::string& display, const std::string& screen, int zoom)
{
    return { "DISPLAY=" + display, "NALO_HEADLESS=0", "NALO_SCREEN=" + screen, "NALO_ZOOM=" + std::to_string(zoom) };
}

// Exec to the window mapped and to the first frame of the main form (the program says
// so and ends: NALO_FIRST_FRAME=exit).
bool timed_start(const std::string& display, const std::string& screen, int zoom, Round& round)
{
    MapWatch watch(display);
    int fds[2];
    if (!watch.ok() || ::pipe(fds) != 0) {
        std::printf("window %s: no connection to the X server %s\n", screen.c_str(), display.c_str());
        return false;
    }
    std::vector<std::string> environment = weather_environment(display, screen, zoom);
    environment.push_back("NALO_FIRST_FRAME=exit");
    auto start = Clock::now();
    pid_t pid = spawn({ program_folder() + "/Weather" }, environment, fds[1]);
    ::close(fds[1]);
    if (pid < 0) {
        ::close(fds[0]);
        std::printf("window %s: Weather did not start\n", screen.c_str());
        return false;
    }
    std::string line;
    // A start that takes more than 30 s is ended and counts as failed.
    while (ms_between(start, Clock::now()) < 30000) {
        pollfd p { fds[0], POLLIN, 0 };
        ::poll(&p, 1, 5);
        watch.drain();
        if (p.revents) {
            char c;
            if (::read(fds[0], &c, 1) != 1)
                break;
            if (c == '\n') {
                round.first_frame_ms = ms_between(start, Clock::now());
                break;
            }
        }
    }
    watch.wait(50ms);
    ::close(fds[0]);
    if (round.first_frame_ms < 0)
        ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (watch.maps > 0) {
        round.mapped_ms = ms_between(start, watch.first_map);
        round.last_mapped_ms = ms_between(start, watch.last_map);
    }
    round.maps = watch.maps;
    if (round.first_frame_ms >= 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return true;
    std::printf("window %s: no first frame (status %d)\n", screen.c_str(), status);
    return false;
}

// A run that stays on its first page: after 3 s, the processor time and the wake-ups
// over 10 s, then the peak resident memory and the GL libraries mapped.
bool idle_run(const std::string& display, const std::string& screen, int zoom, Round& round)
{
    pid_t pid = spawn({ program_folder() + "/Weather" }, weather_environment(display, screen, zoom), -1);
    if (pid < 0) {
        std::printf("window %s: Weather did not start\n", screen.c_str());
        return false;
    }
    std::this_thread::sleep_for(3s);
    Usage before = usage_of(pid);
    auto from = Clock::now();
    std::this_thread::sleep_for(10s);
    Usage after = usage_of(pid);
    double seconds = ms_between(from, Clock::now()) / 1000.0;
    round.idle_cpu_percent = (after.cpu_ns - before.cpu_ns) / 1e9 / seconds * 100.0;
    round.wakeups_per_s = double(after.switches - before.switches) / seconds;
    round.peak_mb = double(status_kb(pid, "VmHWM:")) / 1024.0;
    round.gl = gl_libraries(pid);
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (round.peak_mb > 0)
        return true;
    std::printf("window %s: Weather ended before the idle time was over (status %d)\n", screen.c_str(), status);
    return false;
}

} // namespace

int window_figures(int rounds)
{
    XServer server;
    if (!server.start()) {
        std::printf("window: no Xvfb (Debian xvfb)\n");
        return 1;
    }
    write_cities(5);
    int failed = 0;
    struct Case {
        const char* screen;
        int zoom;
    };
    for (Case c : { Case { "240x320@96", 2 }, Case { "480x640@192", 1 } }) {
        std::vector<Round> done;
        for (int i = 0; i <= rounds; ++i) {
            Round round;
            if (!timed_start(server.name(), c.screen, c.zoom, round)) {
                ++failed;
                break;
            }
            if (i == 0) // the first run fills the page cache
                continue;
            if (!idle_run(server.name(), c.screen, c.zoom, round)) {
                ++failed;
                break;
            }
            done.push_back(round);
        }
        if (done.empty())
            continue;
        auto pick = [&](double Round::*field) {
            std::vector<double> values;
            for (const Round& r : done)
                values.push_back(r.*field);
            return median(values);
        };
        int most_maps = 0;
        for (const Round& r : done)
            most_maps = std::max(most_maps, r.maps);
        std::printf("window, 5 cities, %s zoom %d (medians of %zu rounds):\n", c.screen, c.zoom, done.size());
        std::printf("  exec to window mapped         %8.1f ms   (the last of at most %d windows mapped: %.1f ms)\n",
            pick(&Round::mapped_ms), most_maps, pick(&Round::last_mapped_ms));
        std::printf("  exec to first main-form frame %8.1f ms   (goal < 100)\n", pick(&Round::first_frame_ms));
        std::printf("  peak RSS (VmHWM)              %8.1f MB   (goal < 40)\n", pick(&Round::peak_mb));
        std::printf("  idle CPU over 10 s            %8.3f %%    (goal < 0.1)\n", pick(&Round::idle_cpu_percent));
        std::printf("  wake-ups                      %8.1f /s   (goal <= 2; voluntary context switches, all threads)\n",
            pick(&Round::wakeups_per_s));
        std::printf("  GL libraries mapped           %s\n", done.back().gl.c_str());
    }
    return failed == 0 ? 0 : 1;
}

} // namespace startup_bench
