#include "skin/nodes/Layout.h"

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

namespace {

// The cached pair of one axis, measured again when stale (-1).
template<typename MeasureAxis>
Measure cached_measure(int& wanted, int& minimum, MeasureAxis measure_axis)
{
    if (wanted < 0 || minimum < 0) {
        Measure m;
        measure_axis(m);
        wanted = m.wanted;
        minimum = m.minimum;
    }
    return { wanted, minimum };
}

} // namespace

Measure measure_x(SkinNode& node)
{
    return cached_measure(node.m_wanted_width, node.m_min_width, [&](Measure& m) { node.measure_x(m); });
}

Measure measure_y(SkinNode& node)
{
    return cached_measure(node.m_wanted_height, node.m_min_height, [&](Measure& m) { node.measure_y(m); });
}

void place_on_screen(SkinNode& root, int width, int height)
{
    place_x(root, 0, width);
    place_y(root, 0, height);
}

} // namespace skin
