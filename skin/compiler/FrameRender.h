// skinc --render: a named top-level node of a compiled skin built as a form with the
// engine's own node types, placed on a screen of the given size and drawn into a frame.
#pragma once

#include <string>

namespace skinc {

// False with a message when the skin does not load, has no such node or the PNG cannot be written.
bool render_frame(const std::string& skin_path, const std::string& node_name, int width, int height, int dpi,
    const std::string& output_path, std::string& error);

} // namespace skinc
