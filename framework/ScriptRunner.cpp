#include "framework/ScriptRunner.h"

#include <cmath>

namespace framework {

ScriptRunner::ScriptRunner(std::vector<ScriptCommand> commands, ScriptActions& actions)
    : m_commands(std::move(commands))
    , m_actions(actions)
{
}

int ScriptRunner::frames_for(double seconds) { return int(std::lround(seconds / frame_seconds)); }

void ScriptRunner::before_frame()
{
    ++m_frames;
    if (m_stopped)
        return;
    if (m_wait > 0) {
        --m_wait;
        return;
    }
    if (m_drag) {
        ++m_drag_step;
        const ScriptCommand& d = *m_drag;
        skin::Point at { d.from.x + (d.to.x - d.from.x) * m_drag_step / m_drag_steps,
            d.from.y + (d.to.y - d.from.y) * m_drag_step / m_drag_steps };
        m_actions.script_pointer(at, ScriptActions::Pointer::move);
        if (m_drag_step >= m_drag_steps) {
            m_actions.script_pointer(d.to, ScriptActions::Pointer::up);
            m_drag = nullptr;
        }
        return;
    }
    while (m_next < m_commands.size() && !m_stopped) {
        const ScriptCommand& command = m_commands[m_next++];
        if (run(command))
            return;
    }
}

bool ScriptRunner::run(const ScriptCommand& command)
{
    using Kind = ScriptCommand::Kind;
    switch (command.kind) {
    case Kind::wait:
        // The frame now is the first of the wait.
        if (frames_for(command.seconds) > 0) {
            m_wait = frames_for(command.seconds) - 1;
            return true;
        }
        return false;
    case Kind::key:
        m_actions.script_key(command.virtual_key, true);
        m_actions.script_key(command.virtual_key, false);
        break;
    case Kind::keydown:
        m_actions.script_key(command.virtual_key, true);
        break;
    case Kind::keyup:
        m_actions.script_key(command.virtual_key, false);
        break;
    case Kind::tap:
        m_actions.script_pointer(command.from, ScriptActions::Pointer::down);
        m_actions.script_pointer(command.from, ScriptActions::Pointer::up);
        break;
    case Kind::drag:
        m_actions.script_pointer(command.from, ScriptActions::Pointer::down);
        m_drag = &command;
        m_drag_step = 0;
        m_drag_steps = std::max(1, frames_for(command.seconds));
        return true;
    case Kind::text:
        m_actions.script_text(command.text);
        break;
    case Kind::shot:
        m_shot = command.file;
        m_shot_line = command.line;
        return true;
    case Kind::quit:
        m_stopped = true;
        m_actions.script_quit();
        break;
    }
    return false;
}

bool ScriptRunner::after_frame()
{
    if (m_shot.empty())
        return true;
    std::string file = std::move(m_shot);
    m_shot.clear();
    if (m_actions.script_shot(file))
        return true;
    m_error = "line " + std::to_string(m_shot_line) + ": cannot write the shot " + file;
    m_stopped = true;
    return false;
}

} // namespace framework
