#include "skin/list/ListHighlight.h"

#include <algorithm>
#include <cmath>

namespace skin {

void ListHighlight::fit(int count)
{
    if (m_position > count - 1)
        m_position = count > 0 ? count - 1 : -1;
}

ListHighlight::KeyResult ListHighlight::key(const input::KeyEvent& event, int count, const std::function<int(int)>& start)
{
    using namespace input;
    bool vertical = event.code == key_up || event.code == key_down;
    if (!event.pressed) {
        if (!vertical)
            return KeyResult::ignored;
        m_key_held = false;
        m_speed = std::clamp(m_speed, -key_speed, key_speed);
        return KeyResult::handled;
    }
    if (vertical) {
        int direction = event.code == key_up ? -1 : 1;
        m_key_held = true;
        if (!active()) {
            int first = start(direction);
            if (first < 0)
                return KeyResult::ignored;
            m_position = first;
            m_speed = direction * key_speed;
        } else if (direction < 0 ? m_position > 0 : m_position < count - 1) {
            m_speed += direction * key_speed;
        }
        return KeyResult::moved;
    }
    if (event.code == key_enter && active() && m_position <= count - 1)
        return KeyResult::activate;
    return KeyResult::ignored;
}

int ListHighlight::next_selectable(int index, int direction, int count, const std::function<bool(int)>& selectable)
{
    for (int i = index; i >= 0 && i < count; i += direction)
        if (selectable(i))
            return i;
    return -1;
}

bool ListHighlight::step(double elapsed, int count, int scale_shift, const std::function<int(int)>& row_height,
    const std::function<bool(int)>& selectable)
{
    if (m_position < 0 || m_speed == 0 || count == 0)
        return false;
    int direction = m_speed > 0 ? 1 : -1;
    // The bar moves in pixels: a step of the speed crosses part of the row it is on.
    int here = row_height(int(std::floor(m_position)));
    double row_px = here > 0 ? here : assumed_row_height << scale_shift;
    double next = m_position + m_speed * elapsed / row_px;
    // Once the key is up the bar stops on the first selectable row it reaches.
    if (!m_key_held) {
        int stop = direction > 0 ? int(std::floor(m_position)) + 1 : int(std::ceil(m_position)) - 1;
        stop = next_selectable(std::clamp(stop, 0, count - 1), direction, count, selectable);
        if (stop >= 0 && (direction > 0 ? next >= stop : next <= stop)) {
            next = stop;
            m_speed = 0;
        }
    }
    if (next <= 0 || next >= count - 1) {
        next = std::clamp(next, 0.0, double(count - 1));
        m_speed = 0;
    }
    m_position = next;
    return true;
}

} // namespace skin
