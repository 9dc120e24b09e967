// Plays a scripted run frame by frame. Before each frame the runner gives the commands
// that are due to the shell (keys, taps, typed text) until one takes frames: "wait"
// lets its frames pass (0.04 s each), "drag" moves the pointer over its frames, "shot"
// writes the frame presented next. "quit" ends the loop as the exit button does.
#pragma once

#include "framework/Script.h"

#include <string>
#include <vector>

namespace framework {

class ScriptActions {
public:
    virtual ~ScriptActions() = default;
    virtual void script_key(int virtual_key, bool down) = 0;
    enum class Pointer { down, move, up };
    virtual void script_pointer(skin::Point point, Pointer kind) = 0;
    virtual void script_text(std::u16string_view text) = 0;
    // Writes the frame as presented; false when the file cannot be written.
    virtual bool script_shot(const std::string& file) = 0;
    virtual void script_quit() = 0;
};

class ScriptRunner {
public:
    static constexpr double frame_seconds = 0.04;

    ScriptRunner(std::vector<ScriptCommand> commands, ScriptActions& actions);

    // Runs the commands due before this frame.
    void before_frame();
    // After the frame was presented: writes a pending shot; false (with the error) when
    // it could not be written.
    bool after_frame();
    // Every command has run.
    bool finished() const { return m_next >= m_commands.size() && m_wait == 0 && !m_drag && m_shot.empty(); }
    // "line N: reason" of a failure.
    const std::string& error() const { return m_error; }
    size_t frames() const { return m_frames; }

    static int frames_for(double seconds);

private:
    // True when the command takes this frame (and maybe more).
    bool run(const ScriptCommand& command);

    std::vector<ScriptCommand> m_commands;
    ScriptActions& m_actions;
    size_t m_next { 0 };
    int m_wait { 0 };
    // The drag under way: its command, the step reached and the step count.
    const ScriptCommand* m_drag { nullptr };
    int m_drag_step { 0 };
    int m_drag_steps { 0 };
    std::string m_shot;
    int m_shot_line { 0 };
    std::string m_error;
    size_t m_frames { 0 };
    bool m_stopped { false };
};

} // namespace framework
