// Points and rectangles in pixels, and the 565 colours of the skin engine.
#pragma once

#include <algorithm>
#include <cstdint>

namespace skin {

struct Point {
    int x { 0 };
    int y { 0 };
    friend bool operator==(const Point&, const Point&) = default;
    Point operator+(Point o) const { return { x + o.x, y + o.y }; }
    Point operator-(Point o) const { return { x - o.x, y - o.y }; }
};

struct Rect {
    int x { 0 };
    int y { 0 };
    int width { 0 };
    int height { 0 };
    friend bool operator==(const Rect&, const Rect&) = default;
    bool empty() const { return width <= 0 || height <= 0; }
    Rect intersected(const Rect& o) const
    {
        int left = std::max(x, o.x), top = std::max(y, o.y);
        int right = std::min(x + width, o.x + o.width), bottom = std::min(y + height, o.y + o.height);
        return { left, top, std::max(0, right - left), std::max(0, bottom - top) };
    }
};

// A colour as the skin stores it; colours read from a skin always have alpha 255.
struct Color {
    uint8_t red { 0 };
    uint8_t green { 0 };
    uint8_t blue { 0 };
    uint8_t alpha { 255 };
    friend bool operator==(const Color&, const Color&) = default;
};

using Pixel = uint16_t;

constexpr Pixel transparent_key = 0xF81F; // full red and blue: never changes the target
constexpr Pixel opaque_bit = 0x0020;      // the lowest green bit marks an opaque pixel

constexpr Pixel to_565(Color c)
{
    return Pixel(((c.red >> 3) << 11) | ((c.green & 0xFC) << 3) | (c.blue >> 3));
}

} // namespace skin
