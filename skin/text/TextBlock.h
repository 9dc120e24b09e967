// A text node's lines drawn in its rectangle: the block is aligned as a whole, each line
// in its own box; with wrapping and the ellipsis on, lines that do not fit entirely give
// way to one ellipsis character at the bottom.
#pragma once

#include "skin/draw/RenderSurface.h"
#include "skin/text/FontRep.h"
#include "skin/text/LineBreaker.h"
#include "skin/text/TextAlignment.h"

#include <vector>

namespace skin {

struct TextBlockStyle {
    Color colour;
    HAlign halign { HAlign::center };
    VAlign valign { VAlign::vcenter };
    bool wrap { false };
    bool ellipsis { false };
};

void draw_text_block(const FontRep* font, RenderSurface& target, std::u16string_view text, const std::vector<TextLine>& lines,
    const Rect& node, const TextBlockStyle& style);

} // namespace skin
