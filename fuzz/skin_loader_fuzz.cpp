// Any bytes given to the skin loader either load or fail; nothing reads outside the
// image. Loaded skins are walked through every getter.
#include "skin/SkinNodeTypes.h"
#include "skin/draw/RenderSurface.h"
#include "skin/file/PropertiesImpl.h"
#include "skin/nodes/FormNode.h"
#include "skin/nodes/Layout.h"
#include "skin/nodes/NodeFactory.h"
#include "skin/nodes/SkinErrors.h"
#include "skin/text/FontRegistry.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

using namespace skin;

namespace {

std::u16string skin_path()
{
    static std::u16string path = [] {
        std::string folder = "/tmp/skin_loader_fuzz." + std::to_string(getpid());
        std::system(("mkdir -p " + folder).c_str());
        // A 2 x 2 picture named "p" for skins that name it.
        const unsigned char bitmap[] = { 'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0,
            0, 2, 0, 0, 0, 1, 0, 16, 0, 0, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
            1, 2, 3, 4, 0, 0, 5, 6, 7, 8, 0, 0 };
        FILE* f = std::fopen((folder + "/p.bmp").c_str(), "wb");
        std::fwrite(bitmap, 1, sizeof bitmap, f);
        std::fclose(f);
        std::u16string result;
        for (char c : folder + "/fuzz.skin")
            result += char16_t(c);
        return result;
    }();
    return path;
}

volatile int sink;

// Fonts with fixed metrics: text lays out and wraps without the cost of real fonts.
class FixedFont final : public FontRep {
public:
    explicit FixedFont(const FontSpec& spec)
        : FontRep(spec)
    {
    }
    int line_height() const override { return 10 * spec().scale_factor; }
    TextExtent measure_text(std::u16string_view text) const override
    {
        TextExtent extent { 0, line_height(), {} };
        for (char16_t c : text)
            extent.right_edges.push_back(extent.width += c == u' ' ? 3 : 6);
        return extent;
    }
};

void walk(const Properties& p, NodeBody body, int depth)
{
    if (depth > 300)
        return;
    for (int s = 0; s < layout::section_count; ++s) {
        for (const std::u16string& name : p.attribute_names(body, layout::Section(s))) {
            sink = p.get_integer(body, name, 0);
            sink = p.get_font(body, name, nullptr) != nullptr;
            sink = p.get_point(body, name, {}).x;
            sink = int(p.get_string(body, name, u"d").size());
            sink = p.get_picture(body, name, {}).p3.x;
            sink = p.get_colour(body, name, {}).red;
        }
    }
    sink = p.get_integer(body, u"\0missing", 1);
    sink = p.has_section(body, layout::Section::point);
    for (size_t i = 0; i < p.child_count(body); ++i)
        walk(p, p.child(body, i), depth + 1);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    register_skin_node_types();
    set_font_factory([](const FontSpec& spec) { return std::make_shared<FixedFont>(spec); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    PropertiesImpl properties;
    int dpi = size ? (data[0] & 3) * 192 : 96;
    if (!properties.load_skin_image(std::vector<uint8_t>(data, data + size), skin_path(), ScreenInfo::make(240, 320, dpi)))
        return 0;
    for (const auto& [name, body] : properties.named_nodes()) {
        // An unsorted tree may hide a name from the search; it must still end.
        sink = bool(properties.find_named_node(name));
        walk(properties, body, 0);
    }
    sink = bool(properties.find_named_node(u"frmMain"));

    // Every named node builds into a tree (or throws the skin engine's exceptions), lays
    // out, takes a few events and draws.
    for (const auto& [name, body] : properties.named_nodes()) {
        FormNode form;
        try {
            form.build(properties, name);
        } catch (const std::runtime_error&) {
            continue;
        }
        place_on_screen(form, 240, 320);
        form.life_cycle(0.05);
        form.stylus({ { 10, 10 }, false, true, false });
        form.stylus({ { 10, 10 }, false, false, false });
        form.key({ input::key_enter, true, true });
        place_on_screen(form, 100, 50);
        RenderSurface frame(100, 50);
        form.draw_node(frame, { 0, 0 });
    }
    return 0;
}
