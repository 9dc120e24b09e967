// A receiver of SettingsEvent notices. It registers with the Settings object when it is
// built (if one exists by then) and unregisters when it is destroyed.
#pragma once

#include "app/SettingsEvent.h"

namespace weather {

class SettingsListener {
public:
    SettingsListener();
    virtual ~SettingsListener();
    SettingsListener(const SettingsListener&) = delete;
    SettingsListener& operator=(const SettingsListener&) = delete;

    virtual void on_settings_event(const SettingsEvent& event) { }
};

} // namespace weather
