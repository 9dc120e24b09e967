// The byte layout of a compiled skin file, shared by the loader and the skin compiler.
// All integers are little-endian; texts are NUL-terminated UTF-16LE.
#pragma once

#include <cstddef>
#include <cstdint>

namespace skin::layout {

constexpr char16_t magic[4] = { u'\u0421', u'\u043A', u'\u0438', u'\u043D' };
constexpr size_t header_size = 92;
constexpr size_t root_offset = 72;   // first named-node record, -1 for none
constexpr size_t picture_count = 76;
constexpr size_t font_count = 80;
constexpr size_t name_block = 84;
constexpr size_t string_count = 88;

// Named-node record: left, right, name offset, then the node body.
constexpr size_t record_left = 0;
constexpr size_t record_right = 4;
constexpr size_t record_name = 8;
constexpr size_t record_body = 12;

// Node body: seven 16-bit section bounds, the child count, then 4 bytes per child.
constexpr size_t body_bounds = 0;
constexpr size_t body_child_count = 14;
constexpr size_t body_children = 16;

enum class Section : int { integer = 0, font, point, string, picture, colour };
constexpr int section_count = 6;
constexpr size_t entry_size[section_count] = { 8, 8, 8, 4, 20, 8 };

// Every attribute name offset is 16 bits wide.
constexpr size_t attribute_name_limit = 65536;

} // namespace skin::layout
