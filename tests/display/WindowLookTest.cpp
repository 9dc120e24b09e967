// The window's icon read from a PNG beside the program: RGBA rows of its size, or no
// icon at all for a missing, broken or oversized file.
#include "display/Display.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <png.h>

namespace {

void write_png(const std::string& path, int width, int height)
{
    std::vector<uint8_t> rgba(size_t(width * height * 4));
    for (size_t i = 0; i < rgba.size(); ++i)
        rgba[i] = uint8_t(i * 7);
    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGBA;
    ASSERT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr));
}

} // namespace

TEST(WindowLook, TheIconIsReadAsRgbaRowsAndRefusedWhenMissingBrokenOrTooLarge)
{
    std::string folder = test_support::scratch_folder("icon");
    write_png(folder + "/48.png", 48, 32);
    write_png(folder + "/300.png", 300, 16);
    test_support::write_bytes(folder + "/broken.png", "\x89PNG\r\n\x1a\nnot a picture");
    struct Case {
        const char* file;
        bool loads;
        int width, height;
    };
    for (Case c : { Case { "48.png", true, 48, 32 }, Case { "300.png", false, 0, 0 }, Case { "broken.png", false, 0, 0 },
             Case { "missing.png", false, 0, 0 } }) {
        display::WindowLook look;
        look.icon_rgba.assign(4, 1); // an earlier icon does not stay
        EXPECT_EQ(look.load_icon(folder + "/" + c.file), c.loads) << c.file;
        EXPECT_EQ(look.icon_width, c.width) << c.file;
        EXPECT_EQ(look.icon_height, c.height) << c.file;
        EXPECT_EQ(look.icon_rgba.size(), size_t(c.width * c.height * 4)) << c.file;
        if (c.loads) {
            EXPECT_EQ(look.icon_rgba[5], 35) << "the bytes as written";
        }
    }
}
