#include "skin/file/Load565.h"

#include "platform/File.h"
#include "runtime/Log.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace skin {

namespace {

constexpr size_t file_header_size = 14;
constexpr size_t info_header_size = 40;
// Larger pictures are refused: no skin needs them and the size comes from the file.
constexpr int64_t max_pixels = int64_t(1) << 24;

uint32_t read32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t read16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

} // namespace

SharedPicture decode_565(const uint8_t* data, size_t size, std::u16string_view path)
{
    if (size < file_header_size + info_header_size)
        return nullptr;
    const uint8_t* info = data + file_header_size;
    uint32_t pixel_offset = read32(data + 10);
    int64_t width = int32_t(read32(info + 4));
    int64_t height = int32_t(read32(info + 8));
    if (read16(info + 14) != 16) {
        runtime::get_log() << u"load_565 " << path << u" is not 16bit bitmap\n";
        return nullptr;
    }
    bool bottom_up = height > 0;
    height = std::llabs(height);
    if (width <= 0 || height == 0 || width * height > max_pixels)
        return nullptr;
    size_t row_bytes = size_t(width) * 2;
    size_t stride = (row_bytes + 3) & ~size_t(3);
    // The last row needs no padding after it.
    if (pixel_offset > size || (size - pixel_offset) < stride * size_t(height - 1) + row_bytes)
        return nullptr;

    auto picture = std::make_shared<Picture>(int(width), int(height));
    PixelBuffer pixels = picture->pixels();
    const uint8_t* source = data + pixel_offset;
    for (int64_t i = 0; i < height; ++i, source += stride) {
        int64_t y = bottom_up ? height - 1 - i : i;
        std::memcpy(pixels.row(int(y)), source, row_bytes);
    }
    return picture;
}

SharedPicture load_565(std::u16string_view path)
{
    platform::File file;
    if (!file.open(path, platform::File::Mode::read))
        return nullptr;
    int64_t size = file.size();
    if (size <= 0)
        return nullptr;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (file.read(bytes.data(), bytes.size()) != size)
        return nullptr;
    return decode_565(bytes.data(), bytes.size(), path);
}

} // namespace skin
