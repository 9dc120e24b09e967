#include "framework/GameBase.h"

#include "framework/SingleInstance.h"

#include "platform/Clock.h"
#include "platform/TextEncoding.h"
#include "runtime/Log.h"
#include "runtime/Paths.h"
#include "runtime/Registry.h"

#include <iostream>

namespace framework {

namespace {

const char16_t* const nalo_key = u"HKEY_CURRENT_USER\\Software\\NALO";

void step(int number)
{
    runtime::get_log() << int32_t(platform::tick_count()) << u" GameBase " << int32_t(number) << u"\n";
}

} // namespace

GameBase::GameBase(std::u16string_view application_name, platform::WindowProcedure procedure)
    : ApplicationCore(nullptr, application_name)
    , m_clock(platform::tick_count())
{
    step(0);
    uint32_t panel = 0;
    if (runtime::read_number(nalo_key, u"SIPPreference", panel))
        m_panel_preference = panel != 0;
    step(1);
    m_recorder.start(u"/Temp/NaloRecordPicture.bmp", u"/Temp/" + runtime::expand_path(u"%app_name%.zip"));
    if (m_recorder.active())
        m_clock.set_fixed(0.04);
    step(2);
    // The window is mapped once, with its title and the icon beside the program.
    display::WindowLook look;
    look.title = platform::to_utf8(application_name);
    look.load_icon(runtime::narrow_path(runtime::expand_path(u"%app_path%/" + std::u16string(application_name) + u".png")));
    std::string reason;
    m_display = display::create_display(look, reason);
    if (!m_display->has_window())
        runtime::get_log() << u"GameBase headless: " << std::u16string_view(platform::from_utf8(reason)) << u"\n";
    step(3);
    m_screen = m_display->screen();
    std::u16string debug_dpi;
    if (runtime::read_string(nalo_key, u"DebugDPI", debug_dpi))
        m_display->set_debug_resolution(debug_dpi.empty());
    step(4);
    m_window = platform::MessageQueue::current().create_window(window_class_name(), std::move(procedure));
    // The close step: the window exists, so the instance socket opens and a later copy
    // may look for this one.
    if (SingleInstance::take_window_lock(m_window_lock, window_class_name(), 2000)) {
        m_server = std::make_unique<InstanceServer>([this](std::u16string text) {
            queue_command_line(std::move(text));
            platform::MessageQueue::post_to_window(m_window, message_command_line);
        });
        std::string error;
        if (!m_server->listen(instance_socket_path(window_class_name()), error)) {
            runtime::get_log() << u"GameBase no instance socket: " << std::u16string_view(platform::from_utf8(error)) << u"\n";
            m_server.reset();
        }
    }
    SingleInstance::close_bracket();
    set_frame_timer(true);
    step(5);
}

GameBase::~GameBase()
{
    set_frame_timer(false);
    m_server.reset();
    m_recorder.close();
    if (m_window)
        platform::MessageQueue::current().destroy_window(m_window);
    m_display.reset();
    m_window_lock.release();
    SingleInstance::close_bracket();
}

void GameBase::store_panel_preference(bool up)
{
    m_panel_preference = up;
    runtime::write_number(nalo_key, u"SIPPreference", up ? 1 : 0);
}

void GameBase::queue_command_line(std::u16string text)
{
    std::lock_guard guard(m_command_lock);
    m_command_lines.push_back(std::move(text));
}

std::optional<std::u16string> GameBase::take_command_line()
{
    std::lock_guard guard(m_command_lock);
    if (m_command_lines.empty())
        return std::nullopt;
    std::u16string text = std::move(m_command_lines.front());
    m_command_lines.pop_front();
    return text;
}

void GameBase::set_frame_timer(bool running)
{
    if (running == m_frame_timer)
        return;
    m_frame_timer = running;
    if (running)
        platform::MessageQueue::current().set_timer(m_window, frame_timer, frame_period_ms);
    else
        platform::MessageQueue::current().kill_timer(m_window, frame_timer);
}

void GameBase::rearm_frame_timer(uint32_t milliseconds)
{
    if (m_frame_timer)
        platform::MessageQueue::current().set_timer(m_window, frame_timer, milliseconds);
}

} // namespace framework
