// Drawing of the list: its own children (the static decoration) in the bands above and
// below the rows, the rows top to bottom, and the highlight bar over them.
#include "skin/draw/Blenders.h"
#include "skin/draw/Drawing.h"
#include "skin/draw/RenderSurface.h"
#include "skin/list/ListNode.h"

#include <cmath>

namespace skin {

void ListNode::draw(RenderSurface& surface, Point origin)
{
    update_window();
    // The list's own rectangle: a growing list laid out lower than the screen draws
    // nothing past its bottom.
    const int h = scroll_height();
    const int b = int(std::floor(m_scroll.offset()));
    ClipScope clip(surface, origin, { width(), h });

    if (b > 0) {
        ClipScope band(surface, origin, { width(), b });
        SkinNode::draw(surface, origin);
    }
    if (h - m_total - b > 0) {
        ClipScope band(surface, { origin.x, origin.y + b + m_total }, { width(), h - m_total - b });
        SkinNode::draw(surface, origin);
    }

    // A row is drawn at its place plus its shift; the row on top comes last.
    const ListRowNode* on_top = row_on_top();
    auto draw_row = [&](const ListRowNode& r, int top) {
        int row_h = row_height(r);
        top += int(std::lround(row_shift(r)));
        ListRowNode& row = const_cast<ListRowNode&>(r);
        if (row_h > 0 && top < h && top + row_h > 0) {
            ClipScope row_clip(surface, { origin.x, origin.y + top }, { width(), row_h });
            row.draw_node(surface, origin + (r.position() - position()) + Point { 0, top - (r.y() - y()) });
        } else {
            row.clear_dirty();
        }
    };
    int top = b;
    int on_top_place = 0;
    for (const auto& r : m_rows) {
        if (r.get() == on_top)
            on_top_place = top;
        else
            draw_row(*r, top);
        top += row_height(*r);
    }
    if (on_top)
        draw_row(*on_top, on_top_place);

    if (m_highlight_picture.empty() || !m_highlight.active())
        return;
    // The bar slides between the selectable row at or before the position and the next.
    const ListRowNode* from = nullptr;
    const ListRowNode* to = nullptr;
    for (const auto& r : m_rows) {
        if (r->removed() || !r->selectable())
            continue;
        if (r->m_index <= m_highlight.position())
            from = r.get();
        else if (!to)
            to = r.get();
    }
    if (!from)
        return;
    double bar_top = from->y() - y();
    double bar_height = row_height(*from);
    if (to && to->m_index > from->m_index) {
        double t = (m_highlight.position() - from->m_index) / (to->m_index - from->m_index);
        bar_top += t * ((to->y() - y()) - bar_top);
        bar_height += t * (row_height(*to) - bar_height);
    }
    const Blender& blender = m_highlight_alpha < 0 ? shared_opaque_copy() : shared_level_blender(alpha_level(m_highlight_alpha));
    draw_picture(surface, { origin.x, origin.y + int(bar_top) }, { width(), int(bar_height) }, m_highlight_picture, blender);
}

} // namespace skin
