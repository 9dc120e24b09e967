// The window's own icon: the program's icon, "nalo-weather.png" in the program folder, so
// that task bars and switchers show it rather than a generic one.
#pragma once

#include <string>

struct SDL_Window;

namespace display {

// Sets the icon from the PNG file; false (and the window keeps its default) when it is
// missing or not a PNG.
bool set_window_icon(SDL_Window* window, const std::string& png);

// The icon beside the running program.
std::string program_icon_path();

} // namespace display
