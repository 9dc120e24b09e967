// What the compiler knows of skins beyond the file format: the kind of every known
// attribute name, the node types that exist when a skin is built, and the rules for
// font descriptions, so that a misspelt type or font fails at compile time rather than
// when a form is built or drawn.
#pragma once

#include "skin/file/SkinFileLayout.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace skinc {

// The kind of a known attribute name, or none.
std::optional<skin::layout::Section> schema_kind(std::u16string_view name);

struct NodeType {
    std::string_view name;
    std::string_view registered_by; // "engine", "framework" or "application"
};

// Every node type a skin of this system may name in "type".
std::span<const NodeType> node_types();
const NodeType* find_node_type(std::string_view name);

// The largest font size a description may give, in points at 96 dpi.
constexpr int max_font_size = 500;

// Empty when the description is "size bold italic underline face" with a size of 1 to
// max_font_size, flags of 0 or 1 and a face; otherwise what is wrong with it.
std::string check_font(std::string_view description);

} // namespace skinc
