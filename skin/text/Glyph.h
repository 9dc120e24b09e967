// One rasterised glyph of a font: 8-bit coverage, its placement against the pen position
// on the baseline and the advance to the next character.
#pragma once

#include <cstdint>
#include <vector>

namespace skin {

struct Glyph {
    int width { 0 };
    int rows { 0 };
    int left { 0 }; // from the pen to the first column
    int top { 0 };  // from the baseline up to the first row
    int advance { 0 };
    std::vector<uint8_t> coverage; // rows x width, 0 transparent to 255 full colour
};

} // namespace skin
