// The list's window of realized rows: rows made as they scroll in and destroyed as they
// scroll out, placed from the offset down, their heights easing toward their targets,
// their pressed and selected states, and the rows under a point or in sight.
#include "skin/list/ListNode.h"

#include "skin/nodes/Layout.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace skin {

namespace {

constexpr double row_height_speed = 200; // px/s at which rows grow and shrink

double move_toward(double value, double target, double step)
{
    if (value < target)
        return std::min(target, value + step);
    return std::max(target, value - step);
}

} // namespace

void ListNode::reset_window(int first)
{
    clear_rows();
    m_before_first = first - 1;
    m_after_last = first;
    m_scroll.set_offset(m_scroll.top_margin());
    m_align = true;
    invalidate();
}

std::unique_ptr<ListRowNode> ListNode::make_row(int index)
{
    if (!m_source)
        return nullptr;
    std::unique_ptr<ListRowNode> r = m_source->create_row(*this, index);
    if (!r)
        return nullptr;
    r->m_index = index;
    adopt(*r);
    lay_out_row(*r);
    r->m_current_height = r->m_target_height;
    update_row_states(*r);
    return r;
}

void ListNode::lay_out_row(ListRowNode& r)
{
    place_x(r, x(), width());
    r.m_target_height = std::max(0, skin::measure_y(r).wanted);
}

void ListNode::destroy_row(std::unique_ptr<ListRowNode> r)
{
    if (r.get() == m_pressed)
        m_pressed = nullptr;
    row_destroyed(*r);
}

void ListNode::clear_rows()
{
    m_pressed = nullptr;
    for (const auto& r : m_rows)
        row_destroyed(*r);
    m_rows.clear();
    m_total = 0;
}

bool ListNode::exchange_realized_rows(int a, int b)
{
    auto find = [this](int index) {
        return std::find_if(m_rows.begin(), m_rows.end(), [index](const auto& r) { return r->m_index == index; });
    };
    auto ra = find(a), rb = find(b);
    if (a < 0 || b < 0 || ra == m_rows.end() || rb == m_rows.end())
        return false;
    std::swap((*ra)->m_index, (*rb)->m_index);
    std::iter_swap(ra, rb);
    place_rows();
    mark_dirty();
    return true;
}

void ListNode::place_rows()
{
    int top = y() + int(std::floor(m_scroll.offset()));
    for (const auto& r : m_rows) {
        place_y(*r, top, r->m_target_height);
        top += row_height(*r);
    }
}

ScrollExtent ListNode::extent() const
{
    return { scroll_height(), m_total, !m_rows.empty(), row0_realized(), last_realized() };
}

void ListNode::update_window()
{
    // Rows are realized for the window and come to rest inside the scroll height.
    const int h = window_height();
    const int sh = scroll_height();
    const int tm = m_scroll.top_margin(), bm = m_scroll.bottom_margin();
    ScrollPhysics& s = m_scroll;

    // Fill above.
    while (m_before_first >= 0 && s.offset() > 0) {
        int index = m_before_first--;
        std::unique_ptr<ListRowNode> r = make_row(index);
        if (!r)
            continue;
        s.move(-r->m_target_height);
        m_total += r->m_target_height;
        m_rows.push_front(std::move(r));
    }
    if (m_highlight.speed() < 0 && row0_realized() && s.offset() > tm)
        s.set_offset(tm);
    // Drop above.
    while (!m_rows.empty() && row_height(*m_rows.front()) < -s.offset()) {
        std::unique_ptr<ListRowNode> r = std::move(m_rows.front());
        m_rows.pop_front();
        s.move(row_height(*r));
        m_total -= row_height(*r);
        if (!r->removed())
            m_before_first = r->m_index;
        destroy_row(std::move(r));
    }
    // Fill below.
    while (m_after_last < m_count && m_total + s.offset() < h) {
        std::unique_ptr<ListRowNode> r = make_row(m_after_last);
        if (!r) {
            m_count = m_after_last; // the list ends where the source stops
            break;
        }
        ++m_after_last;
        m_total += r->m_target_height;
        m_rows.push_back(std::move(r));
    }
    if (m_highlight.speed() > 0 && !row0_realized() && last_realized() && s.offset() < sh - m_total - bm)
        s.set_offset(sh - m_total - bm);
    // Drop below.
    while (!m_rows.empty() && m_total + s.offset() - row_height(*m_rows.back()) > h) {
        std::unique_ptr<ListRowNode> r = std::move(m_rows.back());
        m_rows.pop_back();
        m_total -= row_height(*r);
        if (!r->removed())
            m_after_last = r->m_index;
        destroy_row(std::move(r));
    }
    // Realign: close a gap under the last row, pulling earlier rows in from above.
    if (m_align) {
        double gap = (sh - bm) - (m_total + s.offset());
        if (gap > 0)
            s.set_offset(std::min(s.offset() + gap, double(tm)));
        while (m_before_first >= 0 && m_total + s.offset() < sh - bm) {
            int index = m_before_first--;
            std::unique_ptr<ListRowNode> r = make_row(index);
            if (!r)
                continue;
            m_total += r->m_target_height;
            s.set_offset(std::min(s.offset(), double(sh - bm - m_total)));
            m_rows.push_front(std::move(r));
        }
        m_align = false;
    }
    place_rows();
}

void ListNode::step_row_heights(double elapsed)
{
    // The row that must not move: the pressed row, else the selected one, else the first.
    const ListRowNode* anchor = m_pressed ? m_pressed : row(m_selected);
    if (!anchor && !m_rows.empty())
        anchor = m_rows.front().get();
    bool above_anchor = true;
    int total = 0;
    for (size_t i = 0; i < m_rows.size();) {
        ListRowNode& r = *m_rows[i];
        bool is_anchor = &r == anchor;
        double target = r.removed() ? 0 : r.m_target_height;
        double before = row_height(r);
        r.m_current_height = move_toward(r.m_current_height, target, row_height_speed * elapsed);
        double change = row_height(r) - before;
        if (is_anchor)
            m_scroll.move(-change / 2);
        else if (above_anchor)
            m_scroll.move(-change);
        if (is_anchor)
            above_anchor = false;
        if (r.removed() && r.m_current_height <= 0) {
            std::unique_ptr<ListRowNode> gone = std::move(m_rows[i]);
            m_rows.erase(m_rows.begin() + ptrdiff_t(i));
            destroy_row(std::move(gone));
            continue;
        }
        total += row_height(r);
        ++i;
    }
    m_total = total;
}

void ListNode::update_row_states(ListRowNode& r)
{
    bool pressed = &r == m_pressed && !r.captured_child();
    bool selected = m_selected >= 0 && r.m_index == m_selected;
    if (SkinNode* state = r.find_descendant(u"#vlist_pressed"))
        state->set_visible(pressed);
    if (SkinNode* state = r.find_descendant(u"#vlist_selected"))
        state->set_visible(selected && !pressed);
    if (SkinNode* state = r.find_descendant(u"#vlist_normal"))
        state->set_visible(!pressed && !selected);
}

ListRowNode* ListNode::row_at(Point point) const
{
    for (const auto& r : m_rows) {
        if (r->removed())
            continue;
        if (point.x >= x() && point.x < x() + width() && point.y >= r->y() && point.y < r->y() + row_height(*r))
            return r.get();
    }
    return nullptr;
}

void ListNode::release_press(bool cancelled, Point point)
{
    ListRowNode* r = std::exchange(m_pressed, nullptr);
    if (!r)
        return;
    if (cancelled) {
        StylusEvent cancel { point, false, false, true };
        r->stylus(cancel);
    }
    update_row_states(*r);
}

int ListNode::first_visible_row() const
{
    int h = scroll_height();
    for (const auto& r : m_rows)
        if (!r->removed() && r->y() + row_height(*r) > y() && r->y() < y() + h)
            return r->m_index;
    return -1;
}

int ListNode::last_visible_row() const
{
    int h = scroll_height();
    for (auto it = m_rows.rbegin(); it != m_rows.rend(); ++it)
        if (!(*it)->removed() && (*it)->y() < y() + h && (*it)->y() + row_height(**it) > y())
            return (*it)->m_index;
    return -1;
}

void ListNode::keep_highlight_visible()
{
    int index = m_highlight.index();
    const ListRowNode* r = row(index);
    int h = scroll_height();
    if (!r) {
        // Scroll toward an unrealized row one row height at a time.
        int step = ListHighlight::assumed_row_height << m_scale_shift;
        if (index < first_index())
            m_scroll.move(step);
        else if (index >= end_index())
            m_scroll.move(-step);
        update_window();
        return;
    }
    // The end rows come to rest on the margins, the others anywhere inside the list.
    int top = r->y() - y();
    int bottom = top + row_height(*r);
    int top_limit = index == 0 ? m_scroll.top_margin() : 0;
    int bottom_limit = index == m_count - 1 ? h - m_scroll.bottom_margin() : h;
    if (top < top_limit)
        m_scroll.move(top_limit - top);
    else if (bottom > bottom_limit)
        m_scroll.move(-(bottom - bottom_limit));
    update_window();
}

} // namespace skin
