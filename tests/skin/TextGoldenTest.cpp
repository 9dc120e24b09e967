// Antialiased text against a frame kept with the tests. The fonts are pinned to DejaVu
// Sans; the comparison tolerates the small differences of other FreeType versions.
#include "skin/draw/Drawing.h"
#include "skin/draw/FramePng.h"
#include "skin/draw/SolidFill.h"
#include "skin/text/FreeTypeFont.h"
#include "skin/text/TextDrawing.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace skin;

namespace {

RenderSurface sample_frame()
{
    RenderSurface s(160, 72);
    fill(s, { 0, 0 }, { 160, 72 }, SolidFill(to_565({ 40, 80, 160, 255 })));
    FontSpec regular;
    regular.face = u"DejaVu Sans";
    FontSpec bold = regular;
    bold.bold = true;
    bold.size = 9;
    bold.scale_factor = 2;
    FreeTypeFont r(regular), b(bold);
    draw_text(&r, s, { 255, 255, 255, 255 }, u"Partly cloudy", { 4, 2 }, { 152, 18 }, HAlign::left, VAlign::vcenter, false);
    draw_text(&r, s, { 255, 220, 0, 255 }, u"Mon +19\u00B0 / +11\u00B0", { 4, 20 }, { 152, 18 }, HAlign::right, VAlign::top, false);
    draw_text(&b, s, { 0, 0, 0, 255 }, u"Amsterdam Schiphol", { 4, 38 }, { 152, 32 }, HAlign::center, VAlign::bottom, true);
    return s;
}

} // namespace

TEST(TextGolden, AntialiasedTextMatchesTheKeptFrame)
{
    RenderSurface frame = sample_frame();
    std::string golden = std::string(NALO_SOURCE_DIR) + "/tests/skin/data/text-golden.png";
    if (std::getenv("NALO_UPDATE_GOLDEN")) {
        ASSERT_TRUE(write_png(golden, frame.buffer()));
    }
    RgbImage want;
    ASSERT_TRUE(read_png(golden, want));
    ASSERT_EQ(want.width, frame.width());
    ASSERT_EQ(want.height, frame.height());
    long total = 0;
    int far_off = 0;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            uint8_t rgb[3];
            widen_565(frame.buffer().at(x, y), rgb[0], rgb[1], rgb[2]);
            for (int c = 0; c < 3; ++c) {
                int d = std::abs(int(rgb[c]) - int(want.rgb[size_t((y * want.width + x) * 3 + c)]));
                total += d;
                far_off += d > 96;
            }
        }
    double mean = double(total) / (frame.width() * frame.height() * 3);
    EXPECT_LT(mean, 2.0);
    EXPECT_LT(far_off, 40);
}
