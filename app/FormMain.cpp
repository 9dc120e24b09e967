#include "app/FormMain.h"
#include "app/FormDetail.h"
#include "app/FormItems.h"
#include "app/FormMenu.h"
#include "app/FormMessage.h"
#include "app/FormTotal.h"
#include "app/NodeLookup.h"
#include "app/PageContainer.h"
#include "app/Settings.h"
#include "app/SpokenForecast.h"
#include "app/WeatherView.h"

#include "framework/Application.h"

#include "platform/Clock.h"
#include "platform/Speech.h"
#include "platform/TextEncoding.h"
#include "runtime/Log.h"

#include "skin/file/Properties.h"
#include "skin/file/PropertiesImpl.h"
#include "skin/nodes/ButtonNode.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace weather {

using runtime::get_log;

FormMain::FormMain(skin::Properties& skin)
    : m_skin(skin)
{
    uint32_t start = platform::tick_count();
    m_items = std::make_unique<FormItems>(skin);
    m_total = std::make_unique<FormTotal>(skin);
    m_menu_form = std::make_unique<FormMenu>(skin);
    m_message = std::make_unique<FormMessage>(skin);
    m_detail = std::make_unique<FormDetail>(skin);
    build_form();
    get_log() << u"load FormMain fill page " << int32_t(platform::tick_count() - start) << u"\n";
    m_skin.add_reload_listener(this);
    if (auto* app = framework::Application::singleton())
        app->push_form(*this, false, true);
}

FormMain::~FormMain()
{
    m_skin.remove_reload_listener(this);
    if (auto* app = framework::Application::singleton()) {
        if (app->listener() == this)
            app->set_listener(nullptr);
        for (skin::SkinNode* form : { static_cast<skin::SkinNode*>(m_detail.get()),
                 static_cast<skin::SkinNode*>(m_message.get()), static_cast<skin::SkinNode*>(m_menu_form.get()),
                 static_cast<skin::SkinNode*>(m_total.get()), static_cast<skin::SkinNode*>(m_items.get()),
                 static_cast<skin::SkinNode*>(this) })
            if (form)
                app->remove_form(*form, false);
    }
}

void FormMain::build_form()
{
    build(m_skin, u"FormMain");
    m_page = &find_node<PageContainer>(*this, u"page");
    m_exit = &find_node<skin::ButtonNode>(*this, u"btnExit");
    m_menu = &find_node<skin::ButtonNode>(*this, u"btnMenu");
    m_exit->set_listener(this);
    m_menu->set_listener(this);
    // The provider's name between the soft keys is optional.
    m_source = find_descendant(u"stext");
    fill_pages();
}

void FormMain::fill_pages()
{
    Settings* settings = Settings::singleton();
    if (!settings)
        return;
    for (size_t i = m_page->page_count(); i < settings->city_count(); ++i)
        m_page->append_page(std::make_unique<WeatherView>(m_skin, int32_t(i), true));
}

void FormMain::reload(skin::Properties&)
{
    int current = m_page ? m_page->current_page() : 0;
    build_form();
    m_page->jump_to(current);
}

void FormMain::draw(skin::RenderSurface& surface, skin::Point origin)
{
    FormNode::draw(surface, origin);
    m_drawn = true;
}

void FormMain::life_cycle(double elapsed)
{
    // A frame runs its life cycle after the previous frame was presented.
    if (m_drawn && !m_first_frame_traced) {
        m_first_frame_traced = true;
        get_log() << runtime::log_ticks() << u" FormMain first frame\n";
        const char* report = std::getenv("NALO_FIRST_FRAME");
        if (report && std::strcmp(report, "exit") == 0) {
            std::printf("Weather: first frame of the main form\n");
            std::fflush(stdout);
            if (auto* app = framework::Application::singleton())
                app->quit();
        }
    }
    FormNode::life_cycle(elapsed);
    // The provider is named only under its own numbers, never under sample data.
    if (m_source && m_page->page_count() > 0) {
        WeatherView& page = m_page->page(size_t(m_page->current_page()));
        Settings* settings = Settings::singleton();
        bool sample = !page.is_advertising() && settings && size_t(page.city_index()) < settings->city_count()
            && settings->city(size_t(page.city_index())).sample;
        if (m_source->visible() == sample) {
            m_source->set_visible(!sample);
            mark_dirty();
        }
    }
}

bool FormMain::key(const input::KeyEvent& event)
{
    // The soft keys come past the listener: they reach the buttons bound to them here.
    if (bound_button_key(event))
        return true;
    if (event.code == input::key_0 || event.code == input::key_a + ('S' - 'A')) {
        if (event.pressed && event.first)
            toggle_speech();
        return true;
    }
    switch (event.code) {
    case input::key_left:
    case input::key_right:
    case input::key_up:
    case input::key_down:
    case input::key_enter:
        return true;
    default:
        return false;
    }
}

skin::SkinNode* FormMain::secondary_on_top() const
{
    auto* app = framework::Application::singleton();
    skin::SkinNode* top = app ? app->top_form() : nullptr;
    if (top && (top == m_items.get() || top == m_total.get() || top == m_menu_form.get() || top == m_message.get()
            || top == m_detail.get()))
        return top;
    return nullptr;
}

bool FormMain::key_event(const input::KeyEvent& event)
{
    auto* app = framework::Application::singleton();
    if (!app || app->top_form() != this)
        return false;
    // Keypad paging: the strip glides one page on from where it is heading.
    if (event.code == input::key_left || event.code == input::key_right) {
        if (event.pressed) {
            int from = int(std::lround(m_page->target()));
            m_page->glide_to(from + (event.code == input::key_right ? 1 : -1));
            get_log() << u"FormMain glide to " << int32_t(std::lround(m_page->target())) << u"\n";
        }
        return true;
    }
    // The action key: the details of the city in view, once the strip has come to rest.
    if (event.code == input::key_enter) {
        if (event.pressed && event.first && m_page->page_count() > 0 && m_page->scroll_position() == m_page->target()) {
            WeatherView& page = m_page->page(size_t(m_page->current_page()));
            if (!page.is_advertising())
                m_detail->show(page.city_index());
        }
        return true;
    }
    return bound_button_key(event);
}

bool FormMain::bound_button_key(const input::KeyEvent& event)
{
    // The buttons answer the keys the skin binds to them: the form's own, then those of the
    // page in view (the advertising page's two).
    for (skin::ButtonNode* button : { m_exit, m_menu }) {
        if (button->bound_key() != input::key_none && button->bound_key() == event.code && button->visible())
            return button->key(event);
    }
    if (m_page->page_count() > 0 && m_page->scroll_position() == m_page->target()) {
        WeatherView& page = m_page->page(size_t(m_page->current_page()));
        if (page.is_advertising() && page.key(event))
            return true;
    }
    return false;
}

void FormMain::toggle_speech()
{
    if (!m_speech)
        m_speech = std::make_unique<platform::Speech>();
    if (m_speech->speaking()) {
        m_speech->stop();
        get_log() << u"FormMain speech stopped\n";
        return;
    }
    Settings* settings = Settings::singleton();
    if (!settings || m_page->page_count() == 0)
        return;
    WeatherView& page = m_page->page(size_t(m_page->current_page()));
    if (page.is_advertising() || page.city_index() < 0 || size_t(page.city_index()) >= settings->city_count())
        return;
    const CityRecord& record = settings->city(size_t(page.city_index()));
    std::u16string text = spoken_forecast(m_skin.language(), record, settings->degree(), platform::local_now());
    std::u16string language = m_skin.translate(u"Speech_language");
    get_log() << u"FormMain speak " << text << u"\n";
    if (!m_speech->speak(platform::to_utf8(text), platform::to_utf8(language)))
        m_message->show_text(m_skin.translate(u"Speech_missing"));
}

bool FormMain::close_requested() { return true; }

void FormMain::screen_changed()
{
    auto* app = framework::Application::singleton();
    if (!app)
        return;
    app->switch_to_direct_mode(app->screen().display_setting());
    get_log() << u"task resolution\n";
    // A turn between portrait and landscape builds every form again from the skin's
    // templates for the new shape.
    const display::ScreenDescription& screen = app->screen();
    bool landscape = screen.width > screen.height;
    auto* properties = dynamic_cast<skin::PropertiesImpl*>(&m_skin);
    if (properties && landscape != m_skin.landscape() && m_skin.load_skin(std::u16string(m_skin.path()), screen))
        properties->send_reload_skin();
}

void FormMain::clicked(skin::ButtonNode& button, skin::Point)
{
    if (&button == m_exit) {
        if (auto* app = framework::Application::singleton())
            app->quit();
    } else if (&button == m_menu) {
        if (Settings* settings = Settings::singleton()) {
            SettingsEvent event;
            event.open_menu = true;
            settings->broadcast(event);
        }
    }
}

void FormMain::on_settings_event(const SettingsEvent& event)
{
    Settings* settings = Settings::singleton();
    if (!settings)
        return;
    if (event.open_city_list) {
        get_log() << u"FormMain::on_settings_event open_city_list\n";
        m_items->open();
    }
    if (event.city_removed) {
        size_t position = settings->adjusted_index(event.index);
        get_log() << u"FormMain::on_settings_event city_removed " << int32_t(position) << u"\n";
        std::unique_ptr<WeatherView> removed = m_page->remove_page(position);
        removed.reset();
        m_total->restart_filter_timer();
    }
    if (event.open_city_search) {
        get_log() << u"FormMain::on_settings_event open_city_search\n";
        m_total->reset_and_show();
    }
    if (event.open_menu) {
        get_log() << u"FormMain::on_settings_event open_menu\n";
        m_menu_form->show();
    }
    if (event.city_list_closed) {
        get_log() << u"FormMain::on_settings_event city_list_closed\n";
        if (std::floor(m_page->scroll_position()) >= double(settings->city_count()))
            m_page->jump_to(int(settings->city_count()) - 1);
        mark_dirty();
    }
    if (event.city_added) {
        get_log() << u"FormMain::on_settings_event city_added\n";
        size_t count = settings->city_count();
        if (settings->sibling_installed()) {
            m_page->append_page(std::make_unique<WeatherView>(m_skin, int32_t(count - 1), true));
        } else {
            int32_t index = count <= 2 ? 0 : int32_t(count - 1);
            m_page->insert_page(std::make_unique<WeatherView>(m_skin, index, true));
        }
        mark_dirty();
    }
    if (event.open_limit_message) {
        get_log() << u"FormMain::on_settings_event open_limit_message\n";
        m_message->show();
    }
    if (event.show_notice)
        show_notices();
    if (event.open_details) {
        get_log() << u"FormMain::on_settings_event open_details\n";
        m_detail->show(event.index);
    }
}

void FormMain::show_notices()
{
    Settings* settings = Settings::singleton();
    if (!settings)
        return;
    std::u16string text;
    for (const Settings::Notice& notice : settings->take_notices()) {
        std::u16string line = m_skin.translate(notice.key);
        if (size_t at = line.find(u"%1"); at != std::u16string::npos)
            line.replace(at, 2, platform::widen(std::to_string(notice.count)));
        text += (text.empty() ? u"" : u"\n") + line;
    }
    get_log() << u"FormMain::show_notices " << text << u"\n";
    if (!text.empty())
        m_message->show_text(text);
}

} // namespace weather
