#include "app/WinMain.h"
#include "app/AppNodeTypes.h"
#include "app/Settings.h"
#include "app/SplashForm.h"

#include "framework/Application.h"

#include "runtime/Log.h"
#include "runtime/Paths.h"

#include "skin/file/PropertiesImpl.h"

#include "platform/HostPath.h"

#include <iostream>

#include <memory>

namespace weather {

namespace {

void trace(const char16_t* text)
{
    runtime::get_log() << runtime::log_ticks() << text;
}

} // namespace

int WinMain(std::u16string_view command_line)
{
    constexpr std::u16string_view name = u"Weather";
    if (framework::Application::show_running_instance_open_bracket(command_line, name))
        return 0;
    trace(u" WinMain 1\n");
    auto application = std::make_unique<framework::Application>(name);
    auto splash_skin = std::make_unique<skin::PropertiesImpl>();
    const display::ScreenDescription screen = application->screen();
    int code = 0;
    const std::u16string splash_path = runtime::expand_path(u"%app_path%/skins/bin/splash.skin");
    if (!splash_skin->load_skin(splash_path, screen)) {
        // The box keeps its text; the terminal and the log name the file (the skin or one
        // of its bitmaps), and the start failed.
        std::u16string failed = splash_skin->failed_file().empty() ? splash_path : splash_skin->failed_file();
        std::cerr << "Weather: cannot load the splash skin: " << platform::host_path(failed) << std::endl;
        runtime::get_log() << u"WinMain cannot load the splash skin: " << failed << u"\n";
        framework::Application::message_box(SplashForm::no_languages_message, name);
        code = 1;
    } else {
        trace(u" WinMain 3\n");
        trace(u" WinMain 4\n");
        application->switch_to_windowed_mode(false);
        application->set_key_capture(false);
        application->switch_to_direct_mode(screen.display_setting());
        register_app_node_types();
        trace(u" WinMain 5\n");
        auto splash = std::make_unique<SplashForm>(*splash_skin);
        trace(u" WinMain 6\n");
        code = application->run();
        if (Settings* settings = Settings::singleton(); settings && !settings->save()) {
            // The list of the run is not on the disk: the program does not end as a success.
            std::cerr << "Weather: the city list could not be saved to "
                      << platform::host_path(runtime::expand_path(settings_file_path)) << std::endl;
            if (code == 0)
                code = 1;
        }
        splash.reset();
        unregister_app_node_types();
    }
    splash_skin.reset();
    application.reset();
    return code;
}

} // namespace weather
