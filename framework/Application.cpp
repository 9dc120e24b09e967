#include "framework/Application.h"

#include "framework/GameBase.h"
#include "framework/PopupMenu.h"
#include "framework/ShellState.h"
#include "framework/SingleInstance.h"

#include "display/SdlDisplay.h"
#include "platform/CaseFolding.h"
#include "platform/TextEncoding.h"
#include "runtime/Log.h"
#include "skin/SkinNodeTypes.h"
#include "skin/nodes/EditNode.h"
#include "skin/nodes/NodeFactory.h"
#include "skin/nodes/SkinNode.h"

#include <SDL.h>

#include <cstdlib>
#include <iostream>

namespace framework {

namespace {

// Whether this Application registered the engine's node types (and so takes them out).
bool s_registered_types = false;
// The same for the framework's pop-up menu ("menu").
bool s_registered_menu = false;

} // namespace

ShellState::ShellState(Application& owner, std::u16string_view application_name, int width, int height)
    : application(owner)
    , name(application_name)
    , stack(width, height)
    , emergency(EmergencyCall::registry_numbers())
{
}

bool Application::show_running_instance_open_bracket(std::u16string_view command_line, std::u16string_view application_name)
{
    return SingleInstance::open_bracket(command_line, application_name);
}

Application::Application(std::u16string_view application_name)
{
    runtime::get_log() << u"Application::Application() this="
                       << std::u16string_view(platform::from_utf8(std::to_string(reinterpret_cast<uintptr_t>(this)))) << u"\n";
    m_game = std::make_unique<GameBase>(application_name, [this](const platform::Message& message) {
        if (m_state)
            m_state->window_message(message);
    });
    const display::ScreenDescription& screen = m_game->screen();
    m_state = std::make_unique<ShellState>(*this, application_name, screen.width, screen.height);
    platform::WindowHandle window = m_game->window();
    m_state->signals = std::make_unique<TerminationSignals>(
        [window](int) { platform::MessageQueue::post_to_window(window, platform::message_quit, 0); });
    if (!skin::NodeFactory::is_registered(u"node")) {
        skin::register_skin_node_types();
        s_registered_types = true;
    }
    if (!skin::NodeFactory::is_registered(PopupMenu::type_name)) {
        PopupMenu::register_node_type();
        s_registered_menu = true;
    }
    skin::EditFocusHost::install(this);
}

Application::~Application()
{
    runtime::get_log() << u"Application::~Application()\n";
    focus(nullptr, false);
    skin::EditFocusHost::install(nullptr);
    m_state.reset();
    m_game.reset();
    if (s_registered_types) {
        skin::unregister_skin_node_types();
        s_registered_types = false;
    }
    if (s_registered_menu) {
        PopupMenu::unregister_node_type();
        s_registered_menu = false;
    }
}

const std::u16string& Application::application_name() const { return m_state->name; }
void Application::set_listener(ApplicationListener* listener) { m_state->listener = listener; }
ApplicationListener* Application::listener() const { return m_state->listener; }

namespace {

bool is_within(const skin::SkinNode* node, const skin::SkinNode& form)
{
    for (; node; node = node->parent()) {
        if (node == &form)
            return true;
    }
    return false;
}

} // namespace

void Application::push_form(skin::SkinNode& form, bool dims_below, bool animate)
{
    // Typing goes to the top form only.
    if (m_game->focused() && !is_within(m_game->focused(), form))
        focus(nullptr, false);
    m_state->stack.push(form, dims_below, animate);
    m_state->force_redraw = true;
    if (m_state->listener)
        m_state->listener->form_pushed(form);
}

bool Application::remove_form(skin::SkinNode& form, bool animate)
{
    if (!m_state->stack.contains(form))
        return false;
    if (m_state->listener)
        m_state->listener->form_removed(form);
    // The listener may have taken it out itself.
    if (!m_state->stack.remove(form, animate))
        return true;
    if (m_state->pointer_form == &form) {
        m_state->pointer_form = nullptr;
        m_state->pointer_down = false;
    }
    m_state->force_redraw = true;
    return true;
}

skin::SkinNode* Application::top_form() const { return m_state->stack.top(); }
size_t Application::form_count() const { return m_state->stack.entries().size(); }
bool Application::is_on_stack(const skin::SkinNode& form) const { return m_state->stack.contains(form); }
int Application::transition_level() const { return m_state->stack.transition_level(); }

void Application::quit(int exit_code)
{
    platform::MessageQueue::current().post({ 0, platform::message_quit, uintptr_t(exit_code), 0 });
}

void Application::focus(skin::EditNode* node, bool native_control)
{
    GameBase& game = *m_game;
    TypingSession& typing = game.typing();
    skin::EditNode* old = game.focused();
    if (node == old) {
        if (!node)
            return;
        // Focusing the focused node again: the session follows its text and rectangle.
        if (typing.active() || native_control) {
            if (!typing.active())
                typing.open(*node);
            else
                typing.refresh();
            game.display().start_text_input(node->rect());
        }
        node->mark_dirty();
        return;
    }
    if (old) {
        typing.close();
        game.set_focused(nullptr);
        old->mark_dirty();
    }
    if (!node) {
        m_state->focus_lost();
        return;
    }
    game.set_focused(node);
    // Gaining the focus from none leaves direct mode: frames come from the 40 ms timer.
    if (!old)
        m_state->update_frame_timer();
    if (native_control) {
        typing.open(*node);
        game.display().start_text_input(node->rect());
    }
    node->mark_dirty();
    m_state->force_redraw = true;
}

skin::EditNode* Application::focused() const { return m_game->focused(); }

void Application::forget(skin::EditNode& node)
{
    if (m_game->focused() != &node)
        return;
    // As losing the focus, without touching the node that is going away.
    m_game->typing().close();
    m_game->set_focused(nullptr);
    m_state->focus_lost();
}

void ShellState::focus_lost()
{
    GameBase& g = *application.m_game;
    g.display().stop_text_input();
    // The input panel's state is kept for the next field.
    bool up = g.display().has_screen_keyboard() ? g.display().screen_keyboard_shown() : g.panel_preference();
    g.store_panel_preference(up);
    update_frame_timer();
    force_redraw = true;
}

int Application::caret() const
{
    const TypingSession& typing = m_game->typing();
    return typing.active() ? int(typing.caret()) : -1;
}

int Application::pending() const
{
    const TypingSession& typing = m_game->typing();
    return typing.active() ? int(typing.pending()) : 0;
}

void Application::set_keypad(KeypadLetters keypad) { m_game->typing().set_keypad(std::move(keypad)); }

const display::ScreenDescription& Application::screen() const { return m_game->screen(); }

void Application::switch_to_direct_mode(int display_setting)
{
    if (m_game->direct_requested() && m_game->display_setting() == display_setting)
        return;
    m_game->set_direct_requested(true);
    m_game->set_display_setting(display_setting);
    m_state->update_frame_timer();
    m_state->force_redraw = true;
}

void Application::switch_to_windowed_mode(bool show_task_bar)
{
    m_game->set_direct_requested(false);
    m_game->set_task_bar_shown(show_task_bar);
    m_state->update_frame_timer();
}

void Application::set_key_capture(bool on) { m_game->set_key_capture(on); }

bool Application::direct_mode() const { return m_game->direct_requested() && !m_game->focused(); }

void Application::suspend() { m_game->set_suspended(true); }

bool Application::static_capability_is_smartphone()
{
    static const bool smartphone = [] {
        const char* type = std::getenv("NALO_PLATFORM");
        std::u16string platform_type = platform::from_utf8(type && *type ? type : "PocketPC");
        if (platform_type.size() > 199)
            platform_type.resize(199);
        runtime::get_log() << u"static_capability_is_smartphone=" << std::u16string_view(platform_type) << u"\n";
        return platform::to_lower(platform_type) == u"smartphone";
    }();
    return smartphone;
}

void Application::message_box(std::u16string_view text, std::u16string_view caption)
{
    Application* application = singleton();
    display::SdlDisplay* window = nullptr;
    if (application && !application->m_state->script)
        window = dynamic_cast<display::SdlDisplay*>(&application->m_game->display());
    std::string body = platform::to_utf8(text), title = platform::to_utf8(caption);
    if (window && SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, title.c_str(), body.c_str(), window->window()) == 0)
        return;
    std::cerr << title << ": " << body << (body.empty() || body.back() != '\n' ? "\n" : "");
}

} // namespace framework
