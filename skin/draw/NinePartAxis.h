// The split of one axis of nine-part picture drawing: a start part drawn pixel for pixel,
// a middle part that repeats the source's middle range, and an end part, each clipped.
#pragma once

#include <array>

namespace skin {

struct NinePartPiece {
    int target { 0 }; // first target position
    int count { 0 };  // target pixels
    int source { 0 }; // source index (at screen scale) of the first pixel; the tile phase for the middle
    bool tiled { false };
};

struct NinePartAxis {
    int start { 0 }; // unclipped lengths of the three parts
    int middle { 0 };
    int end { 0 };
    int tile_begin { 0 }; // the repeated source range [tile_begin, tile_end)
    int tile_end { 0 };
    std::array<NinePartPiece, 3> pieces; // start, middle, end after clipping
};

// Splits target range [position, position + length) for source corners c0 <= c1 <= c2 <= c3
// and clips it to [lo, hi).
NinePartAxis plan_nine_part_axis(int position, int length, int c0, int c1, int c2, int c3, int lo, int hi);

} // namespace skin
