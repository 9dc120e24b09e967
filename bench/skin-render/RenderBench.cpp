// Pixel throughput of the blenders against memcpy and pixman, per-call cost of text and
// nine-part drawing, and whole representative forms.
#include "platform/TextEncoding.h"
#include "skin/SkinNodeTypes.h"
#include "skin/compiler/SkinCompiler.h"
#include "skin/draw/Blenders.h"
#include "skin/draw/Dim.h"
#include "skin/draw/Drawing.h"
#include "skin/draw/SolidFill.h"
#include "skin/draw/Transition.h"
#include "skin/file/PropertiesImpl.h"
#include "skin/nodes/FormNode.h"
#include "skin/nodes/Layout.h"
#include "skin/nodes/NodeFactory.h"
#include "skin/text/FreeTypeFont.h"
#include "skin/text/TextDrawing.h"

#include <benchmark/benchmark.h>
#include <pixman.h>
#include <png.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

using namespace skin;

namespace {

constexpr int W = 480, H = 640;

// Pictures with opaque, translucent (pre-multiplied) and key pixels in runs, as skins have them.
SharedPicture mixed_picture(int w, int h, unsigned seed)
{
    auto p = std::make_shared<Picture>(w, h);
    std::mt19937 gen(seed);
    for (int y = 0; y < h; ++y) {
        Pixel* row = p->pixels().row(y);
        for (int x = 0; x < w;) {
            int kind = int(gen() % 3), run = 1 + int(gen() % 24);
            for (int i = 0; i < run && x < w; ++i, ++x) {
                Pixel v = Pixel(gen());
                row[x] = kind == 0 ? Pixel(v | opaque_bit) : kind == 1 ? Pixel((v >> 1) & 0x7BCF) : transparent_key;
            }
        }
    }
    return p;
}

RenderSurface surface_of(const SharedPicture& p)
{
    RenderSurface s(p->width(), p->height());
    for (int y = 0; y < p->height(); ++y)
        std::memcpy(s.buffer().row(y), p->pixels().row(y), size_t(p->width()) * 2);
    return s;
}

void set_pixels(benchmark::State& state, int64_t per_iteration)
{
    state.counters["Mpix/s"] = benchmark::Counter(double(state.iterations() * per_iteration) / 1e6, benchmark::Counter::kIsRate);
}

void BM_memcpy(benchmark::State& state)
{
    const int w = int(state.range(0)), h = w * 4 / 3;
    RenderSurface src = surface_of(mixed_picture(w, h, 1)), dst(w, h);
    for (auto _ : state) {
        for (int y = 0; y < h; ++y)
            std::memcpy(dst.buffer().row(y), src.buffer().row(y), w * 2);
        benchmark::ClobberMemory();
    }
    set_pixels(state, w * h);
}
BENCHMARK(BM_memcpy)->Arg(48)->Arg(480)->Arg(1440);

void BM_opaque_copy(benchmark::State& state)
{
    const int w = int(state.range(0)), h = w * 4 / 3;
    RenderSurface src = surface_of(mixed_picture(w, h, 1)), dst(w, h);
    auto b = make_opaque_copy();
    for (auto _ : state) {
        blit(dst, { 0, 0 }, src, *b);
        benchmark::ClobberMemory();
    }
    set_pixels(state, w * h);
}
BENCHMARK(BM_opaque_copy)->Arg(48)->Arg(480)->Arg(1440);

void BM_opaque_picture_480x640(benchmark::State& state)
{
    auto pic = mixed_picture(W, H, 1);
    RenderSurface dst(W, H);
    auto b = make_opaque_copy();
    auto ref = PictureRef::whole(pic);
    for (auto _ : state) {
        draw_picture(dst, { 0, 0 }, { W, H }, ref, *b);
        benchmark::ClobberMemory();
    }
    set_pixels(state, W * H);
}
BENCHMARK(BM_opaque_picture_480x640);

pixman_image_t* pixman_of(const RenderSurface& s)
{
    return pixman_image_create_bits(PIXMAN_r5g6b5, s.width(), s.height(), reinterpret_cast<uint32_t*>(s.buffer().first_row), s.buffer().pitch);
}

void BM_pixman_src_565(benchmark::State& state)
{
    const int w = int(state.range(0)), h = w * 4 / 3;
    RenderSurface src = surface_of(mixed_picture(w, h, 1)), dst(w, h);
    pixman_image_t* s = pixman_of(src);
    pixman_image_t* d = pixman_of(dst);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_SRC, s, nullptr, d, 0, 0, 0, 0, 0, 0, w, h);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(s);
    pixman_image_unref(d);
    set_pixels(state, w * h);
}
BENCHMARK(BM_pixman_src_565)->Arg(48)->Arg(480)->Arg(1440);

void BM_pixman_over_8888_to_565(benchmark::State& state)
{
    const int w = int(state.range(0)), h = w * 4 / 3;
    std::vector<uint32_t> argb(size_t(w) * h);
    std::mt19937 gen(1);
    for (size_t i = 0; i < argb.size();) {
        int kind = int(gen() % 3), run = 1 + int(gen() % 24);
        for (int k = 0; k < run && i < argb.size(); ++k, ++i) {
            uint32_t alpha = kind == 0 ? 255 : kind == 1 ? 128 : 0;
            uint32_t c = gen() & 0x00FFFFFF;
            // pre-multiplied, as pixman expects
            uint32_t r = ((c >> 16) & 255) * alpha / 255, g = ((c >> 8) & 255) * alpha / 255, b = (c & 255) * alpha / 255;
            argb[i] = (alpha << 24) | (r << 16) | (g << 8) | b;
        }
    }
    RenderSurface dst(w, h);
    fill(dst, { 0, 0 }, { w, h }, SolidFill(0x8410));
    pixman_image_t* s = pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, argb.data(), w * 4);
    pixman_image_t* d = pixman_of(dst);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_OVER, s, nullptr, d, 0, 0, 0, 0, 0, 0, w, h);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(s);
    pixman_image_unref(d);
    set_pixels(state, w * h);
}
BENCHMARK(BM_pixman_over_8888_to_565)->Arg(48)->Arg(480)->Arg(1440);

// Level blends of a whole 480x640 picture (level = argument; 5 = text merge).
void BM_blend_picture_480x640(benchmark::State& state)
{
    auto pic = mixed_picture(W, H, 1);
    RenderSurface dst(W, H);
    fill(dst, { 0, 0 }, { W, H }, SolidFill(0x8410));
    int level = int(state.range(0));
    auto b = level == 5 ? make_text_merge() : make_level_blender(level);
    auto ref = PictureRef::whole(pic);
    for (auto _ : state) {
        draw_picture(dst, { 0, 0 }, { W, H }, ref, *b);
        benchmark::ClobberMemory();
    }
    set_pixels(state, W * H);
}
BENCHMARK(BM_blend_picture_480x640)->DenseRange(0, 5);

void BM_level2_blit(benchmark::State& state)
{
    const int w = int(state.range(0)), h = w * 4 / 3;
    RenderSurface src = surface_of(mixed_picture(w, h, 1)), dst(w, h);
    auto b = make_level_blender(2);
    for (auto _ : state) {
        blit(dst, { 0, 0 }, src, *b);
        benchmark::ClobberMemory();
    }
    set_pixels(state, w * h);
}
BENCHMARK(BM_level2_blit)->Arg(48)->Arg(480)->Arg(1440);

// A 2x screen: the 240x320 picture doubled pixel by pixel.
void BM_level2_picture_doubled_480x640(benchmark::State& state)
{
    auto pic = mixed_picture(W / 2, H / 2, 1);
    RenderSurface dst(W, H);
    auto b = make_level_blender(2);
    auto ref = PictureRef::whole(pic, 1);
    ref.p2 = ref.p3 = { W, H };
    for (auto _ : state) {
        draw_picture(dst, { 0, 0 }, { W, H }, ref, *b);
        benchmark::ClobberMemory();
    }
    set_pixels(state, W * H);
}
BENCHMARK(BM_level2_picture_doubled_480x640);

PictureRef background_ref(int shift)
{
    static SharedPicture frame = mixed_picture(48, 48, 7);
    PictureRef r;
    r.picture = frame;
    int f = 1 << shift;
    r.p1 = { 12 * f, 12 * f };
    r.p2 = { 36 * f, 36 * f };
    r.p3 = { 48 * f, 48 * f };
    r.scale_shift = shift;
    return r;
}

void BM_nine_part_background_480x640(benchmark::State& state)
{
    RenderSurface dst(W, H);
    auto b = make_opaque_copy();
    auto ref = background_ref(int(state.range(0)));
    for (auto _ : state) {
        draw_picture(dst, { 0, 0 }, { W, H }, ref, *b);
        benchmark::ClobberMemory();
    }
    set_pixels(state, W * H);
}
BENCHMARK(BM_nine_part_background_480x640)->Arg(0)->Arg(1);

// Per-call cost of a small nine-part piece: a 60 x 20 button from a 16 x 16 frame.
void BM_nine_part_button_60x20(benchmark::State& state)
{
    static SharedPicture frame = mixed_picture(16, 16, 5);
    PictureRef r;
    r.picture = frame;
    r.p1 = { 4, 4 };
    r.p2 = { 12, 12 };
    r.p3 = { 16, 16 };
    RenderSurface dst(W, H);
    auto b = make_level_blender(0);
    for (auto _ : state) {
        draw_picture(dst, { 100, 100 }, { 60, 20 }, r, *b);
        benchmark::ClobberMemory();
    }
    set_pixels(state, 60 * 20);
}
BENCHMARK(BM_nine_part_button_60x20);

void BM_dim_480x640(benchmark::State& state)
{
    RenderSurface dst(W, H);
    fill(dst, { 0, 0 }, { W, H }, SolidFill(0xFFFF));
    Dim dim(200);
    for (auto _ : state) {
        fill(dst, { 0, 0 }, { W, H }, dim);
        benchmark::ClobberMemory();
    }
    set_pixels(state, W * H);
}
BENCHMARK(BM_dim_480x640);

const FreeTypeFont& bench_font(int scale)
{
    static FreeTypeFont f1([] {
        FontSpec s;
        s.face = u"DejaVu Sans";
        return s;
    }());
    static FreeTypeFont f2([] {
        FontSpec s;
        s.face = u"DejaVu Sans";
        s.scale_factor = 2;
        return s;
    }());
    return scale == 2 ? f2 : f1;
}

// One frame of each visibility animation at 480 x 640, half way.
void BM_animation_frame_480x640(benchmark::State& state)
{
    auto kind = TransitionKind(state.range(0));
    RenderSurface background = surface_of(mixed_picture(W, H, 1)), form = surface_of(mixed_picture(W, H, 2)), dst(W, H);
    for (auto _ : state) {
        draw_transition(kind, dst, { 0, 0 }, { W, H }, background, form, 0.6);
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::to_string(int(kind)));
}
BENCHMARK(BM_animation_frame_480x640)->DenseRange(0, 6)->Unit(benchmark::kMicrosecond);

// A warm 20-character line: glyphs cached, scratch surface grown.
void BM_text_line_20_chars(benchmark::State& state)
{
    const FreeTypeFont& f = bench_font(int(state.range(0)));
    RenderSurface dst(W, H);
    fill(dst, { 0, 0 }, { W, H }, SolidFill(0xFFFF));
    const std::u16string text = u"Partly cloudy, 21\u00B0C!";
    Point box { W - 20, f.line_height() + 4 };
    draw_text(&f, dst, Color { 0, 0, 0, 255 }, text, { 10, 10 }, box, HAlign::left, VAlign::vcenter, false);
    for (auto _ : state) {
        draw_text(&f, dst, Color { 0, 0, 0, 255 }, text, { 10, 10 }, box, HAlign::left, VAlign::vcenter, false);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_text_line_20_chars)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// A forecast page as the skins build it: nine-part background, ten text lines, six
// condition pictures with keyed transparency, drawn the way the nodes draw them.
void draw_form(RenderSurface& dst, int shift)
{
    static auto copy = make_opaque_copy();
    static auto keyed = make_level_blender(0);
    static SharedPicture icon = mixed_picture(32, 32, 9);
    int f = 1 << shift;
    int w = dst.width(), h = dst.height();
    draw_picture(dst, { 0, 0 }, { w, h }, background_ref(shift), *copy);
    const FreeTypeFont& font = bench_font(f);
    static const char16_t* lines[10] = { u"Amsterdam", u"Partly cloudy", u"+21\u00B0", u"Updated 12:45", u"Mon  +19\u00B0 / +11\u00B0",
        u"Tue  +18\u00B0 / +10\u00B0", u"Wed  +22\u00B0 / +13\u00B0", u"Thu  +17\u00B0 / +9\u00B0", u"Fri  +16\u00B0 / +8\u00B0", u"Menu" };
    int line = font.line_height();
    for (int i = 0; i < 10; ++i)
        draw_text(&font, dst, Color { 255, 255, 255, 255 }, lines[i], { 8 * f, 4 * f + i * (line + 2 * f) }, { w - 16 * f, line },
            i == 2 ? HAlign::right : HAlign::left, VAlign::vcenter, true);
    PictureRef ref = PictureRef::whole(icon, shift);
    ref.p2 = ref.p3 = { 32 * f, 32 * f };
    for (int i = 0; i < 6; ++i)
        draw_picture(dst, { (4 + (i % 3) * 40) * f, (200 + (i / 3) * 40) * f }, { 32 * f, 32 * f }, ref, *keyed);
}

void BM_whole_form(benchmark::State& state)
{
    int shift = int(state.range(0));
    RenderSurface dst(240 << shift, 320 << shift);
    draw_form(dst, shift);
    for (auto _ : state) {
        draw_form(dst, shift);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_whole_form)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The same page as a skin: compiled from its source, built by the node factory, laid
// out for the screen and drawn by the nodes themselves.
void write_rgba_png(const std::string& path, int w, int h, bool round)
{
    std::vector<uint8_t> rgba(size_t(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &rgba[size_t((y * w + x) * 4)];
            int dx = 2 * x - w + 1, dy = 2 * y - h + 1;
            bool inside = !round || dx * dx + dy * dy < w * w;
            bool edge = round && dx * dx + dy * dy > (w - 6) * (w - 6);
            p[0] = uint8_t(40 + 5 * x);
            p[1] = uint8_t(90 + 3 * y);
            p[2] = 170;
            p[3] = inside ? (edge ? 128 : 255) : 0;
        }
    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(w);
    image.height = png_uint_32(h);
    image.format = PNG_FORMAT_RGBA;
    png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr);
}

std::string compiled_form()
{
    static std::filesystem::path folder = std::filesystem::temp_directory_path() / ("skin-render-bench-" + std::to_string(::getpid()));
    static std::string path = [] {
        std::atexit([] { std::filesystem::remove_all(folder); });
        std::filesystem::create_directories(folder / "out");
        write_rgba_png((folder / "frame.png").string(), 48, 48, false);
        write_rgba_png((folder / "icon.png").string(), 32, 32, true);
        std::string xml = R"(<skin><node name="page" outside_color="0 0 0">
  <node type="image" src="frame.png 0 0 12 12 36 36 48 48"/>
  <node type="vtable" border_min="8 4" border_max="8 4">)";
        const char* lines[10] = { "Amsterdam", "Partly cloudy", "+21&#176;", "Updated 12:45", "Mon  +19&#176; / +11&#176;",
            "Tue  +18&#176; / +10&#176;", "Wed  +22&#176; / +13&#176;", "Thu  +17&#176; / +9&#176;", "Fri  +16&#176; / +8&#176;", "Menu" };
        for (const char* line : lines)
            xml += std::string(R"(<node type="text" font="12 0 0 0 DejaVu Sans" color="255 255 255" halign="LEFT" ellipsis="1" grow="1" anchor_y="MIN_SIDE" text=")")
                + line + "\"/>";
        xml += R"(<node type="htable" anchor_y="MIN_SIDE">)";
        for (int i = 0; i < 6; ++i)
            xml += R"(<node type="image" src="icon.png" alpha="10" grow="1" border_max="4 4" anchor_x="MIN_SIDE"/>)";
        xml += "</node></node></node></skin>";
        std::ofstream((folder / "page.xml").string()) << xml;
        std::string error, out = (folder / "out" / "page.skin").string();
        if (!skinc::compile_skin((folder / "page.xml").string(), out, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            std::exit(1);
        }
        return out;
    }();
    return path;
}

void BM_whole_form_nodes(benchmark::State& state)
{
    int shift = int(state.range(0));
    static bool ready = [] {
        install_freetype_fonts();
        register_skin_node_types();
        return true;
    }();
    (void)ready;
    int w = 240 << shift, h = 320 << shift;
    PropertiesImpl properties;
    if (!properties.load_skin(platform::from_utf8(compiled_form()), ScreenInfo::make(w, h, 96 << shift))) {
        state.SkipWithError("the skin does not load");
        return;
    }
    FormNode form;
    form.build(properties, u"page");
    place_on_screen(form, w, h);
    RenderSurface frame(w, h);
    form.draw_node(frame, { 0, 0 });
    for (auto _ : state) {
        form.draw_node(frame, { 0, 0 });
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_whole_form_nodes)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
