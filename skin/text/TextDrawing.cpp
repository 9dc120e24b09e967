#include "skin/text/TextDrawing.h"

#include "skin/draw/Blenders.h"
#include "skin/text/FontRegistry.h"

namespace skin {

namespace {

constexpr std::u16string_view ellipsis_text = u"...";

RenderSurface& scratch()
{
    static RenderSurface surface;
    return surface;
}

} // namespace

TextExtent measure_text(const FontRep* font, std::u16string_view text)
{
    return font ? font->measure_text(text) : fallback_font()->measure_text(text);
}

std::u16string end_ellipsis(const FontRep& font, std::u16string_view text, int width)
{
    TextExtent e = font.measure_text(text);
    if (e.width <= width)
        return std::u16string(text);
    int room = width - font.measure_text(ellipsis_text).width;
    size_t n = 0;
    while (n < text.size() && e.right_edges[n] <= room)
        ++n;
    // Never keep half of a surrogate pair.
    if (n > 0 && text[n - 1] >= 0xD800 && text[n - 1] < 0xDC00)
        --n;
    std::u16string cut(text.substr(0, n));
    cut += ellipsis_text;
    return cut;
}

void draw_text(const FontRep* font, RenderSurface& target, Color colour, std::u16string_view text, Point origin, Point box,
    HAlign halign, VAlign valign, bool ellipsis)
{
    if (box.x <= 0 || box.y <= 0 || !target.buffer().first_row)
        return;
    Rect area = target.area().intersected({ origin.x, origin.y, box.x, box.y });
    if (area.empty())
        return;
    SharedFont fallback = font ? nullptr : fallback_font();
    const FontRep& f = font ? *font : *fallback;

    std::u16string cut;
    if (ellipsis) {
        cut = end_ellipsis(f, text, box.x);
        text = cut;
    }
    int width = f.measure_text(text).width;
    int height = f.line_height();
    int x = origin.x;
    if (halign == HAlign::center)
        x += (box.x - width) / 2;
    else if (halign == HAlign::right)
        x += box.x - width;
    int y = origin.y;
    if (valign == VAlign::vcenter)
        y += (box.y - height) / 2;
    else if (valign == VAlign::bottom)
        y += box.y - height;
    // Only pixels near the text can change, and the merge leaves all others as they are:
    // the scratch copy covers the visible box around the text, with room for overhangs.
    area = area.intersected({ x - height, y - height / 2, width + 2 * height, 2 * height });
    if (area.empty())
        return;

    // The scratch copy is reused by every call and only grows.
    RenderSurface& s = scratch();
    if (s.width() < area.width || s.height() < area.height)
        s.recreate(std::max(s.width(), area.width), std::max(s.height(), area.height));
    static const BlenderPtr copy = make_opaque_copy();
    static const BlenderPtr merge = make_text_merge();
    const PixelBuffer& t = target.buffer();
    const PixelBuffer& b = s.buffer();
    for (int row = 0; row < area.height; ++row)
        copy->copy_run(b.row(row), t.row(area.y + row) + area.x, area.width);
    f.draw_line(b, { 0, 0, area.width, area.height }, { x - area.x, y - area.y }, text, colour);

    for (int row = 0; row < area.height; ++row)
        merge->copy_run(t.row(area.y + row) + area.x, b.row(row), area.width);
}

Point text_scratch_size()
{
    return scratch().size();
}

} // namespace skin
