#include "skin/compiler/PngConvert.h"

#include <png.h>

#include <cstring>

namespace skinc {

skin::Pixel pixel_of_rgba(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha)
{
    if (alpha == 255)
        return skin::to_565({ red, green, blue, 255 }) | skin::opaque_bit;
    if (alpha == 0)
        return skin::transparent_key;
    auto premultiply = [alpha](uint8_t c) { return uint8_t((c * alpha + 127) / 255); };
    skin::Pixel p = skin::Pixel(skin::to_565({ premultiply(red), premultiply(green), premultiply(blue), 255 })
        & ~skin::opaque_bit);
    // A nearly opaque magenta must not turn into the key and vanish.
    return p == skin::transparent_key ? skin::Pixel(p & ~0x0800) : p;
}

std::vector<uint8_t> bitmap_565(const std::vector<skin::Pixel>& pixels, int width, int height)
{
    const uint32_t data_offset = 14 + 40 + 12;
    uint32_t stride = uint32_t((width * 2 + 3) & ~3);
    uint32_t data_size = stride * uint32_t(height);
    std::vector<uint8_t> out;
    auto u16 = [&](uint32_t v) {
        out.push_back(uint8_t(v));
        out.push_back(uint8_t(v >> 8));
    };
    auto u32 = [&](uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    u16('B' | 'M' << 8);
    u32(data_offset + data_size);
    u32(0);
    u32(data_offset);
    u32(40);
    u32(uint32_t(width));
    u32(uint32_t(height)); // positive: rows bottom-up
    u16(1);
    u16(16);
    u32(3); // bit fields: the masks below
    u32(data_size);
    u32(2835);
    u32(2835);
    u32(0);
    u32(0);
    u32(0xF800);
    u32(0x07E0);
    u32(0x001F);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x)
            u16(pixels[size_t(y) * size_t(width) + size_t(x)]);
        for (uint32_t pad = uint32_t(width) * 2; pad < stride; ++pad)
            out.push_back(0);
    }
    return out;
}

bool convert_png(const std::string& png_path, ConvertedPicture& picture, std::string& error)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, png_path.c_str())) {
        error = "cannot read PNG " + png_path + ": " + image.message;
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    if (image.width == 0 || image.height == 0 || image.width > 32767 || image.height > 32767) {
        png_image_free(&image);
        error = "PNG " + png_path + " has an unusable size";
        return false;
    }
    std::vector<uint8_t> rgba(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
        error = "cannot decode PNG " + png_path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    picture.width = int(image.width);
    picture.height = int(image.height);
    std::vector<skin::Pixel> pixels(size_t(picture.width) * size_t(picture.height));
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = pixel_of_rgba(rgba[4 * i], rgba[4 * i + 1], rgba[4 * i + 2], rgba[4 * i + 3]);
    picture.bitmap = bitmap_565(pixels, picture.width, picture.height);
    return true;
}

} // namespace skinc
