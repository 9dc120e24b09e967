#include "skin/draw/MaskBlender.h"

#include <algorithm>

namespace skin {

MaskBlender::MaskBlender(const PixelBuffer& source, const PixelBuffer& mask)
    : m_source_begin(source.first_row)
    , m_source_end(source.first_row + ptrdiff_t(source.pitch) * source.height)
    , m_mask_begin(mask.first_row)
{
}

Pixel MaskBlender::mask_of(const Pixel* source) const
{
    auto at = reinterpret_cast<const uint8_t*>(source);
    // A run from another buffer (the caller broke the contract) takes the source as is.
    if (at < m_source_begin || at >= m_source_end)
        return 0xFFFF;
    return *reinterpret_cast<const Pixel*>(m_mask_begin + (at - m_source_begin));
}

Pixel MaskBlender::mix(Pixel s, Pixel d, Pixel m)
{
    if (s == transparent_key)
        return d;
    int w = (m >> 5) & 63;
    w += w >> 5; // 0..64
    int r = (((s >> 11) & 31) * w + ((d >> 11) & 31) * (64 - w)) >> 6;
    int g = (((s >> 5) & 63) * w + ((d >> 5) & 63) * (64 - w)) >> 6;
    int b = ((s & 31) * w + (d & 31) * (64 - w)) >> 6;
    return Pixel((r << 11) | (g << 5) | b);
}

void MaskBlender::copy_run(Pixel* target, const Pixel* source, int count) const
{
    for (int i = 0; i < count; ++i)
        target[i] = mix(source[i], target[i], mask_of(source + i));
}

void MaskBlender::copy_stepped(Pixel* target, const Pixel* source, int count, int position, int step) const
{
    for (int i = 0; i < count; ++i) {
        const Pixel* s = source + (position >> 10);
        target[i] = mix(*s, target[i], mask_of(s));
        position += step;
    }
}

void MaskBlender::copy_shifted(Pixel* target, const Pixel* source, int count, int start, int shift) const
{
    for (int i = 0; i < count; ++i) {
        const Pixel* s = source + ((start + i) >> shift);
        target[i] = mix(*s, target[i], mask_of(s));
    }
}

void MaskBlender::copy_tiled(Pixel* target, const Pixel* source, int count, int start, int shift, int end, int restart) const
{
    copy_tiled_spans(target, source, count, start, shift, end, restart);
}

} // namespace skin
