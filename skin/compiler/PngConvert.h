// PNG pictures of a skin source become the 16-bit bitmaps the skin loader reads. Alpha
// is carried inside the pixels: opaque pixels get the opaque bit, fully transparent ones
// the transparent key, and partly transparent ones are pre-multiplied without the bit.
#pragma once

#include "skin/draw/Geometry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace skinc {

skin::Pixel pixel_of_rgba(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);

// A 16-bit bottom-up bitmap file (file header, information header, 565 masks, rows
// padded to 4 bytes) of width x height pixels given top row first.
std::vector<uint8_t> bitmap_565(const std::vector<skin::Pixel>& pixels, int width, int height);

struct ConvertedPicture {
    int width { 0 };
    int height { 0 };
    std::vector<uint8_t> bitmap;
};
// False with a message when the PNG cannot be read.
bool convert_png(const std::string& png_path, ConvertedPicture& picture, std::string& error);

} // namespace skinc
