#include "SkinTestSupport.h"

#include "skin/file/Load565.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace skin;
using namespace skin_test;

namespace {

// Bitmaps written by another tool than ours: a small python script with its own idea of
// the headers (no colour masks, offset 54).
void write_bitmaps(const std::string& folder)
{
    std::string script = folder + "/make.py";
    test_support::write_bytes(script, R"(import struct, sys
folder = sys.argv[1]
def bmp(name, w, h, bits, rows):
    stride = (w * bits // 8 + 3) & ~3
    data = b''.join(r + b'\x00' * (stride - len(r)) for r in rows)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, bits, 0, len(data), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    open(folder + '/' + name, 'wb').write(head + info + data)
def row(values): return b''.join(struct.pack('<H', v) for v in values)
# 3 x 2 pixels: top row 1 2 3, bottom row 4 5 6.
bmp('up.bmp', 3, 2, 16, [row([4, 5, 6]), row([1, 2, 3])])
bmp('down.bmp', 3, -2, 16, [row([1, 2, 3]), row([4, 5, 6])])
bmp('even.bmp', 2, 2, 16, [row([0xF81F, 0xFFFF]), row([0x0020, 0x1234])])
bmp('rgb.bmp', 2, 2, 24, [b'\x00' * 6, b'\x00' * 6])
bmp('cut.bmp', 3, 40, 16, [row([1, 2, 3])])
open(folder + '/short.bmp', 'wb').write(b'BM' + b'\x00' * 30)
)");
    auto result = test_support::run_command("python3 " + script + " " + folder);
    ASSERT_EQ(result.exit_code, 0) << result.output;
}

std::vector<Pixel> pixels_of(const Picture& picture)
{
    std::vector<Pixel> out;
    PixelBuffer b = picture.pixels();
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x)
            out.push_back(b.at(x, y));
    return out;
}

} // namespace

TEST(Load565, BothRowOrdersAndRowPadding)
{
    std::string folder = test_support::scratch_folder("bmp");
    write_bitmaps(folder);
    struct Case {
        const char* name;
        int width, height;
        std::vector<Pixel> pixels;
    } cases[] = {
        { "up.bmp", 3, 2, { 1, 2, 3, 4, 5, 6 } },
        { "down.bmp", 3, 2, { 1, 2, 3, 4, 5, 6 } },
        { "even.bmp", 2, 2, { 0x0020, 0x1234, 0xF81F, 0xFFFF } },
    };
    for (const Case& c : cases) {
        SharedPicture picture = load_565(u16(folder + "/" + c.name));
        ASSERT_TRUE(picture) << c.name;
        EXPECT_EQ(picture->width(), c.width) << c.name;
        EXPECT_EQ(picture->height(), c.height) << c.name;
        EXPECT_EQ(pixels_of(*picture), c.pixels) << c.name;
    }
}

TEST(Load565, RefusesWhatIsNotAWhole16BitBitmap)
{
    std::string folder = test_support::scratch_folder("bmp-bad");
    write_bitmaps(folder);
    start_log();
    EXPECT_FALSE(load_565(u16(folder + "/rgb.bmp")));
    std::string log = log_text();
    stop_log();
    EXPECT_NE(log.find("load_565 " + folder + "/rgb.bmp is not 16bit bitmap\n"), std::string::npos) << log;
    for (const char* name : { "cut.bmp", "short.bmp", "missing.bmp" })
        EXPECT_FALSE(load_565(u16(folder + "/" + name))) << name;
    // A picture whose headers give no pixels is no picture.
    const uint8_t header[54] = { 'B', 'M', 54, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        0, 0, 1, 0, 16, 0 };
    EXPECT_FALSE(decode_565(header, sizeof header, u"zero"));
}
