#include "SkinTestSupport.h"

#include "skin/compiler/PngConvert.h"
#include "skin/compiler/SkinCompiler.h"

#include "skin/file/Load565.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace skin;
using namespace skin_test;

TEST(Skinc, DumpShowsTheTreeAsWrittenWithPointsScaled)
{
    std::string folder = test_support::scratch_folder("skinc-dump");
    write_png(folder + "/bar.png", 4, 2, std::vector<Rgba>(8, Rgba { 255, 0, 0, 255 }));
    std::string skin = compile(folder, "dump", R"(<skin>
  <node name="frmMain" outside_color="#102030" design_size="10 3">
    <node type="text" id="lbl" text="Hello &quot;you&quot;" font="14 0 1 0 DejaVu Sans" grow="1"/>
    <node type="image" src="bar.png 0 0 1 1 3 1 4 2 5"/>
    <attribute name="level" kind="integer" value="-7"/>
  </node>
  <node name="typed" integer.count="3" point.where="1 -2" string.note="n" color.shade="1 2 3"/>
  <node name="btn"/>
</skin>)");
    auto result = test_support::run_command(std::string(NALO_TOOLS_DIR) + "/skinc --dump " + skin + " --dpi 192");
    ASSERT_EQ(result.exit_code, 0) << result.output;
    EXPECT_EQ(result.output, R"(btn
frmMain
  integer level = -7
  point design_size = 20 6
  color outside_color = #102030
  [0]
    integer grow = 1
    font font = size 14 x2 italic face "DejaVu Sans"
    string id = "lbl"
    string text = "Hello \"you\""
    string type = "text"
  [1]
    string type = "image"
    picture src = bar (4x2) 0 0, 2 2, 6 2, 8 4 flag 5 shift 1
typed
  integer count = 3
  point where = 2 -4
  string note = "n"
  color shade = #010203
)");
    auto bad = test_support::run_command(std::string(NALO_TOOLS_DIR) + "/skinc --dump " + folder + "/dump.xml 2>&1");
    EXPECT_EQ(bad.exit_code, 1);
}

TEST(Skinc, BadSourcesNameTheFileAndLine)
{
    std::string folder = test_support::scratch_folder("skinc-bad");
    write_png(folder + "/p.png", 2, 2, std::vector<Rgba>(4, Rgba { 0, 0, 0, 255 }));
    struct Case {
        const char* source;
        const char* message;
    } cases[] = {
        { "<skin>\n<node name=\"a\"\n wobble=\"1\"/></skin>", ":2: unknown attribute 'wobble'" },
        { "<skin>\n\n<node name=\"a\" design_size=\"1\"/></skin>", ":3: attribute 'design_size' needs a point" },
        { "<skin><node name=\"a\"/>\n<node name=\"a\"/></skin>", ":2: a second node named 'a'" },
        { "<skin>\n<node name=\"a\"><node name=\"b\"/></node></skin>", ":2: only named nodes" },
        { "<skin><node name=\"a\" cache=\"x\"/></skin>", ":1: attribute 'cache' needs an integer" },
        { "<skin><node name=\"a\" color=\"#12345\"/></skin>", ":1: attribute 'color' needs a colour" },
        { "<skin><node name=\"a\" src=\"p.png 0 0 3 3\"/></skin>", "corners must be ordered and inside" },
        { "<skin><node name=\"a\" src=\"none.png\"/></skin>", "cannot read PNG" },
        { "<skin><node name=\"a\">\n<attribute name=\"x\" kind=\"real\" value=\"1\"/></node></skin>", ":2: <attribute> needs a kind" },
        { "<skin>\n<node name=\"a\">\n<node></skin>", ":3: " },
        { "<other/>", ":1: the root element must be <skin>" },
        { "<skin><node name=\"a\" real.x=\"1\"/></skin>", ":1: unknown kind in 'real.x'" },
    };
    for (const Case& c : cases) {
        std::string error = compile_error(folder, "bad", c.source);
        EXPECT_NE(error.find(folder + "/bad.xml"), std::string::npos) << error;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.source << "\n gave: " << error;
    }
}

TEST(Skinc, PngAlphaBecomesKeyOpaqueBitOrPremultipliedColour)
{
    struct Case {
        Rgba in;
        Pixel out;
    } cases[] = {
        { { 255, 255, 255, 255 }, 0xFFFF },
        { { 0, 0, 0, 255 }, 0x0020 },
        { { 255, 0, 255, 255 }, 0xF83F },  // opaque magenta is not the key
        { { 12, 34, 56, 0 }, 0xF81F },
        { { 255, 255, 255, 128 }, Pixel(to_565({ 128, 128, 128, 255 }) & ~opaque_bit) },
        { { 255, 0, 255, 254 }, 0xF01F },  // would be the key: nudged
    };
    std::vector<Rgba> pixels;
    for (const Case& c : cases) {
        EXPECT_EQ(skinc::pixel_of_rgba(c.in.r, c.in.g, c.in.b, c.in.a), c.out);
        pixels.push_back(c.in);
    }
    // Through a file and the engine's own loader, 3 x 2.
    std::string folder = test_support::scratch_folder("skinc-png");
    write_png(folder + "/p.png", 3, 2, pixels);
    skinc::ConvertedPicture converted;
    std::string error;
    ASSERT_TRUE(skinc::convert_png(folder + "/p.png", converted, error)) << error;
    SharedPicture loaded = decode_565(converted.bitmap.data(), converted.bitmap.size(), u"p");
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->width(), 3);
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(loaded->pixels().at(int(i % 3), int(i / 3)), cases[i].out) << i;
}

TEST(Skinc, EveryAttributeNameLiesInTheFirst64KiB)
{
    std::string folder = test_support::scratch_folder("skinc-names");
    auto source_with = [](int names) {
        std::string source = "<skin>";
        for (int i = 0; i < names; ++i)
            source += "<node name=\"n" + std::to_string(i) + "\"><attribute name=\"a_long_attribute_name_number_"
                + std::to_string(i) + "\" kind=\"integer\" value=\"" + std::to_string(i) + "\"/></node>";
        return source + "</skin>";
    };
    std::string error = compile_error(folder, "names", source_with(1200));
    EXPECT_NE(error.find("first 64 KiB"), std::string::npos) << error;
    PropertiesImpl p;
    ASSERT_TRUE(p.load_skin(u16(compile(folder, "fits", source_with(900))), ScreenInfo::make(240, 320, 96)));
    EXPECT_EQ(p.get_integer(p.find_named_node(u"n899"), u"a_long_attribute_name_number_899", 0), 899);
}

TEST(Skinc, CommandLineCompilesAndReportsErrors)
{
    std::string folder = test_support::scratch_folder("skinc-cli");
    std::string skinc = std::string(NALO_TOOLS_DIR) + "/skinc ";
    test_support::write_bytes(folder + "/good.xml", "<skin><node name=\"a\" design_size=\"1 2\"/></skin>");
    test_support::write_bytes(folder + "/bad.xml", "<skin>\n<node name=\"a\" design_size=\"1\"/></skin>");
    auto good = test_support::run_command(skinc + folder + "/good.xml -o " + folder + "/good.skin 2>&1");
    EXPECT_EQ(good.exit_code, 0) << good.output;
    EXPECT_EQ(test_support::run_command(skinc + "--dump " + folder + "/good.skin").output, "a\n  point design_size = 1 2\n");
    auto bad = test_support::run_command(skinc + folder + "/bad.xml -o " + folder + "/bad.skin 2>&1");
    EXPECT_EQ(bad.exit_code, 1);
    EXPECT_EQ(bad.output, folder + "/bad.xml:2: attribute 'design_size' needs a point 'x y', not '1'\n");
    EXPECT_FALSE(test_support::file_exists(folder + "/bad.skin"));
    EXPECT_EQ(test_support::run_command(skinc + "2>/dev/null").exit_code, 2);
}
