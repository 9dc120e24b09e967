#include "app/SettingsListener.h"
#include "app/Settings.h"

namespace weather {

SettingsListener::SettingsListener()
{
    if (Settings* settings = Settings::singleton())
        settings->add_listener(this);
}

SettingsListener::~SettingsListener()
{
    if (Settings* settings = Settings::singleton())
        settings->remove_listener(this);
}

} // namespace weather
