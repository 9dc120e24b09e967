#include "skin/list/ScrollPhysics.h"

#include <algorithm>
#include <cmath>

namespace skin {

namespace {

double move_toward(double value, double target, double step)
{
    if (value < target)
        return std::min(target, value + step);
    return std::max(target, value - step);
}

} // namespace

bool ScrollPhysics::drag(double dy, const ScrollExtent& extent)
{
    if (extent.height == 0 || dy == 0)
        return false;
    double h = extent.height;
    if (dy > 0 && extent.first && past_top() > 0)
        dy *= std::max(0.0, 1 - 2 * past_top() / h);
    else if (dy < 0 && extent.last && bottom_gap(extent) > 0)
        dy *= std::max(0.0, 1 - 2 * bottom_gap(extent) / h);
    m_offset += dy;
    return true;
}

void ScrollPhysics::release(double speed, const ScrollExtent& extent)
{
    bool pulled = (extent.first && past_top() > 0) || (extent.last && bottom_gap(extent) > 0);
    m_velocity = pulled ? 0 : std::clamp(speed, -max_fling, max_fling);
}

void ScrollPhysics::damp(double elapsed, const ScrollExtent& extent, bool stylus_down, bool held)
{
    if (!extent.rows) {
        m_offset = m_top_margin;
        m_velocity = 0;
    }
    double friction = friction_per_speed * std::abs(m_velocity) + friction_at_rest;
    if (held)
        friction *= held_friction_factor;
    if (m_velocity < 0)
        m_velocity = std::min(0.0, m_velocity + friction * elapsed);
    else if (m_velocity > 0)
        m_velocity = std::max(0.0, m_velocity - friction * elapsed);

    double below = (extent.height - m_bottom_margin) - (m_offset + extent.total);
    if (extent.last && below > 0 && m_velocity < 0)
        m_velocity = std::min(0.0, m_velocity + (below + 1) * spring * elapsed);
    double above = past_top();
    if (extent.first && above > 0 && m_velocity > 0)
        m_velocity = std::max(0.0, m_velocity - (above + 1) * spring * elapsed);

    if (!stylus_down && m_velocity == 0 && extent.rows) {
        double step = settle_speed * elapsed;
        if (extent.first && m_offset >= m_top_margin)
            m_offset = move_toward(m_offset, m_top_margin, step);
        else if (extent.last && bottom_gap(extent) >= 0)
            m_offset = move_toward(m_offset, extent.height - extent.total - m_bottom_margin, step);
    }
}

} // namespace skin
