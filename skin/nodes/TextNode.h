// A text of the skin ("text"): translated text, font, colour, alignment, and whether it
// grows to its text, wraps at its width or ends cut text with an ellipsis.
#pragma once

#include "skin/nodes/SkinNode.h"
#include "skin/text/FontRep.h"
#include "skin/text/LineBreaker.h"
#include "skin/text/TextAlignment.h"

#include <optional>

namespace skin {

HAlign parse_halign(std::u16string_view text);
VAlign parse_valign(std::u16string_view text);

class TextNode : public SkinNode {
public:
    using SkinNode::set_text;
    void set_text(std::u16string_view id, std::u16string_view text) override;
    void load(const Properties& properties, NodeBody body) override;
    void draw(RenderSurface& surface, Point origin) override;
    void measure_x(Measure& measure) override;
    void measure_y(Measure& measure) override;

    virtual void set_text(std::u16string_view text);
    virtual void set_colour(Color colour);
    virtual void set_font(SharedFont font);

    const std::u16string& text() const { return m_text; }
    const SharedFont& font() const { return m_font; }
    Color colour() const { return m_colour; }
    HAlign halign() const { return m_halign; }
    VAlign valign() const { return m_valign; }
    bool grow() const { return m_grow; }
    bool grow_min() const { return m_grow_min; }
    bool wrap() const { return m_wrap; }
    bool ellipsis() const { return m_ellipsis; }
    // The height of one line: the font's, 0 without a font.
    int line_height() const { return m_font ? m_font->line_height() : 0; }
    // The width of the whole text on one line (cached).
    int text_width();
    // The lines to draw: the whole text, or with "wrap" the text broken at the node's
    // width (cached until the text, font or width changes).
    const std::vector<TextLine>& lines();

protected:
    // The text, colour or font changed: measures drop, layout follows when growing.
    void text_changed();

private:
    std::u16string m_text;
    SharedFont m_font;
    bool m_grow { false };
    bool m_grow_min { false };
    bool m_wrap { false };
    bool m_ellipsis { false };
    Color m_colour;
    HAlign m_halign { HAlign::center };
    VAlign m_valign { VAlign::vcenter };
    int m_text_width { -1 };
    std::optional<std::vector<TextLine>> m_lines;
    int m_lines_width { -1 }; // the width the lines were broken at
};

} // namespace skin
