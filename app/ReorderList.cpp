#include "app/ReorderList.h"

#include "runtime/Log.h"

#include "skin/list/ListRowNode.h"

#include <algorithm>
#include <cmath>

namespace weather {

using runtime::get_log;

ReorderList::ReorderList() = default;

ReorderList::~ReorderList()
{
    m_moved = nullptr;
    m_offsets.clear();
}

int ReorderList::moved_row() const
{
    return m_moved ? m_moved->index() : -1;
}

double ReorderList::row_offset(int index) const
{
    const skin::ListRowNode* r = row(index);
    if (!r)
        return 0;
    auto it = m_offsets.find(r);
    return it == m_offsets.end() ? 0 : it->second;
}

double ReorderList::row_shift(const skin::ListRowNode& r) const
{
    auto it = m_offsets.find(&r);
    return it == m_offsets.end() ? 0 : it->second;
}

const skin::ListRowNode* ReorderList::row_on_top() const
{
    return m_moved;
}

void ReorderList::row_destroyed(const skin::ListRowNode& r)
{
    m_offsets.erase(&r);
    if (m_moved == &r)
        m_moved = nullptr;
}

bool ReorderList::exchange_rows(int first, int second)
{
    if (first < 0 || second < 0 || first >= count() || second >= count() || std::abs(first - second) != 1)
        return false;
    skin::ListRowNode* a = row(first);
    skin::ListRowNode* b = row(second);
    int a_top = a ? a->y() : 0, b_top = b ? b->y() : 0;
    if (m_reorder_listener)
        m_reorder_listener->rows_exchanged(*this, first, second);
    if (a && b && exchange_realized_rows(first, second)) {
        // Each row is drawn where it was and slides into its new place.
        m_offsets[a] += a_top - a->y();
        m_offsets[b] += b_top - b->y();
    } else {
        // A row out of sight: the rows are made again with what they show now.
        set_count(count());
    }
    mark_dirty();
    return true;
}

void ReorderList::walk_toward(int target)
{
    while (m_moved && target != m_moved->index()) {
        int from = m_moved->index();
        int direction = target > from ? 1 : -1;
        get_log() << u"Move direction: " << int32_t(direction) << u"\n";
        if (!exchange_rows(from, from + direction) || !m_moved || m_moved->index() != from + direction)
            break;
        get_log() << u"Mouse down element row = " << int32_t(m_moved->index()) << u"\n";
    }
}

bool ReorderList::stylus(const skin::StylusEvent& event)
{
    if (event.move)
        return stylus_move(event.point);
    if (event.down && !event.cancelled) {
        m_move = false;
        m_moved = nullptr;
        bool handled = ListNode::stylus(event);
        // The row under the stylus has set the move flag when the press is on its handle.
        if (m_move && pressed_row()) {
            m_moved = pressed_row();
            m_last_y = event.point.y;
            get_log() << u"Mouse down element row = " << int32_t(m_moved->index()) << u"\n";
        } else {
            m_move = false;
        }
        return handled;
    }
    // Release or cancel: the moved row slides back into its place.
    m_move = false;
    m_moved = nullptr;
    return ListNode::stylus(event);
}

bool ReorderList::stylus_move(skin::Point point)
{
    if (!m_move || !m_moved)
        return ListNode::stylus_move(point);
    const skin::ListRowNode* moved = m_moved;
    m_offsets[moved] += point.y - m_last_y;
    m_last_y = point.y;
    // The row under the stylus, or the first or last realized one beyond them.
    skin::Point inside { x() + width() / 2, point.y };
    int target = moved->index();
    if (skin::ListRowNode* r = row_at(inside)) {
        target = r->index();
    } else if (realized_count() > 0) {
        const skin::ListRowNode& first = realized_row(0);
        const skin::ListRowNode& last = realized_row(realized_count() - 1);
        if (point.y < first.y())
            target = first.index();
        else if (point.y >= last.y() + int(last.current_height()))
            target = last.index();
    }
    if (target >= 0)
        walk_toward(target);
    mark_dirty();
    return true;
}

void ReorderList::life_cycle(double elapsed)
{
    ListNode::life_cycle(elapsed);
    bool moved = false;
    double step = ease_speed * elapsed;
    for (auto it = m_offsets.begin(); it != m_offsets.end();) {
        if (it->first == m_moved || it->second == 0) {
            ++it;
            continue;
        }
        double& offset = it->second;
        offset = offset > 0 ? std::max(0.0, offset - step) : std::min(0.0, offset + step);
        moved = true;
        if (offset == 0)
            it = m_offsets.erase(it);
        else
            ++it;
    }
    if (moved)
        mark_dirty();
}

} // namespace weather
