// The per-pixel rules of the blenders, one small function object per kind. A rule maps a
// source pixel s and the target pixel d under it to the new target pixel.
#pragma once

#include "skin/draw/Geometry.h"

namespace skin::rules {

// The shifted fractions of a target: the masks keep each channel's bits from spilling
// into the next channel.
constexpr Pixel quarter(Pixel d) { return Pixel((d >> 2) & 0x39E7); }
constexpr Pixel half(Pixel d) { return Pixel((d >> 1) & 0x7BEF); }

constexpr bool is_opaque(Pixel s) { return (s & opaque_bit) != 0; }

struct OpaqueCopy {
    static constexpr bool plain_copy = true;
    constexpr Pixel operator()(Pixel s, Pixel) const { return s; }
};

struct Level0 {
    static constexpr bool plain_copy = false;
    constexpr Pixel operator()(Pixel s, Pixel d) const { return s == transparent_key ? d : s; }
};

struct Level1 {
    static constexpr bool plain_copy = false;
    constexpr Pixel operator()(Pixel s, Pixel d) const
    {
        return s == transparent_key ? d : (is_opaque(s) ? s : Pixel(s + quarter(d)));
    }
};

struct Level2 {
    static constexpr bool plain_copy = false;
    constexpr Pixel operator()(Pixel s, Pixel d) const
    {
        return s == transparent_key ? d : (is_opaque(s) ? s : Pixel(s + half(d)));
    }
};

struct Level3 {
    static constexpr bool plain_copy = false;
    constexpr Pixel operator()(Pixel s, Pixel d) const
    {
        return s == transparent_key ? d : (is_opaque(s) ? s : Pixel(s + quarter(d) + half(d)));
    }
};

// Translucent pixels and the key vanish; only opaque pixels are copied.
struct Level4 {
    static constexpr bool plain_copy = false;
    constexpr Pixel operator()(Pixel s, Pixel d) const { return is_opaque(s) ? s : d; }
};

// Copies a text scratch area back: every pixel the text changed becomes opaque.
struct TextMerge {
    static constexpr bool plain_copy = false;
    constexpr Pixel operator()(Pixel s, Pixel d) const { return s == d ? s : Pixel(s | opaque_bit); }
};

// Multiplies each channel by a factor out of 256; the result is written or OR-ed on.
struct ColourModulate {
    static constexpr bool plain_copy = false;
    int red { 256 };
    int green { 256 };
    int blue { 256 };
    bool or_onto_target { false };
    constexpr Pixel operator()(Pixel s, Pixel d) const
    {
        int r = (((s >> 11) & 31) * red) >> 8;
        int g = (((s >> 5) & 63) * green) >> 8;
        int b = ((s & 31) * blue) >> 8;
        auto m = Pixel((std::min(r, 31) << 11) | (std::min(g, 63) << 5) | std::min(b, 31));
        return or_onto_target ? Pixel(d | m) : m;
    }
};

} // namespace skin::rules
