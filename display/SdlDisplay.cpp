#include "display/SdlDisplay.h"

#include <SDL.h>

#include <charconv>
#include <cstdlib>
#include <cstring>

namespace display {

namespace {

// NALO_ZOOM: 1 to 16; the default otherwise.
int zoom_from_environment(int fallback)
{
    const char* text = std::getenv("NALO_ZOOM");
    if (!text || !*text)
        return fallback;
    int value = 0;
    auto [end, error] = std::from_chars(text, text + std::strlen(text), value);
    if (error != std::errc() || *end || value < 1 || value > 16)
        return fallback;
    return value;
}

void set_icon(SDL_Window* window, const WindowLook& look)
{
    if (look.icon_rgba.empty())
        return;
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(look.icon_rgba.data()), look.icon_width,
        look.icon_height, 32, look.icon_width * 4, SDL_PIXELFORMAT_RGBA32);
    if (!icon)
        return;
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
}

} // namespace

std::unique_ptr<SdlDisplay> SdlDisplay::open(
    const ScreenDescription& screen, bool fullscreen, const WindowLook& look, std::string& error)
{
    // The shell ends its loop on SIGTERM, SIGINT and SIGHUP itself.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Pixels stay pixels when the window shows the screen enlarged.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    // The window surface is the driver's own (shared memory on X11), not a GL texture:
    // the frames are drawn in software anyway, and the GL stack would cost tens of MB.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        error = SDL_GetError();
        return nullptr;
    }
    std::unique_ptr<SdlDisplay> display(new SdlDisplay);
    display->m_zoom = zoom_from_environment(fullscreen ? 1 : 2);
    display->m_dpi = screen.dpi_y;
    // Hidden until its title, icon and way of presenting are settled: it is mapped once.
    uint32_t flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE;
    if (fullscreen)
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    int zoom = display->m_zoom;
    display->m_window = SDL_CreateWindow(look.title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
        screen.width * zoom, screen.height * zoom, flags);
    if (!display->m_window) {
        error = SDL_GetError();
        return nullptr;
    }
    display->m_window_id = SDL_GetWindowID(display->m_window);
    set_icon(display->m_window, look);
    if (SDL_Surface* surface = SDL_GetWindowSurface(display->m_window))
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    else if (!display->make_renderer(error))
        return nullptr;
    int width = 0, height = 0;
    display->window_pixels(width, height);
    display->set_screen(ScreenDescription::make(std::max(1, width / zoom), std::max(1, height / zoom), screen.dpi_y));
    if (display->m_renderer && !display->make_texture(error))
        return nullptr;
    SDL_ShowWindow(display->m_window);
    return display;
}

SdlDisplay::~SdlDisplay()
{
    if (m_texture)
        SDL_DestroyTexture(m_texture);
    if (m_renderer)
        SDL_DestroyRenderer(m_renderer);
    if (m_window)
        SDL_DestroyWindow(m_window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

bool SdlDisplay::make_renderer(std::string& error)
{
    m_renderer = SDL_CreateRenderer(m_window, -1, 0);
    if (!m_renderer)
        error = SDL_GetError();
    return m_renderer != nullptr;
}

bool SdlDisplay::make_texture(std::string& error)
{
    if (m_texture)
        SDL_DestroyTexture(m_texture);
    m_texture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING, screen().width, screen().height);
    if (!m_texture)
        error = SDL_GetError();
    return m_texture != nullptr;
}

void SdlDisplay::window_pixels(int& width, int& height) const
{
    if (m_renderer)
        SDL_GetRendererOutputSize(m_renderer, &width, &height);
    else
        SDL_GetWindowSizeInPixels(m_window, &width, &height);
}

void SdlDisplay::present()
{
    if (m_renderer)
        present_to_renderer();
    else
        present_to_surface(false);
}

void SdlDisplay::expose()
{
    if (m_renderer) {
        if (m_texture)
            present_to_renderer();
        return;
    }
    present_to_surface(true);
}

void SdlDisplay::present_to_surface(bool whole)
{
    SDL_Surface* surface = SDL_GetWindowSurface(m_window);
    if (!surface)
        return;
    const skin::PixelBuffer& back = back_buffer();
    // A new surface (the window was resized) starts black around the frame.
    if (surface != m_surface || surface->w != m_surface_width || surface->h != m_surface_height) {
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
        m_surface = surface;
        m_surface_width = surface->w;
        m_surface_height = surface->h;
        whole = true;
    }
    if (m_shown.width() != back.width || m_shown.height() != back.height) {
        m_shown.recreate(back.width, back.height);
        whole = true;
    }
    const skin::PixelBuffer& shown = m_shown.buffer();
    size_t row_bytes = size_t(back.width) * sizeof(skin::Pixel);
    int first = 0, last = back.height;
    if (!whole) {
        while (first < last && std::memcmp(back.row(first), shown.row(first), row_bytes) == 0)
            ++first;
        while (last > first && std::memcmp(back.row(last - 1), shown.row(last - 1), row_bytes) == 0)
            --last;
    }
    int rows = std::min(last, surface->h / m_zoom);
    if (first < rows && m_writer.write(back, first, rows, *surface, m_zoom)) {
        for (int y = first; y < rows; ++y)
            std::memcpy(shown.row(y), back.row(y), row_bytes);
    }
    if (whole) {
        SDL_UpdateWindowSurface(m_window);
    } else if (first < rows) {
        SDL_Rect changed { 0, first * m_zoom, std::min(surface->w, back.width * m_zoom), (rows - first) * m_zoom };
        SDL_UpdateWindowSurfaceRects(m_window, &changed, 1);
    }
}

void SdlDisplay::present_to_renderer()
{
    if (!m_texture)
        return;
    const skin::PixelBuffer& back = back_buffer();
    SDL_UpdateTexture(m_texture, nullptr, back.first_row, back.pitch);
    SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
    SDL_RenderClear(m_renderer);
    SDL_Rect target { 0, 0, back.width * m_zoom, back.height * m_zoom };
    SDL_RenderCopy(m_renderer, m_texture, nullptr, &target);
    SDL_RenderPresent(m_renderer);
}

bool SdlDisplay::window_resized(int, int)
{
    int width = 0, height = 0;
    window_pixels(width, height);
    ScreenDescription wanted = ScreenDescription::make(std::max(1, width / m_zoom), std::max(1, height / m_zoom), m_dpi);
    if (wanted == screen())
        return false;
    set_screen(wanted);
    if (m_renderer) {
        std::string error;
        make_texture(error);
    }
    return true;
}

void SdlDisplay::start_text_input(const skin::Rect& rect)
{
    SDL_Rect area { rect.x * m_zoom, rect.y * m_zoom, rect.width * m_zoom, rect.height * m_zoom };
    SDL_SetTextInputRect(&area);
    SDL_StartTextInput();
}

void SdlDisplay::stop_text_input()
{
    // Without a screen keyboard, text input stays on: typed characters still reach the
    // forms; with one, stopping lowers it.
    if (has_screen_keyboard())
        SDL_StopTextInput();
}

bool SdlDisplay::screen_keyboard_shown() const { return SDL_IsScreenKeyboardShown(m_window) == SDL_TRUE; }

bool SdlDisplay::has_screen_keyboard() const { return SDL_HasScreenKeyboardSupport() == SDL_TRUE; }

} // namespace display
