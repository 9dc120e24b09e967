// skinc --render: a named top-level node of a compiled skin built as a form with the
// engine's own node types, placed on a screen of the given size and drawn into a frame.
#pragma once

#include "skin/file/PropertiesImpl.h"
#include "skin/nodes/FormNode.h"

#include <memory>
#include <string>
#include <vector>

namespace skinc {

class StandIns;

// The largest screen side a frame is rendered for.
constexpr int max_frame_side = 8192;

// A named top-level node of a compiled skin built as a form with the engine's own node
// types and placed on a screen: what --render draws, and what a check of a layout walks.
// Types of the schema that the node factory does not know (the framework's and the
// application's) are built as plain containers; each one the form uses is named once in
// notes.
class FormPreview {
public:
    explicit FormPreview(std::vector<std::string>* notes = nullptr);
    ~FormPreview();
    FormPreview(const FormPreview&) = delete;
    FormPreview& operator=(const FormPreview&) = delete;

    // False with a message when the size is out of range, the skin does not load or has
    // no such node.
    bool build(const std::string& skin_path, const std::string& node_name, int width, int height, int dpi,
        std::string& error);
    skin::FormNode& form() { return *m_form; }
    const skin::PropertiesImpl& properties() const { return m_properties; }

private:
    bool m_registering { false };
    std::unique_ptr<StandIns> m_stand_ins;
    skin::PropertiesImpl m_properties;
    std::unique_ptr<skin::FormNode> m_form;
};

// False with a message when the size is out of range, the skin does not load, has no such
// node or the PNG cannot be written. Types of the schema that the node factory does not
// know (the framework's and the application's) are built as plain containers; each one
// the form uses is named once in notes.
bool render_frame(const std::string& skin_path, const std::string& node_name, int width, int height, int dpi,
    const std::string& output_path, std::string& error, std::vector<std::string>* notes = nullptr);

} // namespace skinc
