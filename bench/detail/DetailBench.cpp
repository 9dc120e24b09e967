// The detail form at 480x640 (192 dpi) on the shipped "default" skin, headless, with a
// city of 24 hours and every detail:
//   BM_OpenDetailForm   Enter on the main form to the detail form's first full frame:
//                       the form filled from the record and pushed, laid out, its life
//                       cycle run and every node drawn into a 480x640 frame;
//   BM_StripDragFrame   one frame while the stylus drags the hour strip: the move, the life
//                       cycle and the whole form drawn.
// Presenting the frame to a display is left out (the shell's own figure, shell_bench).
#include "app/AppNodeTypes.h"
#include "app/FormDetail.h"
#include "app/HourStrip.h"
#include "app/Settings.h"

#include "framework/Application.h"

#include "platform/Clock.h"
#include "platform/TextEncoding.h"

#include "skin/SkinNodeTypes.h"
#include "skin/draw/RenderSurface.h"
#include "skin/file/PropertiesImpl.h"
#include "skin/nodes/Layout.h"
#include "skin/nodes/StylusEvent.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

constexpr int width = 480, height = 640;

struct Scene {
    Scene()
    {
        std::string state = "/tmp/detail_bench." + std::to_string(getpid());
        setenv("NALO_REGISTRY", (state + ".db").c_str(), 1);
        setenv("NALO_HEADLESS", "1", 1);
        setenv("NALO_SCREEN", "480x640@192", 1);
        skin::register_skin_node_types();
        weather::register_app_node_types();
        app = std::make_unique<framework::Application>(u"DetailBench");
        std::string program = NALO_PROGRAM_DIR;
        if (!skin.load_skin(platform::from_utf8(program + "/skins/bin/default.skin"),
                skin::ScreenInfo::make(width, height, 192))
            || !skin.load_language(platform::from_utf8(program + "/english.lng"))) {
            std::fprintf(stderr, "detail_bench: no shipped skin in %s\n", program.c_str());
            std::exit(1);
        }
        settings = std::make_unique<weather::Settings>();
        settings->add_city(u"02950159", u"Berlin, Berlin, Germany");
        weather::CityRecord& city = settings->city(settings->city_count() - 1);
        index = int32_t(settings->city_count() - 1);
        city.details = { -3, 14, 225, 81, 10162, 12, 60, 35, 401, 1087 };
        int64_t hour = platform::local_now() / (platform::units_per_minute * 60) * platform::units_per_minute * 60;
        for (int i = 0; i < 24; ++i)
            city.hours.push_back({ hour + i * platform::units_per_minute * 60, i - 5, i % 3 ? 11 : 32, i * 4 });
        form = std::make_unique<weather::FormDetail>(skin);
        form->show(index);
        if (form->strip().cell_count() != 24 || !app->is_on_stack(*form)) {
            std::fprintf(stderr, "detail_bench: the detail form did not open (%zu cities)\n", settings->city_count());
            std::exit(1);
        }
        app->remove_form(*form, false);
    }

    void frame(double elapsed)
    {
        skin::place_on_screen(*form, width, height);
        form->life_cycle(elapsed);
        form->draw_node(surface, { 0, 0 });
    }

    std::unique_ptr<framework::Application> app;
    skin::PropertiesImpl skin;
    std::unique_ptr<weather::Settings> settings;
    std::unique_ptr<weather::FormDetail> form;
    skin::RenderSurface surface { width, height };
    int32_t index { 0 };
};

Scene& scene()
{
    static Scene s;
    return s;
}

void BM_OpenDetailForm(benchmark::State& state)
{
    Scene& s = scene();
    for (auto _ : state) {
        s.form->show(s.index);
        s.frame(0.04);
        benchmark::ClobberMemory();
        state.PauseTiming();
        // Off the stack at once, so that the next round opens it anew.
        s.app->remove_form(*s.form, false);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenDetailForm)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_StripDragFrame(benchmark::State& state)
{
    Scene& s = scene();
    s.form->show(s.index);
    s.frame(0.04);
    weather::HourStrip& strip = s.form->strip();
    skin::Point at { strip.x() + strip.width() / 2, strip.y() + strip.height() / 2 };
    s.form->stylus({ at, false, true, false });
    int step = 0;
    for (auto _ : state) {
        // Back and forth across the middle of the day, 8 px a frame.
        int x = at.x - 200 + std::abs((step++ % 100) - 50) * 8;
        s.form->stylus_move({ x, at.y });
        s.frame(0.016);
    }
    s.form->stylus({ at, false, false, false });
    s.app->remove_form(*s.form, false);
}
BENCHMARK(BM_StripDragFrame)->Unit(benchmark::kMicrosecond)->MinTime(3.0);

} // namespace

BENCHMARK_MAIN();
