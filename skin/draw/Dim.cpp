#include "skin/draw/Dim.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace skin {

namespace {

// Shifting by n with these masks keeps every channel within its own bits.
constexpr uint32_t mask1 = 0x7BEF7BEF;
constexpr uint32_t mask2 = 0x39E739E7;
constexpr uint32_t mask3 = 0x18E318E3;
constexpr uint32_t mask4 = 0x08610861;

inline uint32_t dim_word(uint32_t w, int k)
{
    uint32_t r = 0;
    if (k & 8)
        r += (w >> 1) & mask1;
    if (k & 4)
        r += (w >> 2) & mask2;
    if (k & 2)
        r += (w >> 3) & mask3;
    if (k & 1)
        r += (w >> 4) & mask4;
    return r;
}

} // namespace

Dim::Dim(int alpha)
    : m_factor(std::clamp((alpha + 8) / 16, 0, 16))
{
}

Pixel Dim::dim_pixel(Pixel p, int factor)
{
    if (factor >= 16)
        return p;
    return Pixel(dim_word(p, factor) & 0xFFFF);
}

void Dim::apply(Pixel* row, int count) const
{
    if (count <= 0 || m_factor >= 16)
        return;
    int k = m_factor;
    if (reinterpret_cast<uintptr_t>(row) & 2) {
        *row = dim_pixel(*row, k);
        ++row;
        --count;
    }
    int words = count / 2;
    for (int i = 0; i < words; ++i) {
        uint32_t w;
        std::memcpy(&w, row + 2 * i, 4);
        w = dim_word(w, k);
        std::memcpy(row + 2 * i, &w, 4);
    }
    if (count & 1)
        row[count - 1] = dim_pixel(row[count - 1], k);
}

} // namespace skin
