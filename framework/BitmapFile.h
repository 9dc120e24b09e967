// A frame as a 16-bit bitmap file: the file and information headers with the 565 colour
// masks, then the rows from the bottom up, each padded with zero bytes to a multiple of
// four bytes.
#pragma once

#include "skin/draw/PixelBuffer.h"

#include <cstdint>
#include <vector>

namespace framework {

std::vector<uint8_t> bitmap_file_565(const skin::PixelBuffer& pixels);

} // namespace framework
