#include "app/FormMessage.h"
#include "app/NodeLookup.h"

#include "framework/Application.h"

#include "runtime/Log.h"

#include "skin/file/Properties.h"
#include "skin/nodes/ButtonNode.h"
#include "skin/nodes/TextNode.h"

namespace weather {

FormMessage::FormMessage(skin::Properties& skin)
    : m_skin(skin)
{
    build_form();
    set_visible(false);
    m_skin.add_reload_listener(this);
}

FormMessage::~FormMessage()
{
    m_skin.remove_reload_listener(this);
    if (auto* app = framework::Application::singleton())
        app->remove_form(*this, false);
}

void FormMessage::build_form()
{
    build(m_skin, template_name);
    m_message = &find_node<skin::TextNode>(*this, u"message");
    m_back = &find_node<skin::ButtonNode>(*this, u"btnBack");
    // Fixed English, as the limit is a rule of the program and not a text of the skin.
    m_message->set_text(limit_text);
    m_back->set_listener(this);
}

void FormMessage::reload(skin::Properties&)
{
    build_form();
}

void FormMessage::show()
{
    show_text(limit_text);
}

void FormMessage::show_text(std::u16string_view text)
{
    runtime::get_log() << u"FormMessage::show " << text << u"\n";
    m_message->set_text(text);
    auto* app = framework::Application::singleton();
    if (app && !app->is_on_stack(*this))
        app->push_form(*this, true, true);
}

void FormMessage::back()
{
    if (auto* app = framework::Application::singleton())
        app->remove_form(*this, true);
}

void FormMessage::clicked(skin::ButtonNode& button, skin::Point)
{
    if (&button == m_back)
        back();
}

bool FormMessage::key(const input::KeyEvent& event)
{
    if (event.code == input::key_backspace) {
        if (event.pressed && event.first)
            back();
        return true;
    }
    return FormNode::key(event);
}

} // namespace weather
