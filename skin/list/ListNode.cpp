#include "skin/list/ListNode.h"

#include "skin/file/Properties.h"
#include "skin/nodes/Layout.h"

#include "platform/Clock.h"

#include <algorithm>

namespace skin {

ListNode::ListNode()
    : m_clock([] { return platform::tick_count(); })
{
}

ListNode::~ListNode()
{
    m_pressed = nullptr;
    m_rows.clear();
}

void ListNode::load(const Properties& properties, NodeBody body)
{
    SkinNode::load(properties, body);
    m_scroll.set_margins(properties.get_point(body, u"scroll_border_min", {}).y,
        properties.get_point(body, u"scroll_border_max", {}).y);
    m_grow = properties.get_integer(body, u"grow", 0) != 0;
    m_locked = properties.get_integer(body, u"locked", 0) != 0;
    m_highlight_picture = properties.get_picture(body, u"highlight", PictureRef());
    m_highlight_alpha = properties.get_integer(body, u"highlight_alpha", -1);
    m_scale_shift = properties.scale_shift();
    reset_window(0);
}

int ListNode::window_height() const
{
    if (!m_grow)
        return height();
    const SkinNode* root = this;
    while (root->parent())
        root = root->parent();
    return root->height();
}

int ListNode::scroll_height() const
{
    int window = window_height();
    return m_grow && height() > 0 ? std::min(window, height()) : window;
}

ListRowNode* ListNode::row(int index) const
{
    if (index < 0)
        return nullptr;
    for (const auto& r : m_rows)
        if (r->m_index == index)
            return r.get();
    return nullptr;
}

// The data the list shows changed -------------------------------------------------

void ListNode::set_source(ListSource* source)
{
    m_source = source;
    m_selected = -1;
    m_highlight.clear();
    m_scroll.stop();
    reset_window(0);
}

void ListNode::set_count(int count)
{
    m_count = std::max(0, count);
    if (m_selected >= m_count)
        m_selected = -1;
    m_highlight.fit(m_count);
    reset_window(std::clamp(first_index(), 0, std::max(0, m_count - 1)));
}

void ListNode::set_selected(int index)
{
    m_selected = index >= 0 && index < m_count ? index : -1;
    if (m_selected >= 0 && !row(m_selected))
        reset_window(m_selected);
    for (const auto& r : m_rows)
        update_row_states(*r);
    m_align = true;
    mark_dirty();
}

void ListNode::request_align()
{
    m_align = true;
    mark_dirty();
}

void ListNode::remove_row(int index)
{
    if (index < 0 || index >= m_count)
        return;
    for (const auto& r : m_rows) {
        if (r->m_index == index)
            r->m_index = -1;
        else if (r->m_index > index)
            --r->m_index;
    }
    if (index <= m_before_first)
        --m_before_first;
    if (index < m_after_last)
        --m_after_last;
    --m_count;
    if (m_selected == index)
        m_selected = -1;
    else if (m_selected > index)
        --m_selected;
    m_highlight.fit(m_count);
    m_align = true;
    mark_dirty();
}

void ListNode::set_highlight(int index)
{
    m_highlight.jump(index >= 0 && index < m_count ? index : -1);
    if (m_highlight.active()) {
        if (!row(index))
            reset_window(index);
        update_window();
        keep_highlight_visible();
    }
    mark_dirty();
}

// Layout ------------------------------------------------------------------------

void ListNode::measure_y(Measure& measure)
{
    measure_plain(Axis::y, measure);
    if (m_grow) {
        update_window();
        int margins = m_scroll.top_margin() + m_scroll.bottom_margin();
        measure.wanted = std::max(measure.wanted, m_total + margins);
        measure.minimum = std::max(measure.minimum, margins);
    }
}

void ListNode::layout_x()
{
    layout_plain(Axis::x);
    int total = 0;
    for (const auto& r : m_rows) {
        int old_target = r->m_target_height;
        r->invalidate();
        lay_out_row(*r);
        // A row at rest takes its new height at once; one that is growing or shrinking
        // goes on toward the new target.
        if (r->m_current_height == old_target && !r->removed())
            r->m_current_height = r->m_target_height;
        total += row_height(*r);
    }
    m_total = total;
    mark_dirty();
}

void ListNode::layout_y()
{
    layout_plain(Axis::y);
    int h = window_height();
    if (h < m_last_height && last_realized())
        m_scroll.move(-(m_last_height - h)); // the last row stays anchored to the bottom
    m_last_height = h;
    update_window();
}

// Visibility and texts reach the rows too --------------------------------------------

void ListNode::shown_changed(bool shown)
{
    SkinNode::shown_changed(shown);
    for (const auto& r : m_rows)
        if (r->shown() != (visible() && shown))
            r->shown_changed(visible() && shown);
    if (!shown)
        m_stylus_down = false;
}

void ListNode::set_text(std::u16string_view id, std::u16string_view text)
{
    SkinNode::set_text(id, text);
    for (const auto& r : m_rows)
        r->set_text(id, text);
}

void ListNode::refresh()
{
    SkinNode::refresh();
    for (const auto& r : m_rows) {
        r->refresh();
        update_row_states(*r);
    }
}

// Stylus ------------------------------------------------------------------------

bool ListNode::stylus(const StylusEvent& event)
{
    m_highlight.clear();
    mark_dirty();
    if (event.move)
        return stylus_move(event.point);
    uint32_t now = m_clock();
    if (event.cancelled) {
        m_stylus_down = false;
        release_press(true, event.point);
        return true;
    }
    if (event.down) {
        m_tracker.press(event.point, now, m_scale_shift);
        m_stylus_down = true;
        release_press(true, event.point);
        // A press on a moving list only stops following the fling.
        if (m_scroll.velocity() == 0) {
            if (ListRowNode* r = row_at(event.point)) {
                m_pressed = r;
                r->stylus(event);
                update_row_states(*r);
            }
        }
        return true;
    }
    // Release.
    m_stylus_down = false;
    if (ListRowNode* r = m_pressed) {
        m_scroll.stop();
        if (!r->contains(event.point) || row_at(event.point) != r) {
            release_press(true, event.point);
            return true;
        }
        if (r->captured_child()) {
            r->stylus(event);
            m_pressed = nullptr;
            update_row_states(*r);
        } else {
            int index = r->m_index;
            m_pressed = nullptr;
            update_row_states(*r);
            // The source may rebuild the list: nothing of the row is touched afterwards.
            if (m_source && index >= 0)
                m_source->row_activated(*this, index);
        }
        return true;
    }
    // Release after a drag: a fling.
    m_scroll.release(m_tracker.speed_y(m_clock()), extent());
    return true;
}

bool ListNode::stylus_move(Point point)
{
    if (!m_stylus_down)
        return false;
    m_highlight.clear();
    Point moved;
    if (!m_tracker.move(point, m_clock(), moved)) {
        // Inside the dead zone the press stays with the row.
        if (m_pressed)
            m_pressed->stylus_move(point);
        return true;
    }
    if (m_pressed)
        release_press(true, point); // a drag never activates a row
    if (m_scroll.drag(moved.y, extent())) {
        update_window();
        mark_dirty();
    }
    return true;
}

// Keys --------------------------------------------------------------------------

bool ListNode::key(const input::KeyEvent& event)
{
    // While a row is pressed, key downs skip the highlight.
    if (!event.pressed || !m_pressed) {
        auto start = [this](int direction) { return direction < 0 ? last_visible_row() : first_visible_row(); };
        switch (m_highlight.key(event, m_count, start)) {
        case ListHighlight::KeyResult::ignored:
            break;
        case ListHighlight::KeyResult::handled:
            return true;
        case ListHighlight::KeyResult::moved:
            mark_dirty();
            return true;
        case ListHighlight::KeyResult::activate:
            if (m_source)
                m_source->row_activated(*this, m_highlight.index());
            return true;
        }
    }
    if (m_highlight.active()) {
        if (ListRowNode* r = row(m_highlight.index()); r && r->key(event))
            return true;
    }
    return SkinNode::key(event);
}

// The clock of the list ---------------------------------------------------------------

void ListNode::life_cycle(double elapsed)
{
    SkinNode::life_cycle(elapsed);
    for (size_t i = 0; i < m_rows.size(); ++i)
        m_rows[i]->life_cycle(elapsed);

    double old_offset = m_scroll.offset();
    int old_total = m_total;
    bool heights_changed = false;
    for (const auto& r : m_rows)
        heights_changed |= r->m_current_height != (r->removed() ? 0 : r->m_target_height);
    step_row_heights(elapsed);
    step_physics(elapsed);
    step_highlight(elapsed);
    if (m_grow && m_total != old_total)
        invalidate();
    if (m_scroll.offset() != old_offset || heights_changed)
        mark_dirty();
}

void ListNode::step_physics(double elapsed)
{
    m_scroll.advance(elapsed);
    update_window();
    m_scroll.damp(elapsed, extent(), m_stylus_down, m_stylus_down && !m_pressed);
    update_window();
}

void ListNode::step_highlight(double elapsed)
{
    auto height = [this](int index) {
        const ListRowNode* r = row(index);
        return r ? r->m_target_height : 0;
    };
    auto selectable = [this](int index) {
        const ListRowNode* r = row(index);
        return !r || r->selectable();
    };
    if (!m_highlight.step(elapsed, m_count, m_scale_shift, height, selectable))
        return;
    keep_highlight_visible();
    mark_dirty();
}

} // namespace skin
