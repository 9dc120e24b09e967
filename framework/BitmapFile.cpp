#include "framework/BitmapFile.h"

#include <cstring>

namespace framework {

namespace {

void put16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t value)
{
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

} // namespace

std::vector<uint8_t> bitmap_file_565(const skin::PixelBuffer& pixels)
{
    constexpr uint32_t file_header = 14, info_header = 40, masks = 12;
    uint32_t stride = uint32_t(skin::PixelBuffer::pitch_for(pixels.width));
    uint32_t data_size = stride * uint32_t(pixels.height);
    uint32_t offset = file_header + info_header + masks;
    std::vector<uint8_t> out;
    out.reserve(offset + data_size);
    out.push_back('B');
    out.push_back('M');
    put32(out, offset + data_size);
    put32(out, 0);
    put32(out, offset);
    put32(out, info_header);
    put32(out, uint32_t(pixels.width));
    put32(out, uint32_t(pixels.height)); // positive: bottom-up rows
    put16(out, 1);                       // planes
    put16(out, 16);                      // bits per pixel
    put32(out, 3);                       // BI_BITFIELDS: the masks below
    put32(out, data_size);
    put32(out, 3780); // 96 dpi in pixels per metre
    put32(out, 3780);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0xF800);
    put32(out, 0x07E0);
    put32(out, 0x001F);
    size_t row_bytes = size_t(pixels.width) * 2;
    for (int y = pixels.height - 1; y >= 0; --y) {
        const skin::Pixel* row = pixels.row(y);
        for (int x = 0; x < pixels.width; ++x)
            put16(out, row[x]);
        out.resize(out.size() + (stride - row_bytes), 0);
    }
    return out;
}

} // namespace framework
