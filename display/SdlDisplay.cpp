#include "display/SdlDisplay.h"
#include "display/WindowIcon.h"

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

} // namespace

std::unique_ptr<SdlDisplay> SdlDisplay::open(const ScreenDescription& screen, bool fullscreen, std::string& error)
{
    // The shell ends its loop on SIGTERM, SIGINT and SIGHUP itself.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Pixels stay pixels when the window shows the screen enlarged.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        error = SDL_GetError();
        return nullptr;
    }
    std::unique_ptr<SdlDisplay> display(new SdlDisplay);
    display->m_zoom = zoom_from_environment(fullscreen ? 1 : 2);
    display->m_dpi = screen.dpi_y;
    uint32_t flags = SDL_WINDOW_SHOWN | SDL_WINDOW_RESIZABLE;
    if (fullscreen)
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    int zoom = display->m_zoom;
    display->m_window = SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, screen.width * zoom,
        screen.height * zoom, flags);
    if (!display->m_window) {
        error = SDL_GetError();
        return nullptr;
    }
    display->m_window_id = SDL_GetWindowID(display->m_window);
    set_window_icon(display->m_window, program_icon_path());
    display->m_renderer = SDL_CreateRenderer(display->m_window, -1, 0);
    if (!display->m_renderer) {
        error = SDL_GetError();
        return nullptr;
    }
    int width = screen.width * zoom, height = screen.height * zoom;
    SDL_GetRendererOutputSize(display->m_renderer, &width, &height);
    display->set_screen(ScreenDescription::make(std::max(1, width / zoom), std::max(1, height / zoom), screen.dpi_y));
    if (!display->make_texture(error))
        return nullptr;
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

bool SdlDisplay::make_texture(std::string& error)
{
    if (m_texture)
        SDL_DestroyTexture(m_texture);
    m_texture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING, screen().width, screen().height);
    if (!m_texture)
        error = SDL_GetError();
    return m_texture != nullptr;
}

void SdlDisplay::present()
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
    SDL_GetRendererOutputSize(m_renderer, &width, &height);
    ScreenDescription wanted = ScreenDescription::make(std::max(1, width / m_zoom), std::max(1, height / m_zoom), m_dpi);
    if (wanted == screen())
        return false;
    set_screen(wanted);
    std::string error;
    make_texture(error);
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

void SdlDisplay::set_title(const std::string& title) { SDL_SetWindowTitle(m_window, title.c_str()); }

} // namespace display
