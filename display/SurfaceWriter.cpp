#include "display/SurfaceWriter.h"

#include <SDL.h>

#include <cstring>

namespace display {

namespace {

// 5 and 6 bit channels widened to 8 bits by repeating their top bits, as SDL does.
inline uint32_t to_8888(uint16_t p, const SDL_PixelFormat& f)
{
    uint32_t r = p >> 11, g = (p >> 5) & 0x3F, b = p & 0x1F;
    r = r << 3 | r >> 2;
    g = g << 2 | g >> 4;
    b = b << 3 | b >> 2;
    return r << f.Rshift | g << f.Gshift | b << f.Bshift | f.Amask;
}

bool eight_bit_channels(const SDL_PixelFormat& f)
{
    return f.BytesPerPixel == 4 && f.Rloss == 0 && f.Gloss == 0 && f.Bloss == 0;
}

// Repeats each pixel of the row zoom times along it.
void widen(const uint8_t* from, uint8_t* to, int width, int bytes, int zoom)
{
    for (int x = 0; x < width; ++x)
        for (int k = 0; k < zoom; ++k, to += bytes)
            std::memcpy(to, from + x * bytes, size_t(bytes));
}

} // namespace

bool SurfaceWriter::write(const skin::PixelBuffer& frame, int first, int last, SDL_Surface& surface, int zoom)
{
    const SDL_PixelFormat& f = *surface.format;
    int width = frame.width;
    if (zoom < 1 || first < 0 || last > frame.height || surface.w < width * zoom || surface.h < last * zoom)
        return false;
    if (SDL_MUSTLOCK(&surface) && SDL_LockSurface(&surface) != 0)
        return false;
    int bytes = f.BytesPerPixel;
    size_t out_row = size_t(width) * size_t(zoom) * size_t(bytes);
    bool ok = true;
    for (int y = first; y < last && ok; ++y) {
        const uint16_t* in = reinterpret_cast<const uint16_t*>(frame.row(y));
        auto* out = static_cast<uint8_t*>(surface.pixels) + size_t(y) * size_t(zoom) * size_t(surface.pitch);
        if (f.format == SDL_PIXELFORMAT_RGB565) {
            auto* to = reinterpret_cast<uint16_t*>(out);
            if (zoom == 1)
                std::memcpy(to, in, size_t(width) * 2);
            else
                for (int x = 0; x < width; ++x)
                    for (int k = 0; k < zoom; ++k)
                        *to++ = in[x];
        } else if (eight_bit_channels(f)) {
            auto* to = reinterpret_cast<uint32_t*>(out);
            if (zoom == 1)
                for (int x = 0; x < width; ++x)
                    to[x] = to_8888(in[x], f);
            else
                for (int x = 0; x < width; ++x) {
                    uint32_t value = to_8888(in[x], f);
                    for (int k = 0; k < zoom; ++k)
                        *to++ = value;
                }
        } else {
            m_row.resize(size_t(width) * size_t(bytes));
            ok = SDL_ConvertPixels(width, 1, SDL_PIXELFORMAT_RGB565, in, int(frame.pitch), f.format, m_row.data(),
                     width * bytes) == 0;
            widen(m_row.data(), out, width, bytes, zoom);
        }
        for (int k = 1; k < zoom; ++k)
            std::memcpy(out + size_t(k) * size_t(surface.pitch), out, out_row);
    }
    if (SDL_MUSTLOCK(&surface))
        SDL_UnlockSurface(&surface);
    return ok;
}

} // namespace display
