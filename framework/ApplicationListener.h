// The receiver of the shell's notices, set by the application logic. The operations keep
// the shell's slot order; each does nothing (or allows, or does not consume) by default.
#pragma once

#include "input/KeyCodes.h"

#include <string_view>

namespace skin {
class SkinNode;
}

namespace framework {

class ApplicationListener {
public:
    virtual ~ApplicationListener() = default;

    // A second copy of the program handed over its command line (empty for none).
    virtual void command_line_received(std::u16string_view text) { }
    // The window is asked to close; true allows it.
    virtual bool close_requested() { return true; }
    virtual void form_pushed(skin::SkinNode& form) { }
    virtual void form_removed(skin::SkinNode& form) { }
    // The screen's size or orientation changed; the forms are laid out to it right after.
    virtual void screen_changed() { }
    virtual void help_requested() { }
    virtual void deactivated() { }
    virtual void activated() { }
    // Sees every key before the forms; true consumes it.
    virtual bool key_event(const input::KeyEvent& event) { return false; }
};

} // namespace framework
