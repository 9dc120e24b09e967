// The message loop and the frame clock of the shell.
#include "framework/GameBase.h"
#include "framework/ShellState.h"

#include "platform/Clock.h"
#include "platform/TextEncoding.h"
#include "runtime/Log.h"
#include "runtime/Registry.h"
#include "skin/draw/FramePng.h"
#include "skin/nodes/EditNode.h"

#include <SDL.h>

#include <cstdlib>
#include <iostream>

namespace framework {

namespace {

constexpr uint32_t log_check_period_ms = 1000;
constexpr uint32_t idle_sleep_ms = 10;

} // namespace

GameBase& ShellState::game() const { return *application.m_game; }

int Application::run() { return m_state->run(); }

int ShellState::run()
{
    GameBase& g = game();
    script.reset();
    g.clock().set_fixed(g.recorder().active() ? ScriptRunner::frame_seconds : 0);
    const char* script_file = std::getenv("NALO_SCRIPT");
    if (script_file && *script_file) {
        std::string error;
        auto commands = Script::load(script_file, error);
        if (!commands) {
            std::cerr << "NALO_SCRIPT " << script_file << ": " << error << "\n";
            return 2;
        }
        script_path = script_file;
        script = std::make_unique<ScriptRunner>(std::move(*commands), *this);
        g.clock().set_fixed(ScriptRunner::frame_seconds);
        next_script_frame = platform::tick_count() + GameBase::frame_period_ms;
    }
    update_frame_timer();
    platform::MessageQueue& queue = platform::MessageQueue::current();
    // A message posted from any thread ends the wait for the window's events.
    static const uint32_t wake_event = SDL_RegisterEvents(1);
    if (g.display().has_window() && wake_event != uint32_t(-1)) {
        queue.set_wake_hook([] {
            SDL_Event event {};
            event.type = wake_event;
            SDL_PushEvent(&event);
        });
    }
    g.clock().reset(platform::tick_count());
    force_redraw = true;
    exit_code = 0;
    for (;;) {
        platform::Message message;
        bool direct = !g.paused() && !g.suspended() && application.direct_mode() && g.display().ready() && !script;
        if (direct) {
            pump_events(0);
            if (queue.peek(message, true)) {
                if (message.number == platform::message_quit) {
                    exit_code = int(message.wparam);
                    break;
                }
                // What a timer changes shows in the next frame; other messages end a rest.
                if (message.number != platform::message_timer)
                    quiet = false;
                queue.dispatch(message);
                continue;
            }
            frame_step();
            if (may_rest(platform::tick_count())) {
                // Nothing changes: no frame until input, a message, a timer or the end of
                // the rest, and then first the frame for the time rested.
                int64_t delay = queue.next_timer_delay();
                // The delay is in whole milliseconds, cut down: one more lets the timer be due.
                wait_for_events(int(delay < 0 ? rest_ms : std::min<int64_t>(delay + 1, rest_ms)));
                frame_step();
                continue;
            }
            // Each empty pass sleeps; input ends the sleep early.
            pump_events(int(idle_sleep_ms));
            continue;
        }
        bool quit = false;
        while (queue.peek(message, true)) {
            if (message.number == platform::message_quit) {
                exit_code = int(message.wparam);
                quit = true;
                break;
            }
            bool frame_timer = message.number == platform::message_timer && message.window == g.window()
                && message.wparam == GameBase::frame_timer;
            if (timer_resting && !frame_timer)
                end_rest();
            if (message.number != platform::message_timer)
                quiet = false;
            queue.dispatch(message);
        }
        if (quit)
            break;
        int64_t delay = queue.next_timer_delay();
        int timeout = delay < 0 ? -1 : int(std::min<int64_t>(delay, 1000));
        if (timer_resting) {
            // A message is taken above; input waiting in the window's events ends the rest here.
            if (wait_for_events(timeout) && !queue.peek(message, false))
                end_rest();
            continue;
        }
        pump_events(timeout);
    }
    queue.set_wake_hook(nullptr);
    script.reset();
    g.clock().set_fixed(g.recorder().active() ? ScriptRunner::frame_seconds : 0);
    update_frame_timer();
    return exit_code;
}

bool ShellState::wait_for_events(int timeout_ms)
{
    GameBase& g = game();
    if (!g.display().has_window())
        return platform::MessageQueue::current().wait(std::chrono::milliseconds(timeout_ms < 0 ? 1000 : timeout_ms));
    // The wake hook turns a posted message into an event too.
    return SDL_WaitEventTimeout(nullptr, timeout_ms < 0 ? 1000 : timeout_ms) == 1;
}

bool ShellState::may_rest(uint32_t now) const
{
    GameBase& g = game();
    return quiet && now - quiet_since >= quiet_before_rest_ms && !pointer_down && !g.recorder().active() && !script
        && !stack.animating();
}

void ShellState::end_rest()
{
    GameBase& g = game();
    timer_resting = false;
    quiet = false;
    if (!g.paused() && !g.suspended())
        frame_step();
    g.rearm_frame_timer(GameBase::frame_period_ms);
}

bool ShellState::pump_events(int timeout_ms)
{
    GameBase& g = game();
    platform::MessageQueue& queue = platform::MessageQueue::current();
    if (!g.display().has_window()) {
        if (timeout_ms == 0)
            return false;
        return queue.wait(std::chrono::milliseconds(timeout_ms < 0 ? 1000 : timeout_ms));
    }
    SDL_Event event;
    int got = timeout_ms == 0 ? SDL_PollEvent(&event) : SDL_WaitEventTimeout(&event, timeout_ms < 0 ? 1000 : timeout_ms);
    if (!got)
        return false;
    do {
        sdl_event(event);
    } while (SDL_PollEvent(&event));
    return true;
}

void ShellState::window_message(const platform::Message& message)
{
    GameBase& g = game();
    switch (message.number) {
    case GameBase::message_command_line:
        if (auto text = g.take_command_line()) {
            if (listener)
                listener->command_line_received(*text);
        }
        break;
    case GameBase::message_close:
        close_request();
        break;
    case platform::message_timer:
        if (message.wparam != GameBase::frame_timer)
            break;
        if (script) {
            // Scripted frames keep real time: the next one is due a period after this one's.
            uint32_t now = platform::tick_count();
            next_script_frame += GameBase::frame_period_ms;
            if (int32_t(now - next_script_frame) > int32_t(5 * GameBase::frame_period_ms))
                next_script_frame = now + GameBase::frame_period_ms;
            int32_t delay = int32_t(next_script_frame - now);
            g.rearm_frame_timer(uint32_t(std::max(0, delay)));
            frame_step();
        } else {
            g.rearm_frame_timer(GameBase::frame_period_ms);
            if (!g.paused() && !g.suspended())
                frame_step();
            // Paused, suspended or with nothing changing, the timer rests too.
            timer_resting = g.paused() || g.suspended() || may_rest(platform::tick_count());
            if (timer_resting)
                g.rearm_frame_timer(rest_ms);
        }
        break;
    default:
        break;
    }
}

void ShellState::update_frame_timer()
{
    bool running = script != nullptr || !application.direct_mode();
    if (timer_resting && running)
        game().rearm_frame_timer(GameBase::frame_period_ms);
    timer_resting = false;
    quiet = false;
    game().set_frame_timer(running);
}

void ShellState::close_request()
{
    if (!listener || listener->close_requested())
        application.quit(0);
}

void ShellState::layout()
{
    GameBase& g = game();
    stack.set_screen(g.screen().width, g.screen().height);
    force_redraw = true;
    if (skin::EditNode* node = g.focused(); node && g.typing().active())
        g.display().start_text_input(node->rect());
}

void ShellState::screen_event()
{
    GameBase& g = game();
    if (!(g.display().screen() == g.screen())) {
        g.set_screen(g.display().screen());
        runtime::get_log() << u"Application::ResolutionChanged 2\n";
        if (listener)
            listener->screen_changed();
    }
    layout();
}

void ShellState::check_log(uint32_t now)
{
    if (log_checked_once && now - log_checked < log_check_period_ms)
        return;
    log_checked_once = true;
    log_checked = now;
    bool on = false;
    runtime::read_flag(u"HKEY_CURRENT_USER\\Software\\NALO", u"Log", on);
    if (on != log_on)
        force_redraw = true; // the overlay comes or goes
    log_on = on;
}

void ShellState::frame_step()
{
    GameBase& g = game();
    uint32_t start = platform::tick_count();
    auto started = std::chrono::steady_clock::now();
    if (script)
        script->before_frame();
    if (g.paused() || g.suspended()) {
        // Drawing stops; a script still gives its input, which ends a suspension.
        if (script)
            finish_script_frame();
        return;
    }
    double elapsed = g.clock().tick(start);
    g.typing().commit_after_pause(start);
    stack.life_cycle(elapsed);
    display::Display& d = g.display();
    check_log(start);
    bool drawn = false;
    if (d.ready()) {
        bool force = force_redraw;
        force_redraw = false;
        drawn = stack.frame(d.back_surface(), force);
        if (log_on) {
            long pixels = drawn ? long(d.back_buffer().width) * d.back_buffer().height : 0;
            overlay.draw(d.back_surface(), drawn, pixels);
        }
        if (drawn || log_on)
            d.present();
    }
    if (g.recorder().active())
        g.recorder().add(d.presented(), pointer);
    overlay.add(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count());
    // Nothing moved and nothing was drawn: a quiet frame.
    bool changed = drawn || stack.animating() || pointer_down;
    if (changed)
        quiet = false;
    else if (!quiet) {
        quiet = true;
        quiet_since = start;
    }
    if (script)
        finish_script_frame();
}

void ShellState::finish_script_frame()
{
    if (script->after_frame())
        return;
    std::cerr << "NALO_SCRIPT " << script_path << ": " << script->error() << "\n";
    application.quit(2);
}

bool ShellState::script_shot(const std::string& file)
{
    return skin::write_png(file, game().display().presented());
}

void ShellState::script_quit() { application.quit(0); }

} // namespace framework
