#include "framework/Application.h"
#include "framework/GameBase.h"

#include "skin/nodes/EditNode.h"
#include "skin/nodes/SkinNode.h"

#include <algorithm>
#include <vector>

namespace framework {

// The shell's state; filled in as the shell grows.
class ShellState {
public:
    std::u16string name;
    ApplicationListener* listener { nullptr };
    std::vector<skin::SkinNode*> stack;
    skin::EditNode* focused { nullptr };
    display::ScreenDescription screen { display::screen_from_environment() };
    bool direct { true };
};

bool Application::show_running_instance_open_bracket(std::u16string_view, std::u16string_view) { return false; }

Application::Application(std::u16string_view application_name)
    : m_game(std::make_unique<GameBase>(application_name))
    , m_state(std::make_unique<ShellState>())
{
    m_state->name = application_name;
    skin::EditFocusHost::install(this);
}

Application::~Application() { skin::EditFocusHost::install(nullptr); }

const std::u16string& Application::application_name() const { return m_state->name; }
void Application::set_listener(ApplicationListener* listener) { m_state->listener = listener; }
ApplicationListener* Application::listener() const { return m_state->listener; }

void Application::push_form(skin::SkinNode& form, bool, bool) { m_state->stack.push_back(&form); }

bool Application::remove_form(skin::SkinNode& form, bool)
{
    auto it = std::find(m_state->stack.begin(), m_state->stack.end(), &form);
    if (it == m_state->stack.end())
        return false;
    m_state->stack.erase(it);
    return true;
}

skin::SkinNode* Application::top_form() const { return m_state->stack.empty() ? nullptr : m_state->stack.back(); }
size_t Application::form_count() const { return m_state->stack.size(); }
bool Application::is_on_stack(const skin::SkinNode& form) const
{
    return std::find(m_state->stack.begin(), m_state->stack.end(), &form) != m_state->stack.end();
}
int Application::transition_level() const { return transition_bright; }
void Application::quit(int) { }
int Application::run() { return 0; }
void Application::focus(skin::EditNode* node, bool) { m_state->focused = node; }
skin::EditNode* Application::focused() const { return m_state->focused; }
int Application::caret() const { return -1; }
const display::ScreenDescription& Application::screen() const { return m_state->screen; }
void Application::switch_to_direct_mode(int) { m_state->direct = true; }
void Application::switch_to_windowed_mode(bool) { m_state->direct = false; }
void Application::set_key_capture(bool) { }
bool Application::direct_mode() const { return m_state->direct; }
void Application::suspend() { }
bool Application::dispatch(const input::KeyEvent& event)
{
    return top_form() ? top_form()->key(event) : true;
}
void Application::text_input(std::u16string_view) { }
bool Application::static_capability_is_smartphone() { return false; }
void Application::message_box(std::u16string_view, std::u16string_view) { }

} // namespace framework
