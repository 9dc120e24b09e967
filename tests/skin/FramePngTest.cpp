#include "skin/draw/FramePng.h"
#include "skin/draw/RenderSurface.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace skin;

TEST(FramePng, WritesEachChannelWidenedByBitReplication)
{
    RenderSurface s(3, 2);
    s.buffer().at(0, 0) = 0xF800;
    s.buffer().at(1, 0) = 0x07E0;
    s.buffer().at(2, 0) = 0x001F;
    s.buffer().at(0, 1) = 0x0841;
    s.buffer().at(1, 1) = 0x7BEF;
    s.buffer().at(2, 1) = 0xFFFF;
    std::string path = test_support::scratch_folder("png") + "/frame.png";
    ASSERT_TRUE(write_png(path, s.buffer()));
    RgbImage image;
    ASSERT_TRUE(read_png(path, image));
    ASSERT_EQ(image.width, 3);
    ASSERT_EQ(image.height, 2);
    std::vector<uint8_t> want = { 255, 0, 0, 0, 255, 0, 0, 0, 255, 8, 8, 8, 123, 125, 123, 255, 255, 255 };
    EXPECT_EQ(image.rgb, want);
    EXPECT_FALSE(write_png(path, RenderSurface().buffer()));
    EXPECT_FALSE(write_png("/nonexistent-folder/x.png", s.buffer()));
}
