// The screen as the display reports it: the skin engine's screen (size, dots per inch,
// scale shift) and its orientation. A resize or a rotation gives a different
// description, which the shell reports as a screen change.
#pragma once

#include "skin/file/ScreenInfo.h"

#include <optional>
#include <string_view>

namespace display {

enum class Orientation { portrait, landscape };

struct ScreenDescription : skin::ScreenInfo {
    Orientation orientation { Orientation::portrait };

    static ScreenDescription make(int width, int height, int dpi)
    {
        ScreenDescription screen;
        static_cast<skin::ScreenInfo&>(screen) = skin::ScreenInfo::make(width, height, dpi);
        screen.orientation = width > height ? Orientation::landscape : Orientation::portrait;
        return screen;
    }
    // The value the shell hands back to the display when it switches to direct mode.
    int display_setting() const { return orientation == Orientation::landscape ? 1 : 0; }

    friend bool operator==(const ScreenDescription& a, const ScreenDescription& b)
    {
        return a.width == b.width && a.height == b.height && a.dpi_y == b.dpi_y && a.scale_shift == b.scale_shift
            && a.orientation == b.orientation;
    }
};

// "WIDTHxHEIGHT[@DPI]" with sizes of 1 to 8192 and a dpi of 1 to 2000; none for any other text.
std::optional<ScreenDescription> parse_screen(std::string_view text);
// The screen that NALO_SCREEN asks for; 240x320@96 when it is unset or unreadable.
ScreenDescription screen_from_environment();

} // namespace display
