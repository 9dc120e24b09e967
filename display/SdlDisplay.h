// The display in an SDL window: the screen shown enlarged by NALO_ZOOM (default 2) on a
// desktop, or the whole panel with NALO_FULLSCREEN=1 (SDL's KMSDRM driver on a handheld
// without a desktop). Frames go through an RGB565 streaming texture; a window resize is
// a new screen of the window's size over the zoom.
#pragma once

#include "display/Display.h"

#include <cstdint>
#include <memory>
#include <string>

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace display {

class SdlDisplay final : public Display {
public:
    // The window for the screen; null with the reason in error.
    static std::unique_ptr<SdlDisplay> open(const ScreenDescription& screen, bool fullscreen, std::string& error);
    ~SdlDisplay() override;

    bool has_window() const override { return true; }
    int zoom() const override { return m_zoom; }
    bool ready() const override { return m_texture != nullptr; }
    void present() override;
    const skin::PixelBuffer& presented() const override { return back_buffer(); }
    bool window_resized(int width, int height) override;
    void start_text_input(const skin::Rect& rect) override;
    void stop_text_input() override;
    bool screen_keyboard_shown() const override;
    bool has_screen_keyboard() const override;

    void set_title(const std::string& title);
    uint32_t window_id() const { return m_window_id; }
    SDL_Window* window() const { return m_window; }

private:
    SdlDisplay() = default;
    bool make_texture(std::string& error);

    SDL_Window* m_window { nullptr };
    SDL_Renderer* m_renderer { nullptr };
    SDL_Texture* m_texture { nullptr };
    uint32_t m_window_id { 0 };
    int m_zoom { 2 };
    int m_dpi { 96 };
};

} // namespace display
