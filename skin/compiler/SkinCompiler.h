// The skin source format: an XML file whose root element <skin> holds one <node name="...">
// element per named node. Every element <node> is one node; its XML attributes are skin
// attributes typed by the schema of known names; any other attribute is written with its
// kind before a dot (integer.level="3") or as <attribute name="..." kind="..." value="..."/>,
// the kinds being integer, font, point, string, picture and color. A child without a
// "type" is written as type "node". Picture values name a PNG file relative to the source,
// optionally followed by the four corners (8 numbers, then an optional flag) or the
// inner two corners (4 numbers); the PNGs become 16-bit bitmaps next to the output.
#pragma once

#include "skin/file/SkinFileLayout.h"

#include <optional>
#include <string>
#include <string_view>

namespace skinc {

// The kind of a known attribute name, or none.
std::optional<skin::layout::Section> schema_kind(std::u16string_view name);

// Compiles the source into the skin file; false with "file:line: message" on a bad source.
bool compile_skin(const std::string& source_path, const std::string& output_path, std::string& error);

} // namespace skinc
