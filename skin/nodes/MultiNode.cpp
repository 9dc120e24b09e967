#include "skin/nodes/MultiNode.h"

#include "skin/file/Properties.h"
#include "skin/nodes/ButtonNode.h"

#include "runtime/TextConvert.h"

namespace skin {

namespace {

double read_delay(const Properties& properties, NodeBody body)
{
    double seconds = -1;
    const std::u16string* text = properties.find_string(body, u"delay");
    if (!text || !runtime::text_to_double(*text, seconds))
        return -1;
    return seconds;
}

} // namespace

std::unique_ptr<SkinNode> MultiNode::remove_child(SkinNode& child, size_t index)
{
    size_t at = index < child_count() && &this->child(index) == &child ? index : index_of(child);
    std::unique_ptr<SkinNode> taken = SkinNode::remove_child(child, index);
    if (taken && at < m_delays.size())
        m_delays.erase(m_delays.begin() + ptrdiff_t(at));
    m_current = child_count() ? m_current % child_count() : 0;
    apply_state();
    return taken;
}

void MultiNode::insert_child(std::unique_ptr<SkinNode> child, size_t index, const Properties* properties,
    NodeBody body, std::u16string_view type)
{
    if (!child)
        return;
    double delay = properties && body ? read_delay(*properties, body) : -1;
    if (type == u"button") {
        // The application may have registered its own class under that name.
        if (auto* button = dynamic_cast<ButtonNode*>(child.get()))
            button->set_listener(this);
    }
    index = std::min(index, child_count());
    SkinNode::insert_child(std::move(child), index, properties, body, type);
    m_delays.insert(m_delays.begin() + ptrdiff_t(index), delay);
    apply_state();
}

void MultiNode::load(const Properties& properties, NodeBody body)
{
    m_delays.clear();
    m_current = 0;
    m_accumulator = 0;
    SkinNode::load(properties, body);
    std::u16string text = properties.translate(properties.get_string(body, u"text", u""));
    if (!text.empty()) {
        for (const auto& state : children())
            state->set_text(u"#text", text);
    }
    m_delay = read_delay(properties, body);
    m_movie = properties.get_integer(body, u"movie", 0) != 0;
    apply_state();
}

void MultiNode::set_state(size_t state)
{
    if (state >= child_count() || state == m_current)
        return;
    m_current = state;
    apply_state();
}

double MultiNode::frame_time(size_t state) const
{
    double delay = state < m_delays.size() ? m_delays[state] : -1;
    return delay < 0 ? m_delay : delay;
}

void MultiNode::apply_state()
{
    for (size_t i = 0; i < child_count(); ++i)
        child(i).set_visible(i == m_current);
}

void MultiNode::life_cycle(double elapsed)
{
    SkinNode::life_cycle(elapsed);
    if (!m_movie || !visible() || !shown() || child_count() == 0)
        return;
    m_accumulator += elapsed;
    double delay = frame_time(m_current);
    // Without any frame time the movie stands still.
    if (delay >= 0 && m_accumulator >= delay) {
        m_accumulator -= delay;
        m_current = (m_current + 1) % child_count();
        apply_state();
    }
}

void MultiNode::clicked(ButtonNode& button, Point point)
{
    if (m_listener)
        m_listener->clicked(button, point);
}

void MultiNode::press_changed(ButtonNode& button, Point point, bool cancelled)
{
    if (m_listener)
        m_listener->press_changed(button, point, cancelled);
}

void MultiNode::dragged(ButtonNode& button, Point point, Point moved_by)
{
    if (m_listener)
        m_listener->dragged(button, point, moved_by);
}

} // namespace skin
