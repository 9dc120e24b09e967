#include "skin/list/ListNode.h"

#include "skin/file/Properties.h"
#include "skin/nodes/Layout.h"

#include "platform/Clock.h"

#include <algorithm>
#include <cmath>

namespace skin {

namespace {

constexpr double row_height_speed = 200;  // px/s at which rows grow and shrink
constexpr double max_fling = 2000;        // px/s
constexpr double spring = 50;             // per second and pixel of overshoot
constexpr double settle_speed = 400;      // px/s back onto a margin
constexpr double highlight_step = 200;    // px/s a key adds to the highlight

double move_toward(double value, double target, double step)
{
    if (value < target)
        return std::min(target, value + step);
    return std::max(target, value - step);
}

} // namespace

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
    m_top_margin = properties.get_point(body, u"scroll_border_min", {}).y;
    m_bottom_margin = properties.get_point(body, u"scroll_border_max", {}).y;
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
    m_highlight = -1;
    m_highlight_speed = 0;
    m_velocity = 0;
    reset_window(0);
}

void ListNode::set_count(int count)
{
    m_count = std::max(0, count);
    if (m_selected >= m_count)
        m_selected = -1;
    if (m_highlight > m_count - 1)
        m_highlight = m_count > 0 ? m_count - 1 : -1;
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
    if (m_highlight > m_count - 1)
        m_highlight = m_count > 0 ? m_count - 1 : -1;
    m_align = true;
    mark_dirty();
}

void ListNode::reset_window(int first)
{
    clear_rows();
    m_before_first = first - 1;
    m_after_last = first;
    m_offset = m_top_margin;
    m_align = true;
    invalidate();
}

// Rows --------------------------------------------------------------------------

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
}

void ListNode::clear_rows()
{
    m_pressed = nullptr;
    m_rows.clear();
    m_total = 0;
}

void ListNode::place_rows()
{
    int top = y() + int(std::floor(m_offset));
    for (const auto& r : m_rows) {
        place_y(*r, top, r->m_target_height);
        top += row_height(*r);
    }
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

double ListNode::bottom_gap() const
{
    return window_height() - m_total - m_bottom_margin - m_offset;
}

void ListNode::update_window()
{
    const int h = window_height();
    const int tm = m_top_margin, bm = m_bottom_margin;

    // Fill above.
    while (m_before_first >= 0 && m_offset > 0) {
        int index = m_before_first--;
        std::unique_ptr<ListRowNode> r = make_row(index);
        if (!r)
            continue;
        m_offset -= r->m_target_height;
        m_total += r->m_target_height;
        m_rows.push_front(std::move(r));
    }
    if (m_highlight_speed < 0 && row0_realized() && m_offset > tm)
        m_offset = tm;
    // Drop above.
    while (!m_rows.empty() && row_height(*m_rows.front()) < -m_offset) {
        std::unique_ptr<ListRowNode> r = std::move(m_rows.front());
        m_rows.pop_front();
        m_offset += row_height(*r);
        m_total -= row_height(*r);
        if (!r->removed())
            m_before_first = r->m_index;
        destroy_row(std::move(r));
    }
    // Fill below.
    while (m_after_last < m_count && m_total + m_offset < h) {
        std::unique_ptr<ListRowNode> r = make_row(m_after_last);
        if (!r) {
            m_count = m_after_last; // the list ends where the source stops
            break;
        }
        ++m_after_last;
        m_total += r->m_target_height;
        m_rows.push_back(std::move(r));
    }
    if (m_highlight_speed > 0 && !row0_realized() && last_realized() && m_offset < h - m_total - bm)
        m_offset = h - m_total - bm;
    // Drop below.
    while (!m_rows.empty() && m_total + m_offset - row_height(*m_rows.back()) > h) {
        std::unique_ptr<ListRowNode> r = std::move(m_rows.back());
        m_rows.pop_back();
        m_total -= row_height(*r);
        if (!r->removed())
            m_after_last = r->m_index;
        destroy_row(std::move(r));
    }
    // Realign: close a gap under the last row, pulling earlier rows in from above.
    if (m_align) {
        double gap = (h - bm) - (m_total + m_offset);
        if (gap > 0)
            m_offset = std::min(m_offset + gap, double(tm));
        while (m_before_first >= 0 && m_total + m_offset < h - bm) {
            int index = m_before_first--;
            std::unique_ptr<ListRowNode> r = make_row(index);
            if (!r)
                continue;
            m_total += r->m_target_height;
            m_offset = std::min(m_offset, double(h - bm - m_total));
            m_rows.push_front(std::move(r));
        }
        m_align = false;
    }
    place_rows();
}

// Layout ------------------------------------------------------------------------

void ListNode::measure_y(Measure& measure)
{
    measure_plain(Axis::y, measure);
    if (m_grow) {
        update_window();
        measure.wanted = std::max(measure.wanted, m_total + m_top_margin + m_bottom_margin);
        measure.minimum = std::max(measure.minimum, m_top_margin + m_bottom_margin);
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
        m_offset -= m_last_height - h; // the last row stays anchored to the bottom
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

bool ListNode::stylus(const StylusEvent& event)
{
    m_highlight = -1;
    m_highlight_speed = 0;
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
        if (m_velocity == 0) {
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
        m_velocity = 0;
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
    release_after_drag();
    return true;
}

void ListNode::release_after_drag()
{
    int h = window_height();
    bool past_top = row0_realized() && m_offset - m_top_margin > 0;
    bool past_bottom = last_realized() && h - m_total - m_bottom_margin - m_offset > 0;
    if (past_top || past_bottom)
        m_velocity = 0;
    else
        m_velocity = std::clamp(double(m_tracker.speed_y(m_clock())), -max_fling, max_fling);
}

bool ListNode::stylus_move(Point point)
{
    if (!m_stylus_down)
        return false;
    m_highlight = -1;
    m_highlight_speed = 0;
    Point moved;
    if (!m_tracker.move(point, m_clock(), moved)) {
        // Inside the dead zone the press stays with the row.
        if (m_pressed)
            m_pressed->stylus_move(point);
        return true;
    }
    if (m_pressed)
        release_press(true, point); // a drag never activates a row
    drag(moved);
    return true;
}

void ListNode::drag(Point moved)
{
    int h = window_height();
    if (h == 0 || moved.y == 0)
        return;
    double dy = moved.y;
    if (dy > 0 && row0_realized() && m_offset - m_top_margin > 0)
        dy *= std::max(0.0, 1 - 2 * (m_offset - m_top_margin) / h);
    else if (dy < 0 && last_realized() && bottom_gap() > 0)
        dy *= std::max(0.0, 1 - 2 * bottom_gap() / h);
    m_offset += dy;
    update_window();
    mark_dirty();
}

// Keys --------------------------------------------------------------------------

int ListNode::first_visible_row() const
{
    int h = window_height();
    for (const auto& r : m_rows)
        if (!r->removed() && r->y() + row_height(*r) > y() && r->y() < y() + h)
            return r->m_index;
    return -1;
}

int ListNode::last_visible_row() const
{
    int h = window_height();
    for (auto it = m_rows.rbegin(); it != m_rows.rend(); ++it)
        if (!(*it)->removed() && (*it)->y() < y() + h && (*it)->y() + row_height(**it) > y())
            return (*it)->m_index;
    return -1;
}

bool ListNode::key(const input::KeyEvent& event)
{
    using namespace input;
    if (!event.pressed) {
        if (event.code == key_up || event.code == key_down) {
            m_key_held = false;
            m_highlight_speed = std::clamp(m_highlight_speed, -highlight_step, highlight_step);
            return true;
        }
    } else if (!m_pressed) {
        if (event.code == key_up || event.code == key_down) {
            int direction = event.code == key_up ? -1 : 1;
            m_key_held = true;
            if (m_highlight < 0) {
                int start = direction < 0 ? last_visible_row() : first_visible_row();
                if (start < 0)
                    return SkinNode::key(event);
                m_highlight = start;
                m_highlight_speed = direction * highlight_step;
            } else if (direction < 0 ? m_highlight > 0 : m_highlight < m_count - 1) {
                m_highlight_speed += direction * highlight_step;
            }
            mark_dirty();
            return true;
        }
        if (event.code == key_enter && m_highlight >= 0 && m_highlight <= m_count - 1) {
            if (m_source)
                m_source->row_activated(*this, int(m_highlight + 0.5));
            return true;
        }
    }
    if (m_highlight >= 0) {
        if (ListRowNode* r = row(int(m_highlight + 0.5)); r && r->key(event))
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

    double old_offset = m_offset;
    int old_total = m_total;
    bool heights_changed = false;
    for (const auto& r : m_rows)
        heights_changed |= r->m_current_height != (r->removed() ? 0 : r->m_target_height);
    step_row_heights(elapsed);
    step_physics(elapsed);
    step_highlight(elapsed);
    if (m_grow && m_total != old_total)
        invalidate();
    if (m_offset != old_offset || heights_changed)
        mark_dirty();
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
            m_offset -= change / 2;
        else if (above_anchor)
            m_offset -= change;
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

void ListNode::step_physics(double elapsed)
{
    m_offset += m_velocity * elapsed;
    update_window();
    if (m_rows.empty()) {
        m_offset = m_top_margin;
        m_velocity = 0;
    }
    // Friction, five times as strong while a finger holds the list.
    double friction = 2 * std::abs(m_velocity) + 9;
    if (m_stylus_down && !m_pressed)
        friction *= 5;
    if (m_velocity < 0)
        m_velocity = std::min(0.0, m_velocity + friction * elapsed);
    else if (m_velocity > 0)
        m_velocity = std::max(0.0, m_velocity - friction * elapsed);
    // Spring against motion past either end.
    int h = window_height();
    double below = (h - m_bottom_margin) - (m_offset + m_total);
    if (last_realized() && below > 0 && m_velocity < 0)
        m_velocity = std::min(0.0, m_velocity + (below + 1) * spring * elapsed);
    double above = m_offset - m_top_margin;
    if (row0_realized() && above > 0 && m_velocity > 0)
        m_velocity = std::max(0.0, m_velocity - (above + 1) * spring * elapsed);
    // Settle exactly on a margin.
    if (!m_stylus_down && m_velocity == 0 && !m_rows.empty()) {
        double step = settle_speed * elapsed;
        if (row0_realized() && m_offset >= m_top_margin)
            m_offset = move_toward(m_offset, m_top_margin, step);
        else if (last_realized() && bottom_gap() >= 0)
            m_offset = move_toward(m_offset, h - m_total - m_bottom_margin, step);
    }
    update_window();
}

int ListNode::next_selectable(int index, int direction) const
{
    for (int i = index; i >= 0 && i < m_count; i += direction) {
        const ListRowNode* r = row(i);
        if (!r || r->selectable())
            return i;
    }
    return -1;
}

void ListNode::step_highlight(double elapsed)
{
    if (m_highlight < 0 || m_highlight_speed == 0 || m_count == 0)
        return;
    int direction = m_highlight_speed > 0 ? 1 : -1;
    // The bar moves in pixels: a step of the speed crosses part of the row it is on.
    const ListRowNode* here = row(int(std::floor(m_highlight)));
    double row_px = here && here->m_target_height > 0 ? here->m_target_height : 40 << m_scale_shift;
    double next = m_highlight + m_highlight_speed * elapsed / row_px;
    // Once the key is up the bar stops on the first selectable row it reaches.
    if (!m_key_held) {
        int stop = direction > 0 ? int(std::floor(m_highlight)) + 1 : int(std::ceil(m_highlight)) - 1;
        stop = next_selectable(std::clamp(stop, 0, m_count - 1), direction);
        if (stop >= 0 && (direction > 0 ? next >= stop : next <= stop)) {
            next = stop;
            m_highlight_speed = 0;
        }
    }
    if (next <= 0 || next >= m_count - 1) {
        next = std::clamp(next, 0.0, double(m_count - 1));
        m_highlight_speed = 0;
    }
    m_highlight = next;
    keep_highlight_visible();
    mark_dirty();
}

void ListNode::keep_highlight_visible()
{
    int index = int(m_highlight + 0.5);
    const ListRowNode* r = row(index);
    int h = window_height();
    if (!r) {
        // Scroll toward an unrealized row one row height at a time.
        if (index < first_index())
            m_offset += 40 << m_scale_shift;
        else if (index >= end_index())
            m_offset -= 40 << m_scale_shift;
        update_window();
        return;
    }
    // The end rows come to rest on the margins, the others anywhere inside the list.
    int top = r->y() - y();
    int bottom = top + row_height(*r);
    int top_limit = index == 0 ? m_top_margin : 0;
    int bottom_limit = index == m_count - 1 ? h - m_bottom_margin : h;
    if (top < top_limit)
        m_offset += top_limit - top;
    else if (bottom > bottom_limit)
        m_offset -= bottom - bottom_limit;
    update_window();
}

} // namespace skin
