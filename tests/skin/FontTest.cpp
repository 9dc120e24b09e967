#include "skin/text/FontRegistry.h"
#include "skin/text/FreeTypeFont.h"

#include "runtime/Log.h"
#include "runtime/Registry.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

using namespace skin;

namespace {

FontSpec dejavu(int size, int scale = 1)
{
    FontSpec s;
    s.size = size;
    s.scale_factor = scale;
    s.face = u"DejaVu Sans";
    return s;
}

// Pixels of a line drawn black on white that the text changed.
int ink(const FreeTypeFont& font, std::u16string_view text, std::vector<Pixel>* out = nullptr, int w = 200, int h = 60)
{
    std::vector<Pixel> pixels(size_t(w * h), 0xFFFF);
    PixelBuffer b { w, h, w * 2, reinterpret_cast<uint8_t*>(pixels.data()) };
    font.draw_line(b, { 0, 0, w, h }, { 2, 2 }, text, Color { 0, 0, 0, 255 });
    int n = 0;
    for (Pixel p : pixels)
        n += p != 0xFFFF;
    if (out)
        *out = pixels;
    return n;
}

} // namespace

TEST(FreeTypeFont, CharacterHeightsFollowTheTableThenPointsAt96Dpi)
{
    int table[20] = { 0, 1, 3, 4, 6, 7, 8, 10, 11, 12, 14, 15, 16, 18, 19, 20, 21, 23, 24, 25 };
    for (int h = 0; h < 20; ++h)
        EXPECT_EQ(FreeTypeFont::character_height(dejavu(h)), table[h]) << h;
    EXPECT_EQ(FreeTypeFont::character_height(dejavu(12, 2)), 32); // h = 24
    EXPECT_EQ(FreeTypeFont::character_height(dejavu(9, 1)), 12);
    EXPECT_EQ(FreeTypeFont::character_height(dejavu(20, 1)), 26);
    EXPECT_EQ(FreeTypeFont::character_height(dejavu(11, 4)), 58);

    FreeTypeFont big(dejavu(12, 2));
    ASSERT_TRUE(big.valid());
    EXPECT_EQ(big.pixel_size(), 32);
    // DejaVu Sans: ascender 0.928 em, descender 0.236 em.
    EXPECT_NEAR(big.ascent(), 30, 1);
    EXPECT_NEAR(big.line_height(), 38, 2);
    FreeTypeFont small(dejavu(9));
    EXPECT_EQ(small.pixel_size(), 12);
    EXPECT_LT(small.line_height(), big.line_height());
    // Height 0 asks for the default size.
    EXPECT_EQ(FreeTypeFont(dejavu(0, 2)).pixel_size(), 32);
}

TEST(FreeTypeFont, FacesResolveThroughFontconfig)
{
    FreeTypeFont pinned(dejavu(12));
    ASSERT_TRUE(pinned.valid());
    EXPECT_EQ(pinned.family(), "DejaVu Sans");
    FontSpec tahoma; // the skins' default face is not installed: the nearest face stands in
    FreeTypeFont stand_in(tahoma);
    EXPECT_TRUE(stand_in.valid());
    EXPECT_FALSE(stand_in.family().empty());
    FontSpec nameless = dejavu(12);
    nameless.face.clear();
    EXPECT_TRUE(FreeTypeFont(nameless).valid());
}

TEST(FreeTypeFont, MeasureGivesTheRightEdgeOfEveryCharacter)
{
    FreeTypeFont font(dejavu(12));
    TextExtent e = font.measure_text(u"Weather ii");
    ASSERT_EQ(e.right_edges.size(), 10u);
    EXPECT_EQ(e.width, e.right_edges.back());
    EXPECT_EQ(e.height, font.line_height());
    for (size_t i = 1; i < e.right_edges.size(); ++i)
        EXPECT_GT(e.right_edges[i], e.right_edges[i - 1]);
    EXPECT_EQ(e.right_edges[9] - e.right_edges[8], e.right_edges[8] - e.right_edges[7]); // "i" twice
    EXPECT_EQ(font.measure_text(u"W").width, e.right_edges[0]);
    EXPECT_EQ(font.measure_text(u"").width, 0);

    // A surrogate pair: the first unit ends where the character starts.
    TextExtent pair = font.measure_text(u"a\U0001F600b");
    ASSERT_EQ(pair.right_edges.size(), 4u);
    EXPECT_EQ(pair.right_edges[1], pair.right_edges[0]);
    EXPECT_GT(pair.right_edges[2], pair.right_edges[1]);
    // Control characters take no room on a single line.
    EXPECT_EQ(font.measure_text(u"a\nb").width, font.measure_text(u"ab").width);
}

TEST(FreeTypeFont, GlyphsAreRasterisedOnce)
{
    FreeTypeFont font(dejavu(10));
    font.measure_text(u"Sunny 21");
    size_t first = font.rasterised_count();
    EXPECT_EQ(first, 7u); // "Sunny 21" has seven different characters
    font.measure_text(u"Sunny 21");
    ink(font, u"Sunny 12");
    EXPECT_EQ(font.rasterised_count(), first);
}

TEST(FreeTypeFont, WeightItalicAndUnderlineChangeTheInk)
{
    FontSpec regular = dejavu(14);
    FontSpec bold = regular, italic = regular, underline = regular;
    bold.bold = true;
    italic.italic = true;
    underline.underline = true;
    FreeTypeFont r(regular), b(bold), i(italic), u(underline);
    int plain = ink(r, u"Illinois");
    EXPECT_GT(ink(b, u"Illinois"), plain * 5 / 4);
    EXPECT_GT(ink(u, u"Illinois"), plain);

    // An italic "l" leans: its ink starts further right at the top than at the bottom.
    std::vector<Pixel> px;
    ink(i, u"l", &px);
    int top_x = -1, bottom_x = -1;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
            if (px[size_t(y * 200 + x)] == 0x0000) {
                if (top_x < 0)
                    top_x = x;
                bottom_x = x;
                break;
            }
    EXPECT_GT(top_x, bottom_x);

    // The underline is one full row under the baseline spanning the text.
    ink(u, u"ab", &px);
    int width = u.measure_text(u"ab").width;
    bool found = false;
    for (int y = 2 + u.ascent(); y < 60 && !found; ++y) {
        int n = 0;
        for (int x = 2; x < 2 + width; ++x)
            n += px[size_t(y * 200 + x)] == 0x0000;
        found = n == width;
    }
    EXPECT_TRUE(found);
}

TEST(FreeTypeFont, InstalledFontsAreSharedBySpecAndLogTheirCreation)
{
    const char16_t* nalo = u"HKEY_CURRENT_USER\\Software\\NALO";
    std::string log = std::string(std::getenv("NALO_TEMP")) + "/skin_render_tests.txt";
    runtime::write_number(nalo, u"Log", 0);
    runtime::get_log();
    runtime::write_number(nalo, u"Log", 1);
    runtime::get_log(); // a fresh log file

    install_freetype_fonts();
    FontSpec spec = dejavu(13);
    SharedFont a = get_font(spec);
    SharedFont b = get_font(spec);
    spec.bold = true;
    SharedFont c = get_font(spec);
    ASSERT_TRUE(a);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    EXPECT_NE(dynamic_cast<const FreeTypeFont*>(a.get()), nullptr);
    runtime::write_number(nalo, u"Log", 0);

    std::string text = test_support::read_utf16_file(log);
    size_t first = text.find("Creating font: {DejaVu Sans} elapsed=");
    ASSERT_NE(first, std::string::npos) << text;
    size_t second = text.find("Creating font: {DejaVu Sans} elapsed=", first + 1);
    ASSERT_NE(second, std::string::npos); // the bold one
    EXPECT_EQ(text.find("Creating font: {DejaVu Sans} elapsed=", second + 1), std::string::npos);
    EXPECT_EQ(text.find("ERROR"), std::string::npos);
}
