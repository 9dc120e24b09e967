// hybrid-png ONE.png TWO.png OUT.png
//
// Makes one picture that is crisp on both screen scales. The skin engine draws a picture
// twice its node's size by taking every other pixel (even columns of even rows), and on a
// 2x screen it doubles the picture and takes every other pixel again, which gives the
// picture back pixel for pixel. So the 2x rendering TWO is written out whole, except that
// the pixels a 1x screen will pick, (2x, 2y), are the 1x rendering ONE's pixel (x, y):
// the 1x screen then shows a true 1x rendering instead of a thinned-out 2x one, and the
// 2x screen shows TWO with a quarter of its pixels replaced by what they average to.
// Both inputs must be opaque renderings on the same background; TWO twice ONE's size.
#include <png.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Image {
    unsigned width = 0, height = 0;
    std::vector<unsigned char> rgba;
};

bool read_png(const char* path, Image& image)
{
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path)) {
        std::fprintf(stderr, "hybrid-png: cannot read %s: %s\n", path, png.message);
        return false;
    }
    png.format = PNG_FORMAT_RGBA;
    image.width = png.width;
    image.height = png.height;
    image.rgba.resize(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, image.rgba.data(), 0, nullptr)) {
        std::fprintf(stderr, "hybrid-png: cannot decode %s: %s\n", path, png.message);
        png_image_free(&png);
        return false;
    }
    return true;
}

bool write_png(const char* path, const Image& image)
{
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = image.width;
    png.height = image.height;
    png.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&png, path, 0, image.rgba.data(), 0, nullptr)) {
        std::fprintf(stderr, "hybrid-png: cannot write %s: %s\n", path, png.message);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fputs("usage: hybrid-png ONE.png TWO.png OUT.png\n", stderr);
        return 2;
    }
    Image one, two;
    if (!read_png(argv[1], one) || !read_png(argv[2], two))
        return 1;
    if (two.width != 2 * one.width || two.height != 2 * one.height) {
        std::fprintf(stderr, "hybrid-png: %s is %ux%u, not twice %s (%ux%u)\n", argv[2], two.width, two.height,
            argv[1], one.width, one.height);
        return 1;
    }
    for (unsigned y = 0; y < one.height; ++y) {
        for (unsigned x = 0; x < one.width; ++x) {
            const unsigned char* from = &one.rgba[4 * (size_t(y) * one.width + x)];
            unsigned char* to = &two.rgba[4 * (size_t(2 * y) * two.width + 2 * x)];
            std::memcpy(to, from, 4);
        }
    }
    return write_png(argv[3], two) ? 0 : 1;
}
