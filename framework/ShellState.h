// The Application's own state behind its interface: the listener, the form stack, the
// emergency call, the pointer, the scripted run and the frame-time overlay. The
// Application's operations live in Application.cpp (forms, focus, modes),
// ApplicationLoop.cpp (message loop, frames) and ApplicationInput.cpp (keys, text,
// pointer, window events).
#pragma once

#include "framework/Application.h"
#include "framework/EmergencyCall.h"
#include "framework/FormStack.h"
#include "framework/FrameTimeOverlay.h"
#include "framework/ScriptRunner.h"
#include "framework/TerminationSignals.h"

#include "platform/MessageQueue.h"
#include "skin/draw/Geometry.h"

#include <cstdint>
#include <memory>
#include <string>

union SDL_Event;

namespace framework {

class GameBase;

class ShellState final : public ScriptActions {
public:
    ShellState(Application& application, std::u16string_view name, int width, int height);

    void script_key(int virtual_key, bool down) override;
    void script_pointer(skin::Point point, Pointer kind) override;
    void script_text(std::u16string_view text) override;
    bool script_shot(const std::string& file) override;
    void script_quit() override;

    // Application.cpp: no field has the focus any more.
    void focus_lost();

    // ApplicationLoop.cpp
    int run();
    void window_message(const platform::Message& message);
    void frame_step();
    void update_frame_timer();
    void close_request();
    // The screen as the display now reports it: a change is stored, logged and told to
    // the listener; the forms are laid out again in every case.
    void screen_event();
    void layout();

    // ApplicationInput.cpp
    // A key of the keyboard (or the script) as a virtual key.
    void key_message(int virtual_key, bool down, bool repeat);
    // Text as SDL text input gives it.
    void text_typed(std::u16string_view text);
    void pointer_event(skin::Point point, Pointer kind, bool cancelled = false);
    void activation(bool active);
    void sdl_event(const SDL_Event& event);
    // The window's events; false when there was none within the time (-1 waits).
    bool pump_events(int timeout_ms);
    // Waits at most the time for an event or a message, taking none; true when one came.
    bool wait_for_events(int timeout_ms);

    Application& application;
    std::u16string name;
    ApplicationListener* listener { nullptr };
    FormStack stack;
    EmergencyCall emergency;

    // The pointer: whether it is down, the form that took the press, the last position.
    bool pointer_down { false };
    skin::SkinNode* pointer_form { nullptr };
    skin::Point pointer;

    // The scripted run, when NALO_SCRIPT names one, and the path for its messages.
    std::unique_ptr<ScriptRunner> script;
    std::string script_path;
    uint32_t next_script_frame { 0 };

    // The frame-time overlay while the log is on (the switch is read once a second).
    FrameTimeOverlay overlay;
    bool log_on { false };
    uint32_t log_checked { 0 };
    bool log_checked_once { false };

    // Resting: after frames in which nothing changed for quiet_before_rest_ms (no
    // animation, no input, the pointer up), the loop stops making frames until input, a
    // message or a timer comes, or rest_ms have passed (the pages look for new forecasts
    // in their frames).
    static constexpr uint32_t quiet_before_rest_ms = 200;
    static constexpr uint32_t rest_ms = 1000;
    bool quiet { false };
    uint32_t quiet_since { 0 };
    // The frame timer is armed for the end of a rest rather than the next frame.
    bool timer_resting { false };
    bool may_rest(uint32_t now) const;
    // Something came during a rest: the frame for the time rested comes first, so that
    // what the input starts runs on frames of ordinary length.
    void end_rest();

    bool force_redraw { true };
    int exit_code { 0 };
    // From construction on, SIGTERM, SIGINT and SIGHUP post a quit to the window.
    std::unique_ptr<TerminationSignals> signals;

private:
    void check_log(uint32_t now);
    void finish_script_frame();
    GameBase& game() const;
};

} // namespace framework
