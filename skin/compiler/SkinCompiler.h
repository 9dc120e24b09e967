// The skin source format: an XML file whose root element <skin> holds one <node name="...">
// element per named node. Every element <node> is one node; its XML attributes are skin
// attributes typed by the schema of known names; any other attribute is written with its
// kind before a dot (integer.level="3") or as <attribute name="..." kind="..." value="..."/>,
// the kinds being integer, font, point, string, picture and color. A child without a
// "type" is written as type "node". Picture values name a PNG file relative to the source,
// optionally followed by the four corners (8 numbers, then an optional flag) or the
// inner two corners (4 numbers); the PNGs become 16-bit bitmaps next to the output.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace skinc {

// Compiles the source into the skin file, making the output's folder when needed; false
// with "file:line: message" on a bad source. Node types are those of the schema, plus
// more_types for a program that registers types of its own.
bool compile_skin(const std::string& source_path, const std::string& output_path, std::string& error,
    std::span<const std::string_view> more_types = {});

} // namespace skinc
