#include "skin/draw/FramePng.h"

#include <png.h>

#include <cstdio>
#include <memory>

namespace skin {

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

} // namespace

void widen_565(Pixel p, uint8_t& red, uint8_t& green, uint8_t& blue)
{
    int r = p >> 11, g = (p >> 5) & 63, b = p & 31;
    red = uint8_t((r << 3) | (r >> 2));
    green = uint8_t((g << 2) | (g >> 4));
    blue = uint8_t((b << 3) | (b >> 2));
}

bool write_png(const std::string& path, const PixelBuffer& pixels)
{
    if (pixels.width <= 0 || pixels.height <= 0 || !pixels.first_row)
        return false;
    FilePtr file(std::fopen(path.c_str(), "wb"));
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<uint8_t> row(size_t(pixels.width) * 3);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, png_uint_32(pixels.width), png_uint_32(pixels.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
        PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < pixels.height; ++y) {
        const Pixel* src = pixels.row(y);
        for (int x = 0; x < pixels.width; ++x)
            widen_565(src[x], row[size_t(x) * 3], row[size_t(x) * 3 + 1], row[size_t(x) * 3 + 2]);
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fflush(file.get()) == 0;
}

bool read_png(const std::string& path, RgbImage& image)
{
    png_image img {};
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&img, path.c_str()))
        return false;
    img.format = PNG_FORMAT_RGB;
    image.width = int(img.width);
    image.height = int(img.height);
    image.rgb.assign(PNG_IMAGE_SIZE(img), 0);
    if (!png_image_finish_read(&img, nullptr, image.rgb.data(), 0, nullptr)) {
        png_image_free(&img);
        return false;
    }
    return true;
}

} // namespace skin
