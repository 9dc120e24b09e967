// The display in an SDL window: the screen shown enlarged by NALO_ZOOM (default 2) on a
// desktop, or the whole panel with NALO_FULLSCREEN=1 (SDL's KMSDRM driver on a handheld
// without a desktop). The window is made hidden, gets its title and icon and is shown
// once, at its final size. Frames go into the window's own surface (shared memory
// images on X11), converted and enlarged by SurfaceWriter, and only the rows that
// changed since the last frame are sent; SDL is kept from putting a GL texture behind
// that surface. A video driver without a surface of its own (Wayland and KMSDRM in
// SDL 2) gets SDL's renderer with an RGB565 streaming texture instead. A window resize
// is a new screen of the window's size over the zoom.
#pragma once

#include "display/Display.h"
#include "display/SurfaceWriter.h"

#include <cstdint>
#include <memory>
#include <string>

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Surface;

namespace display {

class SdlDisplay final : public Display {
public:
    // The window for the screen; null with the reason in error.
    static std::unique_ptr<SdlDisplay> open(
        const ScreenDescription& screen, bool fullscreen, const WindowLook& look, std::string& error);
    ~SdlDisplay() override;

    bool has_window() const override { return true; }
    int zoom() const override { return m_zoom; }
    bool ready() const override { return !m_renderer || m_texture != nullptr; }
    void present() override;
    void expose() override;
    const skin::PixelBuffer& presented() const override { return back_buffer(); }
    bool window_resized(int width, int height) override;
    void start_text_input(const skin::Rect& rect) override;
    void stop_text_input() override;
    bool screen_keyboard_shown() const override;
    bool has_screen_keyboard() const override;

    uint32_t window_id() const { return m_window_id; }
    SDL_Window* window() const { return m_window; }

private:
    SdlDisplay() = default;
    bool make_renderer(std::string& error);
    bool make_texture(std::string& error);
    void present_to_surface(bool whole);
    void present_to_renderer();
    // The window's size in its pixels.
    void window_pixels(int& width, int& height) const;

    SDL_Window* m_window { nullptr };
    SDL_Renderer* m_renderer { nullptr };
    SDL_Texture* m_texture { nullptr };
    uint32_t m_window_id { 0 };
    int m_zoom { 2 };
    int m_dpi { 96 };
    SurfaceWriter m_writer;
    // The frame as last written into the window surface, to find the rows that changed.
    skin::RenderSurface m_shown;
    SDL_Surface* m_surface { nullptr };
    int m_surface_width { 0 };
    int m_surface_height { 0 };
};

} // namespace display
