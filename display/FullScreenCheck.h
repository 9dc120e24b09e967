// NALO_FULLSCREEN=1 on a console without X or Wayland: SDL draws through its KMSDRM
// driver, which needs a DRM device (/dev/dri/card*). Where none opens the program ends
// with one line saying what it tried, rather than running on a screen nobody sees.
#pragma once

#include <optional>
#include <string>

namespace display {

// The line to end with, or none when the whole display can be tried: a desktop is
// there, SDL_VIDEODRIVER names another driver, or a DRM device opens. `dri` is the
// folder of the devices.
std::optional<std::string> full_screen_refusal(const std::string& dri = "/dev/dri");

// Prints the line (program name first) to standard error and ends the program, exit 1.
[[noreturn]] void refuse_full_screen(const std::string& line);

} // namespace display
