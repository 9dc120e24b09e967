#include "skin/draw/SnapshotAnimation.h"

namespace skin {

void SnapshotAnimation::start(int direction, RenderSurface background, RenderSurface form)
{
    m_direction = direction < 0 ? -1 : 1;
    m_progress = m_direction > 0 ? 0.0 : 1.0;
    m_background = std::move(background);
    m_form = std::move(form);
    m_running = true;
}

void SnapshotAnimation::life_cycle(double elapsed_seconds)
{
    if (!m_running)
        return;
    m_progress += transition_speed(m_kind) * 5.0 * m_direction * elapsed_seconds;
    // Steps such as 0.2 do not add up exactly: closing must end after as many frames as
    // opening took.
    constexpr double end_tolerance = 1e-9;
    if ((m_direction > 0 && m_progress >= 1.0 - end_tolerance) || (m_direction < 0 && m_progress <= end_tolerance)) {
        m_progress = m_direction > 0 ? 1.0 : 0.0;
        m_running = false;
        m_background.release();
        m_form.release();
    }
}

void SnapshotAnimation::reverse()
{
    if (m_running)
        m_direction = -m_direction;
}

void SnapshotAnimation::stop()
{
    if (!m_running)
        return;
    m_running = false;
    m_progress = m_direction > 0 ? 1.0 : 0.0;
    m_background.release();
    m_form.release();
}

void SnapshotAnimation::draw(RenderSurface& target, Point origin, Point size) const
{
    if (m_running)
        draw_transition(m_kind, target, origin, size, m_background, m_form, m_progress);
}

} // namespace skin
