// The application shell: the one object that makes the skinned forms a program. It runs
// one copy per user (the single-instance check), owns the window and its drawing state
// (GameBase), runs the message loop with the frame clock, keeps the form stack, turns
// keys, text and the pointer into events for the top form (and dials an emergency
// number typed on the keypad), and hosts the typing session of the focused edit field.
//
// Forms are skin nodes; the application logic only pushes and removes them:
//     Application::singleton()->push_form(form, dims_below, animate);
#pragma once

#include "framework/ApplicationListener.h"
#include "framework/KeypadLetters.h"

#include "display/ScreenDescription.h"
#include "input/KeyCodes.h"
#include "runtime/Singleton.h"
#include "skin/nodes/EditFocusHost.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace skin {
class EditNode;
class SkinNode;
} // namespace skin

namespace framework {

class GameBase;
class ShellState;

class Application : public runtime::Singleton<Application>, public skin::EditFocusHost {
public:
    static constexpr int transition_dimmed = 128;
    static constexpr int transition_bright = 256;

    // Asks whether a copy of the named application runs and, if so, hands it the command
    // line and answers true: the caller then ends at once. Of two copies started
    // together, the second waits here until the first has its window.
    static bool show_running_instance_open_bracket(std::u16string_view command_line, std::u16string_view application_name);

    // Builds the window and its drawing state (GameBase), installs itself as the edit
    // focus host and registers the engine's node types.
    explicit Application(std::u16string_view application_name);
    ~Application() override;

    // The one Application of the process, or null.
    static Application* singleton() { return Singleton<Application>::singleton(); }

    const std::u16string& application_name() const;
    void set_listener(ApplicationListener* listener);
    ApplicationListener* listener() const;

    // Form stack. A pushed form is laid out to the screen and shown over the top one, with
    // its show animation when animate is set and the form has one; with dims_below it is
    // drawn over a dimmed picture of the forms below, else those are hidden. An edit field
    // of another form loses the focus. The form stays the caller's; it must stay alive
    // while it is on the stack (and while its hide animation runs).
    void push_form(skin::SkinNode& form, bool dims_below, bool animate);
    // False when the form is not on the stack. The top form leaves with its hide animation
    // when animate is set (a show animation still running is reversed instead).
    bool remove_form(skin::SkinNode& form, bool animate);
    skin::SkinNode* top_form() const;
    size_t form_count() const;
    bool is_on_stack(const skin::SkinNode& form) const;
    // The brightness of the forms below the top one: 128 (dimmed) to 256 (full).
    int transition_level() const;

    // Ends the message loop after the current message; run() then returns the code.
    void quit(int exit_code = 0);
    // The message loop; returns the quit code (non-zero after a failed scripted run).
    int run();

    // The edit field with the focus (EditFocusHost): focusing a node leaves direct mode
    // and opens the typing session over it when native_control is set; null returns to
    // direct mode. While an edit field has the focus, Up, Down, Enter, Back and the soft
    // keys still reach the forms.
    void focus(skin::EditNode* node, bool native_control) override;
    skin::EditNode* focused() const override;
    int caret() const override;
    int pending() const override;
    // The letters of the keypad's keys for the typing session (the language's).
    void set_keypad(KeypadLetters keypad);
    void forget(skin::EditNode& node) override;

    // The screen as the display reports it.
    const display::ScreenDescription& screen() const;

    // Drawing modes: direct (frames whenever the loop is idle) or windowed (frames from the
    // 40 ms timer). Direct mode with the same setting while already direct does nothing.
    void switch_to_direct_mode(int display_setting);
    void switch_to_windowed_mode(bool show_task_bar);
    void set_key_capture(bool on);
    bool direct_mode() const;
    // Drawing stops until the next key, character, pointer or activation event.
    void suspend();

    // A key event as the forms get it, after the listener: the emergency step, then the
    // top form. True when the top form handled it (and for an empty stack or a call).
    bool dispatch(const input::KeyEvent& event);
    // Characters typed as text, for the top form.
    void text_input(std::u16string_view text);

    // Input as the window receives it (from SDL or a scripted run). A key as a virtual
    // key: logged, the typing session's own keys kept there, then the listener, then
    // dispatch; repeat marks an auto-repeated key down.
    void key_message(int virtual_key, bool down, bool repeat);
    // Typed text: the typing session's when an edit field has one, else the top form's.
    void text_message(std::u16string_view text);
    // Reads the screen from the display again (after a resize or rotation): a change is
    // stored, logged and told to the listener; the forms are laid out again in any case.
    void check_screen();

    // True on a keypad phone: the platform type (NALO_PLATFORM, default "PocketPC")
    // equals "smartphone" without regard to case. Computed once.
    static bool static_capability_is_smartphone();
    // A message box: the display's own, or standard error when there is no window.
    static void message_box(std::u16string_view text, std::u16string_view caption);

    // The window object (drawing state, display, recorder); for the shell's own parts.
    GameBase& game() const { return *m_game; }

private:
    friend class ShellState;
    std::unique_ptr<GameBase> m_game;
    std::unique_ptr<ShellState> m_state;
};

} // namespace framework
