#include "skin/text/TextBlock.h"

#include "skin/text/TextDrawing.h"

namespace skin {

void draw_text_block(const FontRep* font, RenderSurface& target, std::u16string_view text, const std::vector<TextLine>& lines,
    const Rect& node, const TextBlockStyle& style)
{
    ClipScope clip(target, { node.x, node.y }, { node.width, node.height });
    int line = measure_text(font, u"").height;
    int n = int(lines.size());
    int y = node.y;
    int spare = node.height - n * line;
    if (style.valign == VAlign::vcenter && spare / 2 >= 1)
        y += spare / 2;
    else if (style.valign == VAlign::bottom)
        y += spare;
    int bottom = node.y + node.height;
    bool cut = false;
    for (const TextLine& span : lines) {
        if (y >= bottom)
            break;
        if (style.wrap && style.ellipsis && y + line > bottom) {
            cut = true;
            break;
        }
        std::u16string_view part = span.start < text.size() ? text.substr(span.start, span.length) : std::u16string_view {};
        draw_text(font, target, style.colour, part, { node.x, y }, { node.width, line }, style.halign, VAlign::top, style.ellipsis);
        y += line;
    }
    if (cut)
        draw_text(font, target, style.colour, u"\u2026", { node.x, node.y }, { node.width, node.height }, style.halign, VAlign::bottom, false);
}

} // namespace skin
