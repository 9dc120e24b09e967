#include "skin/Layout.h"

namespace skin {

void place_x(SkinNode& node, int x, int width)
{
    if (x == node.m_x && width == node.m_width && !node.m_layout_pending)
        return;
    node.m_x = x;
    node.m_width = width;
    node.m_layout_pending = true;
    node.m_wanted_height = node.m_min_height = -1;
    node.mark_dirty();
    if (node.m_layout_observer)
        node.m_layout_observer->x_changed(node, x, width);
    node.layout_x();
}

void place_y(SkinNode& node, int y, int height)
{
    if (y == node.m_y && height == node.m_height && !node.m_layout_pending)
        return;
    node.m_y = y;
    node.m_height = height;
    node.m_layout_pending = false;
    node.mark_dirty();
    if (node.m_layout_observer)
        node.m_layout_observer->y_changed(node, y, height);
    node.layout_y();
}

Measure measure_x(SkinNode& node)
{
    if (node.m_wanted_width < 0 || node.m_min_width < 0) {
        Measure m;
        node.measure_x(m);
        node.m_wanted_width = m.wanted;
        node.m_min_width = m.minimum;
    }
    return { node.m_wanted_width, node.m_min_width };
}

Measure measure_y(SkinNode& node)
{
    if (node.m_wanted_height < 0 || node.m_min_height < 0) {
        Measure m;
        node.measure_y(m);
        node.m_wanted_height = m.wanted;
        node.m_min_height = m.minimum;
    }
    return { node.m_wanted_height, node.m_min_height };
}

void place_on_screen(SkinNode& root, int width, int height)
{
    place_x(root, 0, width);
    place_y(root, 0, height);
}

} // namespace skin
