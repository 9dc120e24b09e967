// Lays a skin out as the loader reads it: the header, the attribute names inside the
// first 64 KiB, the name block, a balanced tree of named nodes and the node bodies with
// their sections sorted by name.
#pragma once

#include "skin/draw/Geometry.h"
#include "skin/file/SkinFileLayout.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace skinc {

struct WriterAttribute {
    skin::layout::Section section { skin::layout::Section::integer };
    std::u16string name;
    int32_t integer { 0 };      // integer
    int16_t x { 0 }, y { 0 };   // point
    uint32_t index { 0 };       // font, string or picture table index
    uint16_t corners[8] {};     // picture: x0 y0 x1 y1 x2 y2 x3 y3
    uint8_t flag { 0 };         // picture
    skin::Color colour;         // colour
};

struct WriterNode {
    std::vector<WriterAttribute> attributes;
    std::vector<WriterNode> children;
};

class SkinWriter {
public:
    // Table indices; equal texts share one entry.
    uint32_t picture(const std::u16string& name) { return intern(m_pictures, name); }
    uint32_t font(const std::u16string& description) { return intern(m_fonts, description); }
    uint32_t string(const std::u16string& text) { return intern(m_strings, text); }
    // False when the name is taken.
    bool add_named_node(const std::u16string& name, WriterNode node);

    // The file image, or false with a message (a limit of the format was passed).
    bool write(std::vector<uint8_t>& image, std::string& error) const;

private:
    struct Table {
        std::vector<std::u16string> texts;
        std::map<std::u16string, uint32_t> index;
    };
    static uint32_t intern(Table& table, const std::u16string& text);

    Table m_pictures, m_fonts, m_strings;
    std::map<std::u16string, WriterNode> m_named;
};

} // namespace skinc
