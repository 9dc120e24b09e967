// Writes rows of the 565 frame into a surface of the window's own pixel format, each
// frame pixel as a zoom x zoom square: row copies when the surface is 565 itself, one
// shift per channel for 32-bit surfaces with 8-bit channels (what X11 and Wayland hand
// out), SDL's conversion row by row for any other format.
#pragma once

#include "skin/draw/PixelBuffer.h"

#include <cstdint>
#include <vector>

struct SDL_Surface;

namespace display {

class SurfaceWriter {
public:
    // Rows [first, last) of the frame, at (0, first x zoom) of the surface; false when the
    // surface is too small for them or cannot be written.
    bool write(const skin::PixelBuffer& frame, int first, int last, SDL_Surface& surface, int zoom);

private:
    std::vector<uint8_t> m_row;
};

} // namespace display
