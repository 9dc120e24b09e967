// The frame's 565 pixels written into surfaces of the formats windows come in, each
// pixel as a zoom x zoom square, every window pixel checked against SDL's own mapping
// of the widened colour; rows outside the written range stay as they were.
#include "display/SurfaceWriter.h"

#include "skin/draw/RenderSurface.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

uint32_t read_pixel(const SDL_Surface& surface, int x, int y)
{
    const uint8_t* at = static_cast<const uint8_t*>(surface.pixels) + y * surface.pitch + x * surface.format->BytesPerPixel;
    uint32_t value = 0;
    std::memcpy(&value, at, surface.format->BytesPerPixel); // little-endian machine
    return value;
}

// The colour SDL reads from the surface pixel, at the precision both formats keep: the
// 565 value's bits lead each channel; alpha, where there is one, is opaque.
std::string colour(uint32_t value, const SDL_PixelFormat* format)
{
    uint8_t r, g, b, a;
    SDL_GetRGBA(value, format, &r, &g, &b, &a);
    int rl = std::max<int>(3, format->Rloss), gl = std::max<int>(2, format->Gloss), bl = std::max<int>(3, format->Bloss);
    return std::to_string(r >> rl) + "," + std::to_string(g >> gl) + "," + std::to_string(b >> bl) + "," + std::to_string(a);
}

std::string colour_565(uint16_t p, const SDL_PixelFormat* format)
{
    uint32_t r8 = uint32_t(p >> 11) << 3, g8 = uint32_t((p >> 5) & 0x3F) << 2, b8 = uint32_t(p & 0x1F) << 3;
    int rl = std::max<int>(3, format->Rloss), gl = std::max<int>(2, format->Gloss), bl = std::max<int>(3, format->Bloss);
    return std::to_string(r8 >> rl) + "," + std::to_string(g8 >> gl) + "," + std::to_string(b8 >> bl) + ",255";
}

// Three by two frame pixels: the primaries, white, black, a grey with the opaque bit.
skin::RenderSurface frame()
{
    skin::RenderSurface surface;
    surface.recreate(3, 2);
    const uint16_t pixels[] = { 0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0000, 0x8430 };
    for (int i = 0; i < 6; ++i)
        surface.buffer().at(i % 3, i / 3) = pixels[i];
    return surface;
}

struct Case {
    uint32_t format;
    int zoom;
};

class SurfaceWriterTest : public testing::TestWithParam<Case> { };

} // namespace

INSTANTIATE_TEST_SUITE_P(Formats, SurfaceWriterTest,
    testing::Values(Case { SDL_PIXELFORMAT_RGB565, 1 }, Case { SDL_PIXELFORMAT_RGB565, 2 },
        Case { SDL_PIXELFORMAT_RGB888, 1 }, Case { SDL_PIXELFORMAT_RGB888, 2 }, Case { SDL_PIXELFORMAT_RGB888, 3 },
        Case { SDL_PIXELFORMAT_BGR888, 2 }, Case { SDL_PIXELFORMAT_ARGB8888, 2 }, Case { SDL_PIXELFORMAT_RGB24, 2 },
        Case { SDL_PIXELFORMAT_RGB555, 1 }, Case { SDL_PIXELFORMAT_RGB555, 3 }));

TEST_P(SurfaceWriterTest, EveryFramePixelBecomesASquareOfItsColourInTheSurfaceFormat)
{
    Case c = GetParam();
    skin::RenderSurface source = frame();
    const skin::PixelBuffer& pixels = source.buffer();
    // A surface one pixel wider and higher than needed, filled with a mark.
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 3 * c.zoom + 1, 2 * c.zoom + 1, 32, c.format);
    ASSERT_NE(surface, nullptr) << SDL_GetError();
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 1, 2, 3));
    uint32_t mark = read_pixel(*surface, 0, 0);
    display::SurfaceWriter writer;
    ASSERT_TRUE(writer.write(pixels, 1, 2, *surface, c.zoom));
    for (int y = 0; y < surface->h; ++y) {
        for (int x = 0; x < surface->w; ++x) {
            bool written = y >= c.zoom && y < 2 * c.zoom && x < 3 * c.zoom;
            uint32_t value = read_pixel(*surface, x, y);
            if (written)
                ASSERT_EQ(colour(value, surface->format), colour_565(pixels.at(x / c.zoom, y / c.zoom), surface->format))
                    << SDL_GetPixelFormatName(c.format) << " zoom " << c.zoom << " at " << x << "," << y;
            else
                ASSERT_EQ(value, mark) << SDL_GetPixelFormatName(c.format) << " zoom " << c.zoom << " at " << x << "," << y;
        }
    }
    ASSERT_TRUE(writer.write(pixels, 0, 1, *surface, c.zoom));
    EXPECT_EQ(colour(read_pixel(*surface, 3 * c.zoom - 1, c.zoom - 1), surface->format), colour_565(0x001F, surface->format));
    SDL_FreeSurface(surface);
}

TEST(SurfaceWriter, RowsThatDoNotFitTheSurfaceAreRefused)
{
    skin::RenderSurface source = frame();
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 5, 4, 32, SDL_PIXELFORMAT_RGB888);
    ASSERT_NE(surface, nullptr);
    display::SurfaceWriter writer;
    EXPECT_FALSE(writer.write(source.buffer(), 0, 2, *surface, 2)) << "6 pixels wide into 5";
    EXPECT_FALSE(writer.write(source.buffer(), 0, 3, *surface, 1)) << "a third row the frame lacks";
    EXPECT_TRUE(writer.write(source.buffer(), 0, 2, *surface, 1));
    SDL_FreeSurface(surface);
}
