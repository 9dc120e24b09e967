#include "skin/nodes/TextNode.h"

#include "skin/file/Properties.h"
#include "skin/text/TextBlock.h"

#include <algorithm>

namespace skin {

HAlign parse_halign(std::u16string_view text)
{
    if (text == u"LEFT")
        return HAlign::left;
    if (text == u"RIGHT")
        return HAlign::right;
    if (text == u"JUSTIFY")
        return HAlign::justify;
    return HAlign::center;
}

VAlign parse_valign(std::u16string_view text)
{
    if (text == u"TOP")
        return VAlign::top;
    if (text == u"BOTTOM")
        return VAlign::bottom;
    return VAlign::vcenter;
}

void TextNode::load(const Properties& properties, NodeBody body)
{
    SkinNode::load(properties, body);
    m_text = properties.translate(properties.get_string(body, u"text", u""));
    m_font = properties.get_font(body, u"font", nullptr);
    m_grow = properties.get_integer(body, u"grow", 0) != 0;
    m_grow_min = properties.get_integer(body, u"grow_min", 0) != 0;
    m_wrap = properties.get_integer(body, u"wrap", 0) != 0;
    m_ellipsis = properties.get_integer(body, u"ellipsis", 0) != 0;
    m_colour = properties.get_colour(body, u"color", {});
    m_halign = parse_halign(properties.get_string(body, u"halign", u""));
    m_valign = parse_valign(properties.get_string(body, u"valign", u""));
    m_text_width = -1;
    m_lines.reset();
}

void TextNode::set_text(std::u16string_view id, std::u16string_view text)
{
    if (this->id() == id)
        set_text(text);
    SkinNode::set_text(id, text);
}

void TextNode::set_text(std::u16string_view text)
{
    if (m_text == text)
        return;
    m_text = std::u16string(text);
    text_changed();
}

void TextNode::set_colour(Color colour)
{
    if (m_colour == colour)
        return;
    m_colour = colour;
    text_changed();
}

void TextNode::set_font(SharedFont font)
{
    if (m_font == font)
        return;
    m_font = std::move(font);
    text_changed();
}

void TextNode::text_changed()
{
    m_text_width = -1;
    m_lines.reset();
    if (m_grow)
        invalidate();
    else
        mark_dirty();
}

int TextNode::text_width()
{
    if (m_text_width < 0)
        m_text_width = m_font && !m_text.empty() ? m_font->measure_text(m_text).width : 0;
    return m_text_width;
}

const std::vector<TextLine>& TextNode::lines()
{
    if (m_lines && m_wrap && m_lines_width != width())
        m_lines.reset();
    if (!m_lines) {
        m_lines_width = width();
        if (m_text.empty())
            m_lines.emplace();
        else if (m_wrap && m_font)
            m_lines = break_lines(m_text, m_font->measure_text(m_text).right_edges, width());
        else
            m_lines = std::vector<TextLine> { { 0, m_text.size() } };
    }
    return *m_lines;
}

void TextNode::measure_x(Measure& m)
{
    SkinNode::measure_x(m);
    if (m_grow) {
        int w = text_width();
        m.wanted = std::max(m.wanted, w);
        if (m_grow_min)
            m.minimum = std::max(m.minimum, w);
    }
}

void TextNode::measure_y(Measure& m)
{
    SkinNode::measure_y(m);
    if (m_wrap && width() != m_lines_width) {
        m_text_width = -1;
        m_lines.reset();
        m_lines_width = width();
    }
    if (m_grow) {
        int h = int(lines().size()) * line_height();
        m.wanted = std::max(m.wanted, h);
        if (m_grow_min)
            m.minimum = std::max(m.minimum, h);
    }
}

void TextNode::draw(RenderSurface& surface, Point origin)
{
    TextBlockStyle style { m_colour, m_halign, m_valign, m_wrap, m_ellipsis };
    draw_text_block(m_font.get(), surface, m_text, lines(), { origin.x, origin.y, width(), height() }, style);
    SkinNode::draw(surface, origin);
}

} // namespace skin
