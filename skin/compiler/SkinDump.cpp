#include "skin/compiler/SkinDump.h"

#include "skin/text/FontRegistry.h"

#include "platform/TextEncoding.h"

#include <cstdio>

namespace skinc {

using namespace skin;
using skin::layout::Section;

namespace {

class DescriptionFont final : public FontRep {
public:
    explicit DescriptionFont(const FontSpec& spec)
        : FontRep(spec)
    {
    }
    int line_height() const override { return 0; }
    TextExtent measure_text(std::u16string_view text) const override
    {
        TextExtent extent;
        extent.right_edges.assign(text.size(), 0);
        return extent;
    }
};

std::string point_text(Point p) { return std::to_string(p.x) + " " + std::to_string(p.y); }

std::string quoted(const std::u16string& text)
{
    std::string out = "\"";
    for (char c : platform::to_utf8(text)) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out + "\"";
}

class Dumper {
public:
    explicit Dumper(const Properties& properties)
        : m_properties(properties)
    {
    }

    void node(NodeBody body, int depth)
    {
        std::string indent(size_t(depth) * 2, ' ');
        for (int s = 0; s < layout::section_count; ++s) {
            for (const std::u16string& name : m_properties.attribute_names(body, Section(s)))
                m_out += indent + attribute(body, Section(s), name) + "\n";
        }
        for (size_t i = 0; i < m_properties.child_count(body); ++i) {
            m_out += indent + "[" + std::to_string(i) + "]\n";
            node(m_properties.child(body, i), depth + 1);
        }
    }

    std::string attribute(NodeBody body, Section section, const std::u16string& name)
    {
        std::string label = platform::to_utf8(name);
        switch (section) {
        case Section::integer:
            return "integer " + label + " = " + std::to_string(m_properties.get_integer(body, name, 0));
        case Section::font: {
            SharedFont font = m_properties.get_font(body, name, nullptr);
            if (!font)
                return "font " + label + " = (none)";
            const FontSpec& f = font->spec();
            return "font " + label + " = size " + std::to_string(f.size) + " x" + std::to_string(f.scale_factor)
                + (f.bold ? " bold" : "") + (f.italic ? " italic" : "") + (f.underline ? " underline" : "")
                + " face " + quoted(f.face);
        }
        case Section::point:
            return "point " + label + " = " + point_text(m_properties.get_point(body, name, {}));
        case Section::string:
            return "string " + label + " = " + quoted(m_properties.get_string(body, name, u""));
        case Section::picture: {
            PictureRef ref = m_properties.get_picture(body, name, {});
            std::string picture_name = "?";
            for (size_t i = 0; i < m_properties.pictures().size(); ++i) {
                if (m_properties.pictures()[i].picture == ref.picture)
                    picture_name = platform::to_utf8(m_properties.picture_names()[i]);
            }
            std::string size = ref.picture
                ? std::to_string(ref.picture->width()) + "x" + std::to_string(ref.picture->height())
                : "0x0";
            return "picture " + label + " = " + picture_name + " (" + size + ") " + point_text(ref.p0) + ", "
                + point_text(ref.p1) + ", " + point_text(ref.p2) + ", " + point_text(ref.p3) + " flag "
                + std::to_string(ref.flag) + " shift " + std::to_string(ref.scale_shift);
        }
        case Section::colour: {
            Color c = m_properties.get_colour(body, name, {});
            char text[8];
            std::snprintf(text, sizeof text, "#%02x%02x%02x", c.red, c.green, c.blue);
            return "color " + label + " = " + text;
        }
        }
        return label;
    }

    std::string take() { return std::move(m_out); }

private:
    const Properties& m_properties;
    std::string m_out;
};

} // namespace

void use_description_fonts()
{
    set_font_factory([](const FontSpec& spec) { return std::make_shared<DescriptionFont>(spec); });
}

std::string dump_skin(const Properties& properties)
{
    Dumper dumper(properties);
    std::string out;
    for (const auto& [name, body] : properties.named_nodes()) {
        out += platform::to_utf8(name) + "\n";
        dumper.node(body, 1);
        out += dumper.take();
    }
    return out;
}

} // namespace skinc
