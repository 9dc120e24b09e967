// skinc --render on forms that use node types the engine does not build itself.
#include "SkinTestSupport.h"

#include "skin/SkinNodeTypes.h"
#include "skin/compiler/FrameRender.h"
#include "skin/draw/FramePng.h"
#include "skin/nodes/NodeFactory.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

using namespace skin;
using namespace skin_test;

namespace {

const std::string skinc_path = std::string(NALO_TOOLS_DIR) + "/skinc";

// Bands 10 pixels high, one per type, each filled by a colour child; "icon_page" twice.
const char* const foreign_types = R"(<skin>
  <node name="F" outside_color="#000000">
    <node type="menu" anchor_y="MIN_SIDE" design_size="0 10"><node type="color" color="#ff0000"/></node>
    <node type="icon_page" anchor_y="MIN_SIDE" border_min="0 10" design_size="0 10"><node type="color" color="#00ff00"/></node>
    <node type="svlist" anchor_y="MIN_SIDE" border_min="0 20" design_size="0 10"><node type="color" color="#0000ff"/></node>
    <node type="label_edit" anchor_y="MIN_SIDE" border_min="0 30" design_size="0 10">
      <node type="color" color="#ffffff"/>
      <node id="#edit" type="edit" anchor_x="MIN_SIDE" anchor_y="MIN_SIDE"/>
      <node id="#text" type="text" anchor_x="MIN_SIDE" anchor_y="MIN_SIDE"/>
    </node>
    <node type="icon_page" anchor_y="MIN_SIDE" border_min="0 40" design_size="0 10"><node type="color" color="#ffff00"/></node>
  </node>
</skin>)";

uint8_t red_at(const RgbImage& image, int x, int y) { return image.rgb[size_t((y * image.width + x) * 3)]; }
uint8_t green_at(const RgbImage& image, int x, int y) { return image.rgb[size_t((y * image.width + x) * 3 + 1)]; }
uint8_t blue_at(const RgbImage& image, int x, int y) { return image.rgb[size_t((y * image.width + x) * 3 + 2)]; }

} // namespace

TEST(SkincRender, TypesTheEngineLacksAreDrawnAsPlainContainersAndNamedOnce)
{
    std::string folder = test_support::scratch_folder("skinc-foreign");
    std::string skin = compile(folder, "foreign", foreign_types);
    std::vector<std::string> notes;
    std::string error;
    ASSERT_TRUE(skinc::render_frame(skin, "F", 20, 60, 96, folder + "/f.png", error, &notes)) << error;

    // One note for each type used that this process has no class for, whatever the
    // engine builds by now.
    bool had_engine_types = NodeFactory::is_registered(u"node");
    if (!had_engine_types)
        register_skin_node_types();
    std::vector<std::string> expected;
    for (const char* type : { "menu", "icon_page", "svlist", "label_edit", "edit" }) {
        if (!NodeFactory::is_registered(platform::from_utf8(type)))
            expected.push_back(type);
    }
    if (!had_engine_types)
        unregister_skin_node_types();
    EXPECT_EQ(notes.size(), expected.size());
    for (const std::string& type : expected) {
        EXPECT_EQ(std::count_if(notes.begin(), notes.end(),
                      [&](const std::string& note) { return note.rfind("type '" + type + "' ", 0) == 0; }),
            1)
            << type;
    }
    EXPECT_NE(std::find(notes.begin(), notes.end(), "type 'menu' belongs to the framework: drawn as a plain container"),
        notes.end());
    // The stand-ins are gone again.
    EXPECT_FALSE(NodeFactory::is_registered(u"menu"));
    EXPECT_FALSE(NodeFactory::is_registered(u"svlist"));

    RgbImage frame;
    ASSERT_TRUE(read_png(folder + "/f.png", frame));
    struct Band {
        int y;
        uint8_t r, g, b;
    } bands[] = { { 5, 255, 0, 0 }, { 15, 0, 255, 0 }, { 25, 0, 0, 255 }, { 35, 255, 255, 255 }, { 45, 255, 255, 0 },
        { 55, 0, 0, 0 } };
    // Fills carry the opaque bit, the lowest bit of green.
    for (const Band& band : bands) {
        EXPECT_EQ(red_at(frame, 10, band.y), band.r) << band.y;
        EXPECT_NEAR(green_at(frame, 10, band.y), band.g, 4) << band.y;
        EXPECT_EQ(blue_at(frame, 10, band.y), band.b) << band.y;
    }
}

TEST(SkincRender, TheCommandSaysSoOnStandardError)
{
    std::string folder = test_support::scratch_folder("skinc-foreign-cli");
    std::string skin = compile(folder, "foreign", foreign_types);
    std::string command = std::string(NALO_TOOLS_DIR) + "/skinc --render " + skin + " F 20x60 " + folder + "/f.png";
    auto quiet = test_support::run_command(command + " 2>/dev/null");
    EXPECT_EQ(quiet.exit_code, 0);
    EXPECT_EQ(quiet.output, "");
    auto said = test_support::run_command(command + " 2>&1");
    EXPECT_EQ(said.exit_code, 0);
    auto count = [&](const std::string& text) {
        size_t n = 0;
        for (size_t at = said.output.find(text); at != std::string::npos; at = said.output.find(text, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("skinc: type 'icon_page' belongs to the application: drawn as a plain container\n"), 1u) << said.output;
    EXPECT_EQ(count("skinc: type 'menu' belongs to the framework: drawn as a plain container\n"), 1u);
    // A form that uses none of them renders without a word.
    std::string plain = compile(folder, "plain", "<skin><node name=\"P\"><node type=\"color\"/></node></skin>");
    auto silent = test_support::run_command(std::string(NALO_TOOLS_DIR) + "/skinc --render " + plain + " P 4x4 "
        + folder + "/p.png 2>&1");
    EXPECT_EQ(silent.exit_code, 0);
    EXPECT_EQ(silent.output.find("skinc:"), std::string::npos) << silent.output;
}

TEST(SkincRender, SizesOutsideTheCapAreRefusedBeforeAnythingIsAllocated)
{
    std::string folder = test_support::scratch_folder("skinc-cap-lib");
    std::string skin = compile(folder, "s", "<skin><node name=\"a\"/></skin>");
    std::string error;
    for (auto [w, h] : { std::pair { INT_MAX, 2 }, { 2, INT_MAX }, { 8193, 1 }, { 0, 1 }, { 1, -1 } }) {
        EXPECT_FALSE(skinc::render_frame(skin, "a", w, h, 96, folder + "/f.png", error)) << w << "x" << h;
        EXPECT_NE(error.find("1 to 8192"), std::string::npos) << error;
    }
    EXPECT_FALSE(skinc::render_frame(skin, "a", 4, 4, -5, folder + "/f.png", error));
    EXPECT_FALSE(test_support::file_exists(folder + "/f.png"));
}

TEST(SkincRender, TheCommandCapsTheSizeAndTheDpi)
{
    std::string folder = test_support::scratch_folder("skinc-caps");
    std::string skin = compile(folder, "s", "<skin><node name=\"a\" outside_color=\"#336699\"/></skin>");
    auto render = [&](const std::string& size, const std::string& dpi = "") {
        std::string tail = dpi.empty() ? "" : " --dpi " + dpi;
        return test_support::run_command(skinc_path + " --render " + skin + " a " + size + " " + folder + "/f.png" + tail
            + " 2>&1");
    };
    for (const char* size : { "2147483647x2", "2x2147483647", "100000x100000", "8193x1", "1x8193", "99999999999x1" }) {
        auto refused = render(size);
        EXPECT_EQ(refused.exit_code, 2) << size;
        EXPECT_EQ(refused.output, std::string("skinc: the screen size ") + size + " is outside 1 to 8192 pixels each way\n");
    }
    for (const char* size : { "0x5", "5x0", "-1x5", "12x", "x12", "12", "12x12x1", "0x10x10", " 5x5" }) {
        auto refused = render(std::string("'") + size + "'");
        EXPECT_EQ(refused.exit_code, 2) << size;
        EXPECT_NE(refused.output.find("skinc: the screen size"), std::string::npos) << size << ": " << refused.output;
    }
    EXPECT_FALSE(test_support::file_exists(folder + "/f.png"));
    for (const char* dpi : { "-5", "abc", "99999999999", "0", "2001", "96.5", "''", "0x60" }) {
        auto refused = render("10x10", dpi);
        EXPECT_EQ(refused.exit_code, 2) << dpi;
        EXPECT_NE(refused.output.find("skinc: --dpi takes a whole number from 1 to 2000, not"), std::string::npos)
            << refused.output;
    }
    EXPECT_EQ(test_support::run_command(skinc_path + " --dump " + skin + " --dpi abc 2>/dev/null").exit_code, 2);
    // The limits themselves are accepted.
    EXPECT_EQ(render("8192x1", "2000").exit_code, 0);
    EXPECT_EQ(render("1x8192", "1").exit_code, 0);
    RgbImage frame;
    ASSERT_TRUE(read_png(folder + "/f.png", frame));
    EXPECT_EQ(frame.width, 1);
    EXPECT_EQ(frame.height, 8192);
}

TEST(SkincRender, ANodeCacheLargerThanAScreenCanUseIsRefused)
{
    std::string folder = test_support::scratch_folder("skinc-huge");
    struct Case {
        const char* width;
        bool drawn;
    } cases[] = { { "16384", true }, { "16385", false }, { "32767", false } };
    for (const Case& c : cases) {
        std::string source = std::string(R"(<skin><node name="F" outside_color="#000000">)")
            + R"(<node type="color" color="#ff0000" cache="1" anchor_x="MIN_SIDE_NO_SIZE")"
            + R"( anchor_y="MIN_SIDE_NO_SIZE" design_size=")" + c.width + R"( 10"/></node></skin>)";
        std::string skin = compile(folder, std::string("w") + c.width, source);
        std::string error;
        EXPECT_EQ(skinc::render_frame(skin, "F", 20, 20, 96, folder + "/f.png", error, nullptr), c.drawn) << c.width;
        EXPECT_EQ(error.find("asks for a surface larger than 16384 pixels a side") != std::string::npos, !c.drawn)
            << c.width << ": " << error;
    }
}
