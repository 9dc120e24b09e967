// skinc --render: a named top-level node of a compiled skin built as a form with the
// engine's own node types, placed on a screen of the given size and drawn into a frame.
#pragma once

#include <string>
#include <vector>

namespace skinc {

// The largest screen side a frame is rendered for.
constexpr int max_frame_side = 8192;

// False with a message when the size is out of range, the skin does not load, has no such
// node or the PNG cannot be written. Types of the schema that the node factory does not
// know (the framework's and the application's) are built as plain containers; each one
// the form uses is named once in notes.
bool render_frame(const std::string& skin_path, const std::string& node_name, int width, int height, int dpi,
    const std::string& output_path, std::string& error, std::vector<std::string>* notes = nullptr);

} // namespace skinc
