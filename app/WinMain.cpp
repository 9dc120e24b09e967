#include "app/WinMain.h"
#include "app/AppNodeTypes.h"
#include "app/Settings.h"
#include "app/SplashForm.h"

#include "framework/Application.h"

#include "runtime/Log.h"
#include "runtime/Paths.h"

#include "skin/file/PropertiesImpl.h"

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
    if (!splash_skin->load_skin(runtime::expand_path(u"%app_path%/skins/bin/splash.skin"), screen)) {
        framework::Application::message_box(SplashForm::no_languages_message, name);
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
        if (Settings* settings = Settings::singleton())
            settings->save();
        splash.reset();
        unregister_app_node_types();
    }
    splash_skin.reset();
    application.reset();
    return code;
}

} // namespace weather
