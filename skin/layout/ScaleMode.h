// How a node is sized and placed inside the room its parent offers along one axis.
#pragma once

#include <string_view>

namespace skin {

enum ScaleMode : int {
    min_side = 0,
    both_side = 1,
    max_side = 2,
    ratio = 3,
    center = 4,
    min_side_no_size = 5,
    max_side_no_size = 6,
    both_side_no_size = 7,
    center_no_size = 8,
};

// The mode written as text ("MIN_SIDE" ... "CENTER_NO_SIZE"); anything else is BOTH_SIDE.
ScaleMode parse_scale_mode(std::u16string_view text);

// The child's size for its wanted size w in room r with margins bmin and bmax.
int scale_size(int mode, int bmin, int bmax, int wanted, int room);
// The child's offset from the start of its room for its size.
int scale_offset(int mode, int bmin, int bmax, int size, int room);
// What the child adds to its parent's measure: margins and wanted size, or nothing for
// the NO_SIZE modes.
int scale_contribution(int mode, int bmin, int bmax, int wanted);

} // namespace skin
