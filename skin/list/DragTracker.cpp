#include "skin/list/DragTracker.h"

#include <cstdlib>

namespace skin {

void DragTracker::press(Point point, uint32_t time_ms, int scale_shift)
{
    m_samples.clear();
    m_samples.push_back({ point, time_ms });
    m_press = point;
    m_dead_zone = dead_zone << scale_shift;
    m_dragging = false;
}

bool DragTracker::move(Point point, uint32_t time_ms, Point& moved)
{
    if (!m_dragging) {
        if (std::abs(point.x - m_press.x) < m_dead_zone && std::abs(point.y - m_press.y) < m_dead_zone)
            return false;
        m_dragging = true;
    }
    Point previous = m_samples.empty() ? m_press : m_samples.back().point;
    moved = point - previous;
    m_samples.push_back({ point, time_ms });
    drop_old(time_ms);
    return true;
}

int DragTracker::speed(uint32_t now_ms, int Point::*axis)
{
    drop_old(now_ms);
    if (m_samples.size() < 2)
        return 0;
    uint32_t span = m_samples.back().time - m_samples.front().time;
    if (span < minimum_span_ms)
        return 0;
    return int((m_samples.back().point.*axis - m_samples.front().point.*axis) * 1000 / int(span));
}

void DragTracker::drop_old(uint32_t now_ms)
{
    // Signed differences keep the rule right across a wrap of the tick count.
    while (!m_samples.empty() && int32_t(now_ms - m_samples.front().time) > int32_t(window_ms))
        m_samples.pop_front();
}

} // namespace skin
