// Keys, typed text, the pointer and the window's events, as the shell hands them on: the
// listener first, then the emergency step and the top form; the typing session of a
// focused edit field takes its own keys and the text.
#include "framework/GameBase.h"
#include "framework/ShellState.h"
#include "framework/VirtualKeys.h"

#include "display/Display.h"
#include "platform/Clock.h"
#include "platform/TextEncoding.h"
#include "runtime/Log.h"
#include "skin/nodes/SkinNode.h"

#include <SDL.h>

namespace framework {

namespace {

void log_key(const char16_t* what, int virtual_key, int code, int32_t lparam)
{
    runtime::get_log() << what << int32_t(virtual_key) << u"(" << input::key_name(code) << u")" << u" lParam=" << lparam
                       << u" ticks=" << int32_t(platform::tick_count()) << u"\n";
}

} // namespace

bool Application::dispatch(const input::KeyEvent& event)
{
    ShellState& state = *m_state;
    if (event.pressed && state.emergency.key_down(event.code)) {
        // The call takes the program's place on the screen until the next input.
        m_game->set_suspended(true);
        return true;
    }
    if (skin::SkinNode* top = state.stack.top())
        return top->key(event);
    return true;
}

void Application::text_input(std::u16string_view text)
{
    skin::SkinNode* top = m_state->stack.top();
    for (char16_t c : text) {
        if (top && c >= 32 && m_state->stack.top() == top)
            top->char_input(c);
    }
}

void Application::key_message(int virtual_key, bool down, bool repeat) { m_state->key_message(virtual_key, down, repeat); }

void Application::text_message(std::u16string_view text) { m_state->text_typed(text); }

void Application::check_screen() { m_state->screen_event(); }

void ShellState::key_message(int virtual_key, bool down, bool repeat)
{
    GameBase& g = game();
    g.set_suspended(false);
    int code = input::key_code_of_virtual_key(virtual_key);
    if (is_hot_key(virtual_key)) {
        log_key(u"WM_HOTKEY = ", virtual_key, code, int32_t((uint32_t(virtual_key) << 16) | (down ? 0u : 0x1000u)));
        // The soft keys go straight to the forms, past the listener.
        application.dispatch({ code, down, true });
        return;
    }
    uint32_t lparam = 1u | (repeat || !down ? 1u << 30 : 0u) | (down ? 0u : 1u << 31);
    log_key(down ? u"WM_KEYDOWN = " : u"WM_KEYUP = ", virtual_key, code, int32_t(lparam));
    TypingSession& typing = g.typing();
    // A keypad phone has no letter keys: its twelve keys type letters by multi-tap.
    bool keypad = code == input::key_star || code == input::key_pound || input::is_digit_key(code);
    if (typing.active() && keypad && Application::static_capability_is_smartphone()) {
        if (down)
            typing.keypad_key(code, platform::tick_count());
        return;
    }
    if (typing.active()) {
        // The session's own keys and the keys that type stay with the edit field; Up,
        // Down, Enter, Back and the soft keys still reach the forms.
        if (edits_text(virtual_key)) {
            if (down)
                typing.edit_key(virtual_key);
            return;
        }
        if (types_text(virtual_key))
            return;
    }
    input::KeyEvent event { code, down, !(down && repeat) };
    if (listener && listener->key_event(event))
        return;
    application.dispatch(event);
}

void ShellState::text_typed(std::u16string_view text)
{
    GameBase& g = game();
    g.set_suspended(false);
    for (char16_t c : text) {
        runtime::get_log() << u"WM_CHAR=" << c << u" lParam=1 ticks=" << int32_t(platform::tick_count()) << u"\n";
    }
    if (g.typing().active())
        g.typing().insert(text);
    else
        application.text_input(text);
}

void ShellState::pointer_event(skin::Point point, Pointer kind, bool cancelled)
{
    GameBase& g = game();
    g.set_suspended(false);
    pointer = point;
    skin::SkinNode* top = stack.top();
    switch (kind) {
    case Pointer::down:
        if (!top)
            return;
        pointer_down = true;
        pointer_form = top;
        top->stylus({ point, false, true, false });
        break;
    case Pointer::move:
        if (pointer_down && pointer_form && stack.contains(*pointer_form))
            pointer_form->stylus_move(point);
        break;
    case Pointer::up:
        if (!pointer_down)
            return;
        pointer_down = false;
        if (pointer_form && stack.contains(*pointer_form))
            pointer_form->stylus({ point, false, false, cancelled });
        pointer_form = nullptr;
        break;
    }
}

void ShellState::activation(bool active)
{
    GameBase& g = game();
    if (active) {
        layout();
        g.set_paused(false);
        g.set_suspended(false);
        if (listener)
            listener->activated();
        return;
    }
    g.set_paused(true);
    if (pointer_down)
        pointer_event(pointer, Pointer::up, true);
    if (listener)
        listener->deactivated();
}

void ShellState::script_key(int virtual_key, bool down) { key_message(virtual_key, down, false); }

void ShellState::script_pointer(skin::Point point, Pointer kind) { pointer_event(point, kind); }

void ShellState::script_text(std::u16string_view text) { text_typed(text); }

void ShellState::sdl_event(const SDL_Event& event)
{
    GameBase& g = game();
    display::Display& d = g.display();
    int zoom = std::max(1, d.zoom());
    // While a script runs it is the user: the keyboard and the pointer are not listened to.
    bool user_input = !script;
    // Input and window events end a rest; the loop's own wake-up event is no change.
    if (event.type < SDL_USEREVENT)
        quiet = false;
    switch (event.type) {
    case SDL_QUIT:
        close_request();
        break;
    case SDL_WINDOWEVENT:
        switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            close_request();
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            d.window_resized(event.window.data1, event.window.data2);
            screen_event();
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            if (d.ready())
                d.expose();
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            if (user_input)
                activation(true);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            if (user_input)
                activation(false);
            break;
        default:
            break;
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        // The keyboard's Help key asks for help, as the platform's help message did.
        if (user_input && event.key.keysym.sym == SDLK_HELP) {
            if (event.type == SDL_KEYDOWN && listener)
                listener->help_requested();
            break;
        }
        if (user_input)
            key_message(virtual_key_of_sdl(event.key.keysym.sym), event.type == SDL_KEYDOWN, event.key.repeat != 0);
        break;
    case SDL_TEXTINPUT:
        if (user_input)
            text_typed(platform::from_utf8(event.text.text));
        break;
    case SDL_MOUSEBUTTONDOWN:
        if (user_input && event.button.button == SDL_BUTTON_LEFT) {
            SDL_CaptureMouse(SDL_TRUE);
            pointer_event({ event.button.x / zoom, event.button.y / zoom }, Pointer::down);
        }
        break;
    case SDL_MOUSEMOTION:
        if (user_input)
            pointer_event({ event.motion.x / zoom, event.motion.y / zoom }, Pointer::move);
        break;
    case SDL_MOUSEBUTTONUP:
        if (user_input && event.button.button == SDL_BUTTON_LEFT) {
            SDL_CaptureMouse(SDL_FALSE);
            pointer_event({ event.button.x / zoom, event.button.y / zoom }, Pointer::up);
        }
        break;
    default:
        break;
    }
}

} // namespace framework
