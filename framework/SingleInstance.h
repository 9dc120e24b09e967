// One copy of the application per user. The start lock (a named mutex after the window
// class, "VevivozClass_" + name) is held from the check until the first copy has its
// window, so that of two copies started together the second waits for the first's
// window. The window lock (the class name + ".window") is held by the running copy for
// its whole life and tells a later copy that a window exists; that copy then hands its
// command line over the instance socket and ends.
#pragma once

#include "platform/NamedMutex.h"

#include <string>
#include <string_view>

namespace framework {

class SingleInstance {
public:
    // The check of Application::show_running_instance_open_bracket.
    static bool open_bracket(std::u16string_view command_line, std::u16string_view application_name);
    // Releases the start lock if this process holds it (the window exists now).
    static void close_bracket();
    static bool holds_start_lock();

    static std::u16string window_class(std::u16string_view application_name) { return u"VevivozClass_" + std::u16string(application_name); }
    static std::u16string window_lock_name(std::u16string_view window_class) { return std::u16string(window_class) + u".window"; }
    // Takes the window lock, waiting at most the time for a copy that is ending.
    static bool take_window_lock(platform::NamedMutex& lock, std::u16string_view window_class, uint32_t milliseconds);
};

} // namespace framework
