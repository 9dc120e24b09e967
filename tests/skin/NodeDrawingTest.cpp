#include "BoxFont.h"
#include "SkinTestSupport.h"

#include "skin/SkinNodeTypes.h"
#include "skin/draw/Drawing.h"
#include "skin/draw/FramePng.h"
#include "skin/draw/SolidFill.h"
#include "skin/nodes/FormNode.h"
#include "skin/nodes/Layout.h"
#include "skin/nodes/NodeFactory.h"
#include "skin/nodes/NodeVisibilityAnimation.h"
#include "skin/nodes/TextNode.h"
#include "skin/text/FontRegistry.h"

#include "runtime/Log.h"
#include "runtime/Registry.h"
#include "skin/compiler/PngConvert.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace skin;
using namespace skin_test;

namespace {

// Counts how often it is drawn.
class CountingNode : public SkinNode {
public:
    static inline int draws = 0;
    void draw(RenderSurface& surface, Point origin) override
    {
        ++draws;
        fill(surface, origin, size(), SolidFill(0x07E0));
    }
};

class NodeDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        set_font_factory([](const FontSpec&) { return std::make_shared<BoxFont>(); });
        static bool registered = [] {
            register_skin_node_types();
            NodeFactory::register_class<CountingNode>(u"counter");
            return true;
        }();
        (void)registered;
        folder = test_support::scratch_folder("node-drawing");
        write_png(folder + "/dot.png", 2, 1, { { 255, 255, 255, 255 }, { 0, 0, 0, 0 } });
        write_png(folder + "/shade.png", 2, 1, { { 0, 0, 0, 128 }, { 0, 0, 0, 255 } });
    }
    void build(const std::string& body, int width, int height)
    {
        std::string source = "<skin><node name=\"f\">";
        source += body;
        source += "</node></skin>";
        std::string name = "s";
        name += std::to_string(++count);
        std::string path = compile(folder, name, source);
        ASSERT_TRUE(properties.load_skin(u16(path), ScreenInfo::make(240, 320, 96)));
        form.build(properties, u"f");
        place_on_screen(form, width, height);
        frame.recreate(width, height);
        fill(frame, { 0, 0 }, { width, height }, SolidFill(0xFFFF));
    }
    SkinNode& node(const char16_t* id)
    {
        SkinNode* found = form.find_descendant(id);
        EXPECT_TRUE(found);
        return found ? *found : form;
    }
    Pixel at(int x, int y) const { return frame.buffer().at(x, y); }

    std::string folder;
    int count = 0;
    PropertiesImpl properties;
    FormNode form;
    RenderSurface frame;
};

const Pixel blue = 0x001F | 0x0020, red = 0xF800 | 0x0020; // fills are opaque

} // namespace

TEST_F(NodeDrawing, ChildrenAreDrawnInOrderAtTheirPlacesAndClipped)
{
    build(R"(<node type="color" color="0 0 255"/>
             <node id="red" type="color" color="255 0 0" border_min="5 5" design_size="10 10" anchor_x="MIN_SIDE" anchor_y="MIN_SIDE"/>
             <node type="clip" border_min="20 20" design_size="10 5" anchor_x="MIN_SIDE" anchor_y="MIN_SIDE">
               <node type="color" color="255 0 0" border_min="-5 -5" design_size="40 40" anchor_x="MIN_SIDE_NO_SIZE" anchor_y="MIN_SIDE_NO_SIZE"/>
             </node>)",
        40, 30);
    form.draw_node(frame, { 0, 0 });
    EXPECT_EQ(at(4, 4), blue);
    EXPECT_EQ(at(5, 5), red);
    EXPECT_EQ(at(14, 14), red);
    EXPECT_EQ(at(15, 14), blue);
    EXPECT_EQ(at(19, 21), blue);
    EXPECT_EQ(at(20, 20), red);
    EXPECT_EQ(at(29, 24), red);
    EXPECT_EQ(at(30, 24), blue);
    EXPECT_EQ(at(25, 25), blue);
    EXPECT_FALSE(form.dirty());
    EXPECT_EQ(frame.clip_depth(), 0);

    // A hidden node is not drawn; the origin moves the whole tree.
    node(u"red").set_visible(false);
    fill(frame, { 0, 0 }, { 40, 30 }, SolidFill(0xFFFF));
    form.draw_node(frame, { 1, 0 });
    EXPECT_EQ(at(0, 5), 0xFFFF);
    EXPECT_EQ(at(6, 5), blue);
}

TEST_F(NodeDrawing, ImagesUseTheirAlphaOrTheOpaqueCopy)
{
    build(R"(<node type="image" src="dot.png" alpha="10" design_size="4 1" anchor_x="MIN_SIDE" anchor_y="MIN_SIDE"/>
             <node type="image" src="dot.png" border_min="0 2" design_size="4 1" anchor_x="MIN_SIDE" anchor_y="MIN_SIDE"/>)",
        6, 4);
    form.draw_node(frame, { 0, 0 });
    Pixel white = skinc::pixel_of_rgba(255, 255, 255, 255);
    EXPECT_EQ(at(0, 0), white);
    EXPECT_EQ(at(1, 0), 0xFFFF); // the key under a level blender leaves the target
    EXPECT_EQ(at(2, 0), white);
    EXPECT_EQ(at(1, 2), transparent_key); // "alpha" -1: copied as it is
}

TEST_F(NodeDrawing, CacheIsRedrawnOnlyWhenDirtyAndCopiedWithItsBlender)
{
    build(R"(<node id="box"><node id="cached" cache="1" border_min="0 0" design_size="10 10" anchor_x="MIN_SIDE" anchor_y="MIN_SIDE">
               <node id="counter" type="counter" design_size="5 5" anchor_x="MIN_SIDE" anchor_y="MIN_SIDE"/>
             </node></node>)",
        20, 20);
    CountingNode::draws = 0;
    form.draw_node(frame, { 0, 0 });
    EXPECT_EQ(CountingNode::draws, 1);
    EXPECT_EQ(at(0, 0), 0x07E0);
    EXPECT_EQ(at(7, 7), transparent_key); // "cache_alpha" -1 copies the key as it is
    EXPECT_EQ(node(u"cached").cache_surface().size(), (Point { 10, 10 }));
    fill(frame, { 0, 0 }, { 20, 20 }, SolidFill(0));
    form.mark_dirty(); // the form itself, not the cached node
    form.draw_node(frame, { 0, 0 });
    EXPECT_EQ(CountingNode::draws, 1);
    EXPECT_EQ(at(0, 0), 0x07E0); // from the cache
    node(u"counter").mark_dirty();
    form.draw_node(frame, { 0, 0 });
    EXPECT_EQ(CountingNode::draws, 2);

    // The dump shows the cache surface's size.
    const char16_t* nalo = u"HKEY_CURRENT_USER\\Software\\NALO";
    runtime::write_number(nalo, u"Log", 0);
    runtime::get_log();
    runtime::write_number(nalo, u"Log", 1);
    node(u"cached").dump(1);
    runtime::write_number(nalo, u"Log", 0);
    std::string log = test_support::read_utf16_file(std::string(std::getenv("NALO_TEMP")) + "/skin_render_tests.txt");
    EXPECT_NE(log.find("\t{cached} position=(0, 0) size=(10, 10) design_size=(10, 10) rs.size=(10, 10)\n"), std::string::npos) << log;

    // Not shown any more (its parent is hidden): the cache is freed.
    node(u"box").set_visible(false);
    EXPECT_EQ(node(u"cached").cache_surface().width(), 0);
}

TEST_F(NodeDrawing, CacheAlphaBlendsTranslucentPixelsAndKeepsTheKeyTransparent)
{
    build(R"(<node cache="1" cache_alpha="100" design_size="10 10" anchor_x="MIN_SIDE" anchor_y="MIN_SIDE">
               <node type="image" src="shade.png" design_size="2 1" anchor_x="MIN_SIDE" anchor_y="MIN_SIDE"/>
               <node type="color" color="0 0 0" border_min="0 2" design_size="5 5" anchor_x="MIN_SIDE" anchor_y="MIN_SIDE"/>
             </node>)",
        20, 20);
    ASSERT_EQ(skinc::pixel_of_rgba(0, 0, 0, 128), 0x0000);
    form.draw_node(frame, { 0, 0 });
    EXPECT_EQ(at(0, 0), 0x39E7); // translucent black: a quarter of the white shows
    EXPECT_EQ(at(1, 0), 0x0020);
    EXPECT_EQ(at(0, 2), 0x0020); // a black fill is opaque
    EXPECT_EQ(at(7, 7), 0xFFFF);
}

TEST_F(NodeDrawing, TextNodesWrapAndEndWithOneEllipsis)
{
    // Lines "ab ", "cd ", "ef" of 10 pixels each in a 20 x 25 node: the third does not fit.
    build(R"(<node type="text" text="ab cd ef" font="12 0 0 0 Any" halign="LEFT" wrap="1" ellipsis="1" color="0 0 0"
                   design_size="20 25" anchor_x="MIN_SIDE" anchor_y="MIN_SIDE" valign="TOP"/>)",
        30, 30);
    form.draw_node(frame, { 0, 0 });
    EXPECT_EQ(at(0, 0), 0x0020);  // "a", black made opaque by the text merge
    EXPECT_EQ(at(0, 19), 0x0020); // "c" on the second line
    EXPECT_EQ(at(13, 5), 0xFFFF); // the space after "ab"
    EXPECT_EQ(at(2, 24), 0x0020); // the ellipsis at the bottom, three pixels wide
    EXPECT_EQ(at(3, 24), 0xFFFF); // and no third line: "ef" would cover it
    EXPECT_EQ(at(2, 14), 0x0020);
}

TEST_F(NodeDrawing, AVisibilityAnimationDrawsInsteadOfTheNodeUntilItEnds)
{
    build(R"(<node id="panel" visibility_animation="right" design_size="10 4" anchor_x="MIN_SIDE" anchor_y="MIN_SIDE">
               <node type="color" color="255 0 0"/>
             </node>)",
        10, 4);
    SkinNode& panel = node(u"panel");
    ASSERT_TRUE(panel.visibility_animation());
    RenderSurface background(10, 4);
    fill(background, { 0, 0 }, { 10, 4 }, SolidFill(blue));
    panel.visibility_animation()->start(+1, std::move(background), snapshot_node(panel));
    form.life_cycle(0.1); // half way: the form's left edge at x = 5
    form.draw_node(frame, { 0, 0 });
    EXPECT_EQ(at(4, 0), blue);
    EXPECT_EQ(at(5, 0), red);
    form.life_cycle(0.1);
    EXPECT_FALSE(panel.visibility_animation()->running());
    EXPECT_TRUE(panel.dirty());
    form.draw_node(frame, { 0, 0 });
    EXPECT_EQ(at(0, 0), red);

    EXPECT_FALSE(create_visibility_animation(u"spin"));
    EXPECT_TRUE(create_visibility_animation(u"flip"));
}

TEST(SkincRender, DrawsANamedNodeAsAFormAtTheScreenSize)
{
    std::string folder = test_support::scratch_folder("render");
    std::string skin = compile(folder, "r",
        R"(<skin><node name="main" outside_color="0 0 0"><node type="color" color="0 0 255"/>
           <node type="color" color="255 0 0" border_min="5 5" design_size="10 10" anchor_x="MIN_SIDE" anchor_y="MIN_SIDE"/>
           </node></skin>)");
    std::string skinc = std::string(NALO_TOOLS_DIR) + "/skinc";
    for (int dpi : { 96, 192 }) {
        std::string png = folder + "/frame" + std::to_string(dpi) + ".png";
        auto r = test_support::run_command(skinc + " --render " + skin + " main 40x32 " + png + " --dpi " + std::to_string(dpi));
        ASSERT_EQ(r.exit_code, 0) << r.output;
        RgbImage image;
        ASSERT_TRUE(read_png(png, image));
        ASSERT_EQ(image.width, 40);
        ASSERT_EQ(image.height, 32);
        auto pixel = [&](int x, int y) {
            const uint8_t* p = &image.rgb[size_t((y * 40 + x) * 3)];
            return std::array<int, 3> { p[0], p[1], p[2] };
        };
        int f = dpi == 192 ? 2 : 1; // the scale shift doubles the skin's points
        // Fills carry the opaque bit, the lowest green bit: green 1 of 63 widens to 4.
        EXPECT_EQ(pixel(5 * f - 1, 5 * f - 1), (std::array<int, 3> { 0, 4, 255 }));
        EXPECT_EQ(pixel(5 * f, 5 * f), (std::array<int, 3> { 255, 4, 0 }));
        EXPECT_EQ(pixel(15 * f - 1, 15 * f - 1), (std::array<int, 3> { 255, 4, 0 }));
        EXPECT_EQ(pixel(15 * f, 15 * f - 1), (std::array<int, 3> { 0, 4, 255 }));
    }
    auto missing = test_support::run_command(skinc + " --render " + skin + " nothing 40x30 " + folder + "/x.png 2>&1");
    EXPECT_EQ(missing.exit_code, 1);
    EXPECT_NE(missing.output.find("nothing"), std::string::npos);
    EXPECT_EQ(test_support::run_command(skinc + " --render " + skin + " main 40 " + folder + "/x.png 2>&1").exit_code, 2);
    EXPECT_EQ(test_support::run_command(skinc + " --render " + folder + "/none.skin main 40x30 " + folder + "/x.png 2>&1").exit_code, 1);
}

TEST(SkincRender, ARepresentativePageMatchesTheKeptFrame)
{
    // Nine-part frame, translucent edges, keyed and shrunk pictures, wrapped and cut text.
    std::string folder = test_support::scratch_folder("page");
    std::vector<Rgba> frame(24 * 24), icon(16 * 16);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x)
            frame[size_t(y * 24 + x)] = (x < 6 || x >= 18 || y < 6 || y >= 18) ? Rgba { 20, 40, 90, 255 } : Rgba { 60, 110, 190, 255 };
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            int d = (2 * x - 15) * (2 * x - 15) + (2 * y - 15) * (2 * y - 15);
            icon[size_t(y * 16 + x)] = d < 120 ? Rgba { 255, 200, 0, 255 } : d < 200 ? Rgba { 255, 200, 0, 128 } : Rgba { 0, 0, 0, 0 };
        }
    write_png(folder + "/frame.png", 24, 24, frame);
    write_png(folder + "/icon.png", 16, 16, icon);
    std::string skin = compile(folder, "page", R"(<skin><node name="page" outside_color="0 0 0">
      <node type="image" src="frame.png 0 0 6 6 18 18 24 24"/>
      <node type="vtable" border_min="6 6" border_max="6 6">
        <node type="text" text="Amsterdam" font="14 1 0 0 DejaVu Sans" color="255 255 255" halign="LEFT" ellipsis="1" grow="1" anchor_y="MIN_SIDE"/>
        <node type="text" text="Partly cloudy with a chance of rain later in the evening" font="10 0 0 0 DejaVu Sans"
              color="255 230 120" wrap="1" ellipsis="1" design_size="0 26" halign="LEFT" anchor_y="MIN_SIDE"/>
        <node type="htable" anchor_y="MIN_SIDE" design_size="0 24">
          <node type="image" src="icon.png" alpha="40" grow="1" anchor_x="MIN_SIDE"/>
          <node type="image" src="icon.png" alpha="150" save_aspect_ratio="1" design_size="10 10" anchor_x="MIN_SIDE" anchor_y="MIN_SIDE"/>
          <node type="text" text="+21&#176;" font="16 0 0 0 DejaVu Sans" color="255 255 255" halign="RIGHT" grow="1" border_min="8 0"/>
        </node>
      </node></node></skin>)");
    std::string png = folder + "/page.png";
    auto r = test_support::run_command(std::string(NALO_TOOLS_DIR) + "/skinc --render " + skin + " page 120x96 " + png);
    ASSERT_EQ(r.exit_code, 0) << r.output;
    std::string golden = std::string(NALO_SOURCE_DIR) + "/tests/skin/data/page-golden.png";
    if (std::getenv("NALO_UPDATE_GOLDEN")) {
        ASSERT_TRUE(test_support::run_command("cp " + png + " " + golden).exit_code == 0);
    }
    RgbImage got, want;
    ASSERT_TRUE(read_png(png, got));
    ASSERT_TRUE(read_png(golden, want));
    ASSERT_EQ(got.width, want.width);
    ASSERT_EQ(got.height, want.height);
    long total = 0;
    for (size_t i = 0; i < got.rgb.size(); ++i)
        total += std::abs(int(got.rgb[i]) - int(want.rgb[i]));
    // Text may differ a little between FreeType versions; everything else is exact.
    EXPECT_LT(double(total) / double(got.rgb.size()), 2.0);
    for (int y = 0; y < 96; y += 95)
        for (int x = 0; x < 120; ++x)
            ASSERT_EQ(got.rgb[size_t((y * 120 + x) * 3)], want.rgb[size_t((y * 120 + x) * 3)]); // the frame's border rows
}
