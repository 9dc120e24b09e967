// The screen a skin is loaded for: its size, vertical dots per inch and the scale shift
// that turns skin coordinates (authored for about 96 dpi) into pixels.
#pragma once

namespace skin {

struct ScreenInfo {
    int width { 0 };
    int height { 0 };
    int dpi_y { 96 };
    int scale_shift { 0 };

    static constexpr int shift_for_dpi(int dpi_y) { return dpi_y > 383 ? 2 : dpi_y > 191 ? 1 : 0; }
    static constexpr ScreenInfo make(int width, int height, int dpi_y)
    {
        return { width, height, dpi_y, shift_for_dpi(dpi_y) };
    }
};

} // namespace skin
