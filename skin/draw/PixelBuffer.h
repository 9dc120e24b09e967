// A view of 16-bit 565 pixels: width, height, pitch in bytes and the first row; rows go
// top to bottom. Pictures, surfaces and the frame buffer all hand out such views.
#pragma once

#include "skin/draw/Geometry.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>

namespace skin {

struct PixelBuffer {
    int width { 0 };
    int height { 0 };
    int pitch { 0 }; // bytes per row: width x 2 rounded up to a multiple of 4
    uint8_t* first_row { nullptr };

    Pixel* row(int y) const { return reinterpret_cast<Pixel*>(first_row + ptrdiff_t(y) * pitch); }
    Pixel& at(int x, int y) const { return row(y)[x]; }
    // The widest buffer whose pitch still fits an int.
    static constexpr int max_width = (INT_MAX - 3) / 2;
    // Widths outside 0..max_width are taken as the nearest end of that range.
    static int pitch_for(int width) { return (std::clamp(width, 0, max_width) * 2 + 3) & ~3; }
};

} // namespace skin
