#include "app/SplashForm.h"
#include "app/ForecastRequest.h"
#include "app/FormMain.h"
#include "app/Settings.h"

#include "framework/Application.h"
#include "framework/LanguageCatalogue.h"
#include "framework/SkinCatalogue.h"

#include "runtime/Log.h"

#include "skin/file/PropertiesImpl.h"

namespace weather {

using runtime::get_log;

namespace {

constexpr std::u16string_view application_name = u"Weather";

void trace(const char16_t* text)
{
    get_log() << runtime::log_ticks() << text;
}

} // namespace

SplashForm::SplashForm(const skin::Properties& splash_skin)
{
    build(splash_skin, u"Splash");
    m_main_skin = std::make_unique<skin::PropertiesImpl>();
    if (auto* app = framework::Application::singleton())
        app->push_form(*this, true, true);
}

SplashForm::~SplashForm()
{
    if (auto* app = framework::Application::singleton())
        app->remove_form(*this, false);
    // The members go in the order main form, Settings, main skin object.
}

void SplashForm::life_cycle(double elapsed)
{
    SkinNode::life_cycle(elapsed);
    auto* app = framework::Application::singleton();
    if (!m_started && app && app->transition_level() == framework::Application::transition_dimmed)
        start_up();
}

void SplashForm::fail(std::u16string_view message)
{
    auto* app = framework::Application::singleton();
    app->remove_form(*this, false);
    framework::Application::message_box(message, application_name);
    // A start that failed is not a success.
    app->quit(1);
}

void SplashForm::start_up()
{
    m_started = true;
    auto* app = framework::Application::singleton();
    trace(u" WinMain splash 0\n");
    if (!framework::LanguageCatalogue(*m_main_skin, application_name).load_chosen()) {
        fail(no_languages_message);
        return;
    }
    trace(u" WinMain splash 1\n");
    if (!framework::SkinCatalogue(*m_main_skin, application_name).load_chosen()) {
        fail(m_main_skin->translate(u"NoSkins"));
        return;
    }
    trace(u" WinMain splash 1.5\n");
    m_settings = std::make_unique<Settings>();
    // Requests left in the queue by an earlier run whose daemon ended are served first.
    serve_pending_requests();
    trace(u" WinMain splash 2\n");
    m_main_form = std::make_unique<FormMain>(*m_main_skin);
    trace(u" WinMain splash 3\n");
    app->set_listener(m_main_form.get());
    if (!app->is_on_stack(*m_main_form))
        app->push_form(*m_main_form, false, true);
    if (m_settings->city_count() == 0) {
        SettingsEvent event;
        event.open_city_search = true;
        m_settings->broadcast(event);
    }
    // What loading the list found (a damaged file) goes over the first form.
    if (m_settings->has_notices())
        m_main_form->show_notices();
    app->remove_form(*this, true);
    trace(u" WinMain splash 4\n");
}

} // namespace weather
