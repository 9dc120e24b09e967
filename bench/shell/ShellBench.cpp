// The shell's figures, headless at 480x640 (192 dpi): the processor time of a static form
// in direct mode over 10 s (getrusage) with the frames presented and the waits of the
// loop; the time to compose and present one frame of a full-screen form with ten text
// nodes and six pictures; and the frame times of a form's push animation.
#include "framework/Application.h"
#include "framework/FormStack.h"
#include "framework/GameBase.h"

#include "display/HeadlessDisplay.h"
#include "platform/MessageQueue.h"
#include "platform/TextEncoding.h"
#include "skin/compiler/SkinCompiler.h"
#include "skin/file/PropertiesImpl.h"
#include "skin/nodes/FormNode.h"

#include <png.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start) { return std::chrono::duration<double, std::milli>(Clock::now() - start).count(); }

void write_picture(const std::string& path, int size, int seed)
{
    std::vector<uint8_t> rgba(size_t(size * size * 4));
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            uint8_t* p = &rgba[size_t((y * size + x) * 4)];
            int d = (x - size / 2) * (x - size / 2) + (y - size / 2) * (y - size / 2);
            p[0] = uint8_t(40 * seed + x * 3);
            p[1] = uint8_t(200 - y * 2);
            p[2] = uint8_t(90 + seed * 20);
            p[3] = d < size * size / 5 ? 255 : d < size * size / 4 ? 128 : 0; // opaque, translucent, clear
        }
    }
    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(size);
    image.height = png_uint_32(size);
    image.format = PNG_FORMAT_RGBA;
    png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr);
}

// The bench skin: "Page" (ten texts, six pictures) and "Next", which slides in.
std::string make_skin(const std::string& folder)
{
    std::string body;
    const char* words[] = { "Berlin", "+21°", "Partly cloudy", "Last update: 10:42", "Today", "Tomorrow", "Wednesday",
        "Thursday", "Friday", "Exit   Menu" };
    for (int i = 0; i < 10; ++i)
        body += "<node type=\"text\" text=\"" + std::string(words[i]) + "\" font=\"" + (i == 1 ? "30" : "13")
            + " 0 0 0 DejaVu Sans\" color=\"#1B1F24\" halign=\"LEFT\" anchor_y=\"MIN_SIDE\" border_min=\"12 "
            + std::to_string(8 + i * 30) + "\" border_max=\"80 0\" design_size=\"0 24\"/>";
    for (int i = 0; i < 6; ++i) {
        write_picture(folder + "/p" + std::to_string(i) + ".png", 48, i);
        body += "<node type=\"image\" src=\"p" + std::to_string(i) + ".png\" alpha=\"" + (i % 2 ? "0" : "100")
            + "\" anchor_x=\"MAX_SIDE\" anchor_y=\"MIN_SIDE\" border_min=\"0 " + std::to_string(8 + i * 50)
            + "\" border_max=\"12 0\" design_size=\"48 48\"/>";
    }
    std::string source = "<skin><node name=\"Page\" outside_color=\"#000000\"><node type=\"color\" color=\"#F0F4F8\"/>" + body
        + "</node><node name=\"Next\" visibility_animation=\"right\"><node type=\"color\" color=\"#E8EEF5\"/>" + body
        + "</node></skin>";
    std::ofstream(folder + "/bench.xml") << source;
    std::string error;
    if (!skinc::compile_skin(folder + "/bench.xml", folder + "/bench.skin", error)) {
        std::fprintf(stderr, "skin: %s\n", error.c_str());
        std::exit(1);
    }
    return folder + "/bench.skin";
}

struct Figures {
    double mean, median, p99, worst;
};

Figures figures(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    double mean = std::accumulate(times.begin(), times.end(), 0.0) / double(times.size());
    return { mean, times[times.size() / 2], times[std::min(times.size() - 1, times.size() * 99 / 100)], times.back() };
}

void idle(framework::Application& app, skin::FormNode& page, double seconds)
{
    app.switch_to_direct_mode(0);
    app.push_form(page, false, false);
    auto& display = dynamic_cast<display::HeadlessDisplay&>(app.game().display());
    platform::WindowHandle window = app.game().window();
    int presented_before = display.presented_count();
    std::thread stopper([window, seconds] {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
        platform::MessageQueue::post_to_window(window, platform::message_quit);
    });
    rusage before {}, after {};
    getrusage(RUSAGE_SELF, &before);
    auto start = Clock::now();
    app.run();
    double wall = ms_since(start) / 1000;
    getrusage(RUSAGE_SELF, &after);
    stopper.join();
    auto cpu = [](const rusage& r) { return r.ru_utime.tv_sec + r.ru_stime.tv_sec + (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6; };
    double used = cpu(after) - cpu(before);
    long sleeps = after.ru_nvcsw - before.ru_nvcsw;
    std::printf("idle static form, direct mode, %.1f s: %.3f s of processor time = %.2f %% of one core; "
                "%d frames presented (the first only); %.0f voluntary sleeps a second (the loop rests while nothing changes)\n",
        wall, used, 100 * used / wall, display.presented_count() - presented_before, double(sleeps) / wall);
    app.remove_form(page, false);
}

void compose(skin::FormNode& page, const display::ScreenDescription& screen)
{
    display::HeadlessDisplay display(screen);
    framework::FormStack stack(screen.width, screen.height);
    stack.push(page, false, false);
    std::vector<double> times;
    for (int i = 0; i < 1100; ++i) {
        auto start = Clock::now();
        stack.frame(display.back_surface(), true);
        display.present();
        if (i >= 100) // the first frames warm the glyph and font caches
            times.push_back(ms_since(start));
    }
    Figures f = figures(times);
    std::printf("compose and present one frame, %dx%d, ten texts and six pictures (%zu frames): mean %.3f ms, median %.3f ms, "
                "p99 %.3f ms, worst %.3f ms\n",
        screen.width, screen.height, times.size(), f.mean, f.median, f.p99, f.worst);
    stack.remove(page, false);
}

void push_animation(skin::FormNode& page, skin::FormNode& next, const display::ScreenDescription& screen)
{
    display::HeadlessDisplay display(screen);
    framework::FormStack stack(screen.width, screen.height);
    stack.push(page, false, false);
    stack.frame(display.back_surface(), true);
    std::vector<double> times;
    int animations = 30;
    for (int round = 0; round < animations; ++round) {
        // The push itself (two snapshots) counts into the first frame.
        auto start = Clock::now();
        stack.push(next, false, true);
        bool first = true;
        while (stack.animating()) {
            if (!first)
                start = Clock::now();
            first = false;
            stack.life_cycle(0.04);
            stack.frame(display.back_surface(), false);
            display.present();
            times.push_back(ms_since(start));
        }
        stack.remove(next, false);
        stack.frame(display.back_surface(), true);
    }
    Figures f = figures(times);
    std::printf("push animation (\"right\", 0.2 s), %dx%d, %d pushes, %zu frames: mean %.3f ms, worst %.3f ms "
                "(the frame with the push); %.0f frames a second at the worst frame\n",
        screen.width, screen.height, animations, times.size(), f.mean, f.worst, 1000 / f.worst);
}

} // namespace

int main(int argc, char** argv)
{
    double idle_seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
    char pattern[] = "/tmp/shell-bench-XXXXXX";
    std::string folder = mkdtemp(pattern);
    ::setenv("NALO_HEADLESS", "1", 1);
    ::setenv("NALO_SCREEN", "480x640@192", 1);
    ::setenv("NALO_TEMP", folder.c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    ::setenv("NALO_REGISTRY", (folder + "/registry.db").c_str(), 1);
    ::unsetenv("NALO_SCRIPT");
    std::string skin_path = make_skin(folder);
    {
        framework::Application app(u"ShellBench");
        skin::PropertiesImpl skin;
        if (!skin.load_skin(platform::from_utf8(skin_path), app.screen())) {
            std::fprintf(stderr, "the bench skin does not load\n");
            return 1;
        }
        skin::FormNode page, next;
        page.build(skin, u"Page");
        next.build(skin, u"Next");
        std::printf("shell_bench: headless %dx%d at %d dpi\n", app.screen().width, app.screen().height, app.screen().dpi_y);
        compose(page, app.screen());
        push_animation(page, next, app.screen());
        idle(app, page, idle_seconds);
    }
    std::filesystem::remove_all(folder);
    return 0;
}
