#include "display/Display.h"

#include "display/HeadlessDisplay.h"
#include "display/SdlDisplay.h"

#include <png.h>

#include <cstdlib>
#include <cstring>

namespace display {

void Display::set_screen(const ScreenDescription& screen)
{
    m_screen = screen;
    m_back.recreate(screen.width, screen.height);
}

std::optional<skin::PixelBuffer> Display::text_scratch(int width, int height)
{
    if (width < 0 || height < 0 || width > 16384 || height > 16384)
        return std::nullopt;
    if (m_scratch.width() < width || m_scratch.height() < height)
        m_scratch.recreate(std::max(m_scratch.width(), width), std::max(m_scratch.height(), height));
    return m_scratch.buffer();
}

bool WindowLook::load_icon(const std::string& path)
{
    icon_rgba.clear();
    icon_width = icon_height = 0;
    png_image image {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return false;
    image.format = PNG_FORMAT_RGBA;
    // An icon, not a picture: anything larger than 256 x 256 is refused.
    if (image.width == 0 || image.height == 0 || image.width > 256 || image.height > 256) {
        png_image_free(&image);
        return false;
    }
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    icon_width = int(image.width);
    icon_height = int(image.height);
    icon_rgba = std::move(pixels);
    return true;
}

namespace {

bool set(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

} // namespace

std::unique_ptr<Display> create_display(const WindowLook& look, std::string& headless_reason)
{
    ScreenDescription screen = screen_from_environment();
    const char* headless = std::getenv("NALO_HEADLESS");
    if (headless && std::strcmp(headless, "1") == 0) {
        headless_reason = "NALO_HEADLESS=1";
        return std::make_unique<HeadlessDisplay>(screen);
    }
    const char* fullscreen = std::getenv("NALO_FULLSCREEN");
    bool whole_panel = fullscreen && std::strcmp(fullscreen, "1") == 0;
    if (!whole_panel && !set("DISPLAY") && !set("WAYLAND_DISPLAY")) {
        headless_reason = "no display server";
        return std::make_unique<HeadlessDisplay>(screen);
    }
    std::string error;
    if (auto window = SdlDisplay::open(screen, whole_panel, look, error))
        return window;
    headless_reason = "no window: " + error;
    return std::make_unique<HeadlessDisplay>(screen);
}

} // namespace display
