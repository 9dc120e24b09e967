#include "framework/PopupMenu.h"

#include "framework/Application.h"

#include "skin/file/Properties.h"
#include "skin/list/ListNode.h"
#include "skin/list/ListRowNode.h"
#include "skin/nodes/MultiNode.h"
#include "skin/nodes/NodeFactory.h"
#include "skin/nodes/SkinErrors.h"

namespace framework {

PopupMenu::PopupMenu() = default;

PopupMenu::~PopupMenu()
{
    // The form stack must not keep a pop-up that is gone.
    if (Application* application = Application::singleton())
        application->remove_form(*this, false);
    // The list must not ask a source being destroyed.
    if (m_list)
        m_list->set_source(nullptr);
}

void PopupMenu::register_node_type() { skin::NodeFactory::register_class<PopupMenu>(type_name); }
void PopupMenu::unregister_node_type() { skin::NodeFactory::unregister_type(type_name); }

void PopupMenu::build_popup(const skin::Properties& properties, PopupMenuOwner* owner,
    std::u16string_view menu_template, std::u16string_view element_template)
{
    m_owner = owner;
    m_template = menu_template;
    m_element_template = element_template;
    build(properties, m_template);
}

void PopupMenu::load(const skin::Properties& properties, skin::NodeBody body)
{
    m_list = nullptr;
    m_caption = nullptr;
    SkinNode::load(properties, body);
    m_properties = &properties;
    find_parts();
}

void PopupMenu::find_parts()
{
    m_list = dynamic_cast<skin::ListNode*>(find_descendant(u"list"));
    if (!m_list)
        throw plexor::NodeNotFound(id(), u"list");
    m_caption = find_descendant(u"caption");
}

std::u16string PopupMenu::entry_text(const PopupMenuEntry& entry) const
{
    if (!entry.text.empty())
        return entry.text;
    return m_properties ? m_properties->translate(entry.identifier) : entry.identifier;
}

std::optional<size_t> PopupMenu::cancel_index() const
{
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].identifier == cancel_identifier)
            return i;
    return std::nullopt;
}

bool PopupMenu::open(std::u16string_view identifier)
{
    if (!m_properties || !m_owner)
        return false;
    std::vector<PopupMenuEntry> entries;
    m_owner->on_popup(identifier, entries);
    if (entries.empty())
        return false;
    // A fresh build shows the skin in use now and forgets the last scroll and highlight.
    if (!m_template.empty())
        build(*m_properties, m_template);
    m_identifier = identifier;
    m_entries = std::move(entries);
    m_pending.reset();
    m_outside_press = false;
    if (m_caption)
        SkinNode::set_text(u"caption", m_properties->translate(m_identifier));
    m_list->set_source(this);
    m_list->set_count(int(m_entries.size()));
    Application* application = Application::singleton();
    if (application && !application->is_on_stack(*this))
        application->push_form(*this, true, true);
    m_open = true;
    return true;
}

void PopupMenu::close()
{
    m_open = false;
    m_pending.reset();
    m_outside_press = false;
    if (Application* application = Application::singleton())
        application->remove_form(*this, true);
}

bool PopupMenu::choose(size_t index)
{
    if (!m_open || index >= m_entries.size() || !m_entries[index].enabled)
        return false;
    std::u16string chosen = m_entries[index].identifier;
    PopupMenuOwner* owner = m_owner;
    close();
    // The owner may rebuild this pop-up (a new skin): nothing of it is touched afterwards.
    std::vector<PopupMenuEntry> unused;
    if (owner)
        owner->on_popup(chosen, unused);
    return true;
}

bool PopupMenu::cancel()
{
    if (!m_open)
        return false;
    if (std::optional<size_t> index = cancel_index())
        return choose(*index);
    close();
    return true;
}

bool PopupMenu::inside_panel(skin::Point point) const
{
    for (const auto& child : children())
        if (child->visible() && child->contains(point))
            return true;
    return false;
}

bool PopupMenu::finish_choice()
{
    if (!m_pending)
        return false;
    size_t index = *m_pending;
    m_pending.reset();
    choose(index);
    return true;
}

bool PopupMenu::stylus(const skin::StylusEvent& event)
{
    if (!m_open)
        return SkinNode::stylus(event);
    // A tap outside the panel is Back; the press and the release must both be outside.
    if (m_outside_press) {
        if (!event.move && (!event.down || event.cancelled)) {
            m_outside_press = false;
            if (!event.cancelled && !inside_panel(event.point))
                cancel();
        }
        return true;
    }
    if (event.down && !event.move && !event.cancelled && !captured_child() && !inside_panel(event.point)) {
        m_outside_press = true;
        return true;
    }
    SkinNode::stylus(event);
    finish_choice();
    // The pop-up is modal: the forms below never get the stylus while it is open.
    return true;
}

bool PopupMenu::key(const input::KeyEvent& event)
{
    if (!m_open)
        return SkinNode::key(event);
    if (event.code == input::key_backspace) {
        if (event.pressed)
            cancel();
        return true;
    }
    bool handled = SkinNode::key(event);
    if (finish_choice())
        return true;
    return handled;
}

void PopupMenu::life_cycle(double elapsed)
{
    SkinNode::life_cycle(elapsed);
    finish_choice();
}

std::unique_ptr<skin::ListRowNode> PopupMenu::create_row(skin::ListNode&, int index)
{
    if (!m_properties || index < 0 || size_t(index) >= m_entries.size())
        return nullptr;
    const PopupMenuEntry& entry = m_entries[size_t(index)];
    auto row = std::make_unique<skin::ListRowNode>();
    row->build(*m_properties, m_element_template);
    row->set_text(u"text", entry_text(entry));
    if (auto* check = dynamic_cast<skin::MultiNode*>(row->find_descendant(u"check")))
        check->set_state(entry.checked ? 1 : 0);
    row->set_selectable(entry.enabled);
    return row;
}

void PopupMenu::row_activated(skin::ListNode&, int index)
{
    // Chosen once the event is back in the pop-up: the owner may rebuild the list.
    if (m_open && index >= 0)
        m_pending = size_t(index);
}

} // namespace framework
