#include "framework/SingleInstance.h"

#include "framework/InstanceChannel.h"

#include "platform/TextEncoding.h"
#include "runtime/Log.h"

#include <iostream>
#include <memory>

namespace framework {

namespace {

std::unique_ptr<platform::NamedMutex>& start_lock()
{
    static std::unique_ptr<platform::NamedMutex> lock;
    return lock;
}

constexpr int answer_timeout_ms = 3000;

} // namespace

bool SingleInstance::open_bracket(std::u16string_view command_line, std::u16string_view application_name)
{
    runtime::get_log() << u"Application::show_running_instance_open_bracket cmd_line=" << command_line << u"\n";
    std::u16string class_name = window_class(application_name);
    auto lock = std::make_unique<platform::NamedMutex>();
    if (!lock->create(class_name)) {
        runtime::get_log() << u"Application::show_running_instance_open_bracket mutex==0\n";
        return false;
    }
    // Without time-out: the copy that holds it lets go once its window exists.
    while (!lock->wait(1000)) {
    }
    platform::NamedMutex probe;
    if (!probe.create(window_lock_name(class_name)) || probe.wait(0)) {
        // No window: this copy goes on and lets go of the start lock once it has one.
        probe.release();
        start_lock() = std::move(lock);
        return false;
    }
    InstanceAnswer answer = send_command_line(instance_socket_path(class_name), command_line, answer_timeout_ms);
    runtime::get_log() << u"Application::EnumProc window found hwnd=" << int32_t(answer.process) << u" 1\n";
    runtime::get_log() << u"Application::EnumProc window found 2\n";
    if (!answer.delivered)
        std::cerr << platform::to_utf8(application_name) << ": the running copy did not take the command line: " << answer.message
                  << "\n";
    lock->release();
    return true;
}

void SingleInstance::close_bracket()
{
    if (start_lock())
        start_lock()->release();
    start_lock().reset();
}

bool SingleInstance::holds_start_lock() { return start_lock() && start_lock()->is_owned(); }

bool SingleInstance::take_window_lock(platform::NamedMutex& lock, std::u16string_view window_class, uint32_t milliseconds)
{
    return lock.create(window_lock_name(window_class)) && lock.wait(milliseconds);
}

} // namespace framework
