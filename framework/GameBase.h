// The window object of the shell: the process base (ApplicationCore) with the window and
// its drawing state. Construction reads "SIPPreference", starts the frame recorder when
// its pointer picture is there, opens the display, reads the screen, creates the window
// (the message-queue window of the class "VevivozClass_" + name that receives the
// shell's messages), takes the window lock and opens the instance socket, and lets go of
// the start lock.
#pragma once

#include "framework/FrameClock.h"
#include "framework/FrameRecorder.h"
#include "framework/InstanceChannel.h"
#include "framework/TypingSession.h"

#include "display/Display.h"
#include "platform/MessageQueue.h"
#include "platform/NamedMutex.h"
#include "runtime/ApplicationCore.h"

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace skin {
class EditNode;
}

namespace framework {

class GameBase : public runtime::ApplicationCore {
public:
    static constexpr uint32_t message_command_line = 1058; // WM_USER + 34
    static constexpr uint32_t message_close = 0x0010;      // WM_CLOSE
    static constexpr uint32_t frame_timer = 2;
    static constexpr uint32_t frame_period_ms = 40;

    // The procedure receives the messages of the shell's window.
    GameBase(std::u16string_view application_name, platform::WindowProcedure procedure);
    ~GameBase() override;

    display::Display& display() const { return *m_display; }
    platform::WindowHandle window() const { return m_window; }
    const display::ScreenDescription& screen() const { return m_screen; }
    void set_screen(const display::ScreenDescription& screen) { m_screen = screen; }

    // Drawing state.
    bool direct_requested() const { return m_direct; }
    void set_direct_requested(bool direct) { m_direct = direct; }
    int display_setting() const { return m_display_setting; }
    void set_display_setting(int setting) { m_display_setting = setting; }
    bool paused() const { return m_paused; }
    void set_paused(bool paused) { m_paused = paused; }
    bool suspended() const { return m_suspended; }
    void set_suspended(bool suspended) { m_suspended = suspended; }
    bool task_bar_shown() const { return m_task_bar; }
    void set_task_bar_shown(bool shown) { m_task_bar = shown; }
    bool key_capture() const { return m_key_capture; }
    void set_key_capture(bool on) { m_key_capture = on; }
    bool panel_preference() const { return m_panel_preference; }
    // Stores the input panel's state as "SIPPreference".
    void store_panel_preference(bool up);

    // Text editing.
    skin::EditNode* focused() const { return m_focused; }
    void set_focused(skin::EditNode* node) { m_focused = node; }
    TypingSession& typing() { return m_typing; }

    // Command lines from second copies, taken on any thread, handed on in the loop.
    void queue_command_line(std::u16string text);
    std::optional<std::u16string> take_command_line();

    // The frame timer (timer 2): running while frames come from it.
    void set_frame_timer(bool running);
    bool frame_timer_running() const { return m_frame_timer; }
    // Arms the one-shot timer for the next period.
    void rearm_frame_timer(uint32_t milliseconds);

    FrameClock& clock() { return m_clock; }
    FrameRecorder& recorder() { return m_recorder; }

private:
    std::unique_ptr<display::Display> m_display;
    platform::WindowHandle m_window { 0 };
    display::ScreenDescription m_screen;
    bool m_direct { false };
    int m_display_setting { -1 };
    bool m_paused { false };
    bool m_suspended { false };
    bool m_task_bar { true };
    bool m_key_capture { false };
    bool m_panel_preference { false };
    skin::EditNode* m_focused { nullptr };
    TypingSession m_typing;
    std::mutex m_command_lock;
    std::deque<std::u16string> m_command_lines;
    bool m_frame_timer { false };
    FrameClock m_clock;
    FrameRecorder m_recorder;
    platform::NamedMutex m_window_lock;
    std::unique_ptr<InstanceServer> m_server;
};

} // namespace framework
