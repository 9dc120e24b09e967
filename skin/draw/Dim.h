// Darkens runs to k/16 of their colour, k = (alpha + 8) / 16 clamped to 0..16: 16 keeps
// the pixels, 0 makes them black. Works on two pixels per 32-bit word.
#pragma once

#include "skin/draw/RowOperation.h"

namespace skin {

class Dim final : public RowOperation {
public:
    explicit Dim(int alpha);
    int factor() const { return m_factor; }
    void apply(Pixel* row, int count) const override;

    // One pixel the way the word loop does it: the sum of the halves, quarters, eighths
    // and sixteenths that k selects, each masked per channel.
    static Pixel dim_pixel(Pixel p, int factor);

private:
    int m_factor;
};

} // namespace skin
