// The display access layer as the shell sees it: the screen description, and per frame a
// ready test, the back buffer the frame is composed in (565 pixels of the screen's size,
// kept as it is between frames) and the present step; the text scratch buffer of the
// engine's text drawing; and the window's side of text input. Backends: an SDL window
// (SdlDisplay) and an off-screen display without a window (HeadlessDisplay).
#pragma once

#include "display/ScreenDescription.h"

#include "skin/draw/Geometry.h"
#include "skin/draw/PixelBuffer.h"
#include "skin/draw/RenderSurface.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace display {

// What a window shows before it is mapped: its title and its icon.
struct WindowLook {
    std::string title;
    int icon_width { 0 };
    int icon_height { 0 };
    std::vector<uint8_t> icon_rgba; // rows of RGBA bytes; empty for no icon
    // The icon from a PNG file; false, with no icon, when the file cannot be read.
    bool load_icon(const std::string& path);
};

class Display {
public:
    virtual ~Display() = default;

    virtual bool has_window() const = 0;
    const ScreenDescription& screen() const { return m_screen; }
    // Pixels of the window per pixel of the screen.
    virtual int zoom() const { return 1; }

    // True when a frame can be composed and presented now.
    virtual bool ready() const { return true; }
    // The frame being composed: the screen's size, top to bottom.
    const skin::PixelBuffer& back_buffer() const { return m_back.buffer(); }
    skin::RenderSurface& back_surface() { return m_back; }
    // Shows the back buffer; it keeps its pixels for the next frame.
    virtual void present() = 0;
    // The frame last presented, as it was presented.
    virtual const skin::PixelBuffer& presented() const = 0;
    // The window lost its picture (it was covered): the last frame is shown again whole.
    virtual void expose() { }

    // A buffer of at least the size for drawing text into; it only grows. None when it
    // cannot be made.
    std::optional<skin::PixelBuffer> text_scratch(int width, int height);

    // The window's size in its own pixels changed (resize or rotation): the screen is
    // read again; true when the description changed.
    virtual bool window_resized(int width, int height) { return false; }
    // Screen keyboard and input method over the rectangle (screen pixels) while an edit
    // field has the typing session; false with no window.
    virtual void start_text_input(const skin::Rect& rect) { }
    virtual void stop_text_input() { }
    // Whether the platform's screen keyboard is up (an input panel), as far as it can tell.
    virtual bool screen_keyboard_shown() const { return false; }
    virtual bool has_screen_keyboard() const { return false; }
    // The display's debug-resolution flag (it changes nothing here).
    void set_debug_resolution(bool on) { m_debug_resolution = on; }
    bool debug_resolution() const { return m_debug_resolution; }

protected:
    // Takes the description and makes the back buffer of its size.
    void set_screen(const ScreenDescription& screen);

private:
    ScreenDescription m_screen;
    skin::RenderSurface m_back;
    skin::RenderSurface m_scratch;
    bool m_debug_resolution { false };
};

// Which display the environment asks for: none (headless) when NALO_HEADLESS=1, or when
// no display server is found (no DISPLAY or WAYLAND_DISPLAY, unless NALO_FULLSCREEN=1
// asks for the whole panel), or when SDL cannot open a window; else the SDL window.
// The reason for a headless display is put in the text. A window gets the look.
std::unique_ptr<Display> create_display(const WindowLook& look, std::string& headless_reason);

} // namespace display
