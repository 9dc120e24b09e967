// 565 frames as PNG files: each channel widened to 8 bits by repeating its top bits.
#pragma once

#include "skin/draw/PixelBuffer.h"

#include <string>
#include <vector>

namespace skin {

// The 8-bit red, green and blue of a 565 pixel.
void widen_565(Pixel p, uint8_t& red, uint8_t& green, uint8_t& blue);

bool write_png(const std::string& path, const PixelBuffer& pixels);

// An 8-bit RGB image read back from a PNG file (tests and tools compare frames with it).
struct RgbImage {
    int width { 0 };
    int height { 0 };
    std::vector<uint8_t> rgb; // rows top to bottom, three bytes a pixel
};
bool read_png(const std::string& path, RgbImage& image);

} // namespace skin
