#include "display/WindowIcon.h"

#include <SDL.h>
#include <png.h>

#include <filesystem>
#include <vector>

namespace display {

bool set_window_icon(SDL_Window* window, const std::string& png)
{
    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    if (!window || !png_image_begin_read_from_file(&image, png.c_str()))
        return false;
    image.format = PNG_FORMAT_RGBA;
    if (image.width == 0 || image.height == 0 || image.width > 1024 || image.height > 1024) {
        png_image_free(&image);
        return false;
    }
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
        return false;
    // Bytes R, G, B, A in memory whatever the machine's byte order.
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), int(image.width), int(image.height), 32,
        int(PNG_IMAGE_ROW_STRIDE(image)), SDL_PIXELFORMAT_RGBA32);
    if (!surface)
        return false;
    SDL_SetWindowIcon(window, surface);
    SDL_FreeSurface(surface);
    return true;
}

std::string program_icon_path()
{
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : (self.parent_path() / "nalo-weather.png").string();
}

} // namespace display
