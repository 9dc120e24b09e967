#include "skin/nodes/ProgressNode.h"

#include "skin/nodes/Layout.h"

#include <algorithm>
#include <cmath>

namespace skin {

void ProgressNode::load(const Properties& properties, NodeBody body)
{
    m_line = nullptr;
    SkinNode::load(properties, body);
    m_line = find_descendant(u"#line");
}

std::unique_ptr<SkinNode> ProgressNode::remove_child(SkinNode& child, size_t index)
{
    std::unique_ptr<SkinNode> taken = SkinNode::remove_child(child, index);
    if (taken && m_line && (taken.get() == m_line || taken->find_descendant(u"#line") == m_line))
        m_line = nullptr;
    return taken;
}

void ProgressNode::layout_x() { layout_axis(Axis::x); }
void ProgressNode::layout_y() { layout_axis(Axis::y); }

void ProgressNode::layout_axis(Axis axis)
{
    int start = along(position(), axis), room = along(size(), axis);
    for (const auto& child : children()) {
        if (child.get() != m_line)
            layout_child(*child, axis, measure(*child, axis).wanted, start, room);
    }
    if (m_line)
        layout_line(axis);
}

void ProgressNode::layout_line(Axis axis)
{
    int start = along(position(), axis), room = along(size(), axis);
    double share = std::trunc((room - along(m_line->border_min(), axis) - along(m_line->border_max(), axis)) * m_value);
    int wanted = share < 1 ? 0 : int(share);
    layout_child(*m_line, axis, wanted, start, room);
}

void ProgressNode::set_value(double value)
{
    value = std::clamp(value, 0.0, 1.0);
    if (value == m_value)
        return;
    m_value = value;
    if (m_line) {
        layout_line(Axis::x);
        layout_line(Axis::y);
    }
    mark_dirty();
}

} // namespace skin
