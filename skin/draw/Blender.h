// A row blender: decides how a run of source pixels mixes with the target pixels under
// it. Every copy of the skin engine goes through one, so that transparency carried inside
// the 565 pixels (the key colour, the opaque bit) is honoured everywhere.
#pragma once

#include "skin/draw/Geometry.h"

#include <algorithm>
#include <memory>

namespace skin {

class Blender {
public:
    virtual ~Blender() = default;
    virtual std::unique_ptr<Blender> clone() const = 0;

    // target[i] = rule(source[i], target[i]) for i < count.
    virtual void copy_run(Pixel* target, const Pixel* source, int count) const = 0;
    // Source index = position >> 10, position += step (22.10 fixed point).
    virtual void copy_stepped(Pixel* target, const Pixel* source, int count, int position, int step) const = 0;
    // Source index = (start + i) >> shift: pixel doubling for pictures at skin scale.
    virtual void copy_shifted(Pixel* target, const Pixel* source, int count, int start, int shift) const = 0;
    // Source index = i >> shift with i from start on, wrapping from end back to restart.
    virtual void copy_tiled(Pixel* target, const Pixel* source, int count, int start, int shift, int end, int restart) const = 0;

protected:
    // A tiled run as the spans between its wraps, each drawn by copy_shifted.
    void copy_tiled_spans(Pixel* target, const Pixel* source, int count, int start, int shift, int end, int restart) const
    {
        int i = start;
        while (count > 0) {
            if (i >= end) {
                if (restart >= end)
                    return;
                i = restart;
            }
            int take = std::min(count, end - i);
            copy_shifted(target, source, take, i, shift);
            target += take;
            count -= take;
            i += take;
        }
    }
};

using BlenderPtr = std::unique_ptr<Blender>;

} // namespace skin
