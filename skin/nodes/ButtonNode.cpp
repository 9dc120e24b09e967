#include "skin/nodes/ButtonNode.h"

#include "skin/file/Properties.h"

namespace skin {

void ButtonNode::load(const Properties& properties, NodeBody body)
{
    SkinNode::load(properties, body);
    m_normal = find_descendant(u"#normal");
    m_pressed_state = find_descendant(u"#pressed");
    m_disabled = find_descendant(u"#disabled");
    for (SkinNode* state : { m_normal, m_pressed_state, m_disabled }) {
        if (state)
            state->set_layout_observer(nullptr);
    }
    m_key = input::key_code_of_name(properties.get_string(body, u"bind_key", u""));
    m_caption = properties.translate(properties.get_string(body, u"text", u""));
    // An empty caption leaves the skin's own "#text" as it is.
    if (!m_caption.empty())
        set_text(u"#text", m_caption);
    m_pressed = false;
    apply_state();
}

void ButtonNode::refresh()
{
    SkinNode::refresh();
    apply_state();
}

void ButtonNode::apply_state()
{
    SkinNode* wanted = !enabled() ? m_disabled : m_pressed ? m_pressed_state : m_normal;
    if (!wanted)
        wanted = m_normal;
    for (SkinNode* state : { m_normal, m_pressed_state, m_disabled }) {
        if (state)
            state->set_visible(state == wanted);
    }
}

void ButtonNode::press_rule(bool was_pressed, bool cancelled, bool from_key, Point point)
{
    if (was_pressed != m_pressed) {
        if (m_listener)
            m_listener->press_changed(*this, point, cancelled || !enabled());
        apply_state();
    }
    bool click = was_pressed && !m_pressed && enabled() && !cancelled && (from_key || contains(point));
    // The listener may rebuild the form: nothing of this button is touched after it.
    if (click && m_listener)
        m_listener->clicked(*this, point);
}

bool ButtonNode::stylus(const StylusEvent& event)
{
    bool was_pressed = m_pressed;
    Point moved;
    if (event.move) {
        moved = event.point - m_last_point;
    } else {
        m_pressed = event.down;
    }
    m_last_point = event.point;
    if (m_pressed && m_listener)
        m_listener->dragged(*this, event.point, moved);
    press_rule(was_pressed, event.cancelled, false, event.point);
    return true;
}

bool ButtonNode::stylus_move(Point point)
{
    if (m_pressed) {
        Point moved = point - m_last_point;
        m_last_point = point;
        if (m_listener)
            m_listener->dragged(*this, point, moved);
    }
    return true;
}

bool ButtonNode::key(const input::KeyEvent& event)
{
    if (m_key == input::key_none || event.code != m_key)
        return SkinNode::key(event);
    bool was_pressed = m_pressed;
    m_pressed = event.pressed;
    press_rule(was_pressed, false, true, { x() + width() / 2, y() + height() / 2 });
    return true;
}

} // namespace skin
