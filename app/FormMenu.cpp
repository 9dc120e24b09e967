#include "app/FormMenu.h"
#include "app/NodeLookup.h"
#include "app/Settings.h"

#include "framework/Application.h"
#include "framework/LanguageCatalogue.h"
#include "framework/PopupMenu.h"
#include "framework/SkinCatalogue.h"

#include "runtime/Log.h"

#include "skin/file/PropertiesImpl.h"
#include "skin/nodes/ButtonNode.h"
#include "skin/nodes/MultiNode.h"
#include "skin/nodes/TextNode.h"

namespace weather {

namespace {

constexpr std::u16string_view application = u"Weather";
constexpr std::u16string_view cancel = u"Cancel";
constexpr std::u16string_view update_time = u"UpdateTime";

} // namespace

FormMenu::FormMenu(skin::Properties& skin, std::u16string_view language_folder, std::u16string_view skin_base)
    : m_skin(skin)
    , m_language_folder(language_folder)
    , m_skin_base(skin_base)
    , m_languages(std::make_unique<framework::LanguageCatalogue>(skin, application, language_folder))
    , m_skins(std::make_unique<framework::SkinCatalogue>(skin, application, skin_base))
    , m_popup(std::make_unique<framework::PopupMenu>())
{
    build_form();
    set_visible(false);
    m_skin.add_reload_listener(this);
}

FormMenu::~FormMenu()
{
    m_skin.remove_reload_listener(this);
    if (auto* app = framework::Application::singleton()) {
        app->remove_form(*m_popup, false);
        app->remove_form(*this, false);
    }
}

void FormMenu::build_form()
{
    build(m_skin, template_name);
    m_add = &find_node<skin::ButtonNode>(*this, u"btnAdd");
    m_celsius = &find_node<skin::MultiNode>(*this, u"btnC");
    m_fahrenheit = &find_node<skin::MultiNode>(*this, u"btnF");
    m_table = &find_node<skin::SkinNode>(*this, u"table");
    m_icon = &find_node<skin::MultiNode>(*m_table, u"btnIco");
    m_value = &find_node<skin::MultiNode>(*m_table, u"btnVal");
    m_language = &find_node<skin::ButtonNode>(*this, u"btnLanguage");
    m_skin_button = &find_node<skin::ButtonNode>(*this, u"btnSkin");
    m_update = &find_node<skin::ButtonNode>(*this, u"btnUpdate");
    m_back = &find_node<skin::ButtonNode>(*this, u"btnBack");
    for (skin::ButtonNode* button : { m_add, m_language, m_skin_button, m_update, m_back })
        button->set_listener(this);
    for (skin::MultiNode* check : { m_celsius, m_fahrenheit, m_icon, m_value })
        check->set_listener(this);
    m_popup->build_popup(m_skin, this, popup_template, entry_template);
    update_nodes();
}

void FormMenu::reload(skin::Properties&)
{
    build_form();
}

void FormMenu::update_nodes()
{
    const Settings* settings = Settings::singleton();
    bool degree = settings ? settings->degree() : true;
    bool icon = settings ? settings->icon() : false;
    m_table->set_visible(settings && settings->sibling_installed());
    m_language->set_visible(m_languages->has_choice());
    m_skin_button->set_visible(m_skins->has_choice());
    // The buttons say what is chosen, the language by its own name ("Sprache: Deutsch"),
    // so that a user lost in a language they cannot read still finds their own.
    auto show_choice = [this](skin::ButtonNode& button, std::u16string_view key, const std::u16string& choice) {
        auto* text = dynamic_cast<skin::TextNode*>(button.find_descendant(u"#text"));
        if (text && !choice.empty())
            text->set_text(m_skin.translate(key) + u": " + choice);
    };
    show_choice(*m_language, u"Language", m_languages->current_display_name());
    std::u16string skin_name = m_skins->current_name();
    const std::u16string* skin_text = m_skin.language().find(u"Skin#" + skin_name);
    show_choice(*m_skin_button, u"Skin", skin_text ? *skin_text : skin_name);
    m_celsius->set_state(degree ? 1 : 0);
    m_fahrenheit->set_state(degree ? 0 : 1);
    m_icon->set_state(icon ? 1 : 0);
    m_value->set_state(icon ? 0 : 1);
    runtime::get_log() << u"FormMenu::update_nodes table=" << int32_t(m_table->visible()) << u" language="
                       << int32_t(m_language->visible()) << u" skin=" << int32_t(m_skin_button->visible()) << u"\n";
}

void FormMenu::show()
{
    update_nodes();
    if (auto* app = framework::Application::singleton())
        app->push_form(*this, true, true);
}

void FormMenu::show_again()
{
    if (auto* app = framework::Application::singleton()) {
        app->remove_form(*this, false);
        update_nodes();
        app->push_form(*this, true, false);
    }
}

void FormMenu::back()
{
    if (auto* app = framework::Application::singleton()) {
        app->remove_form(*this, true);
        const Settings* settings = Settings::singleton();
        if (!settings || settings->city_count() == 0)
            app->quit();
    }
}

framework::PopupMenu& FormMenu::popup() const
{
    return *m_popup;
}

void FormMenu::open_popup(std::u16string_view identifier)
{
    m_popup->open(identifier);
}

void FormMenu::on_popup(std::u16string_view identifier, std::vector<framework::PopupMenuEntry>& entries)
{
    runtime::get_log() << u"FormMenu::on_popup " << identifier << u"\n";
    auto* properties = dynamic_cast<skin::PropertiesImpl*>(&m_skin);
    if (m_skins->popup(identifier, entries, cancel)) {
        // Every form is built again from the new skin; the menu shows in it.
        if (properties)
            properties->send_reload_skin();
        show_again();
    }
    if (m_languages->popup(identifier, entries, cancel)) {
        // The texts are read when the forms are built: they are built again.
        if (properties)
            properties->send_reload_skin();
        show_again();
    }
    if (identifier == update_time) {
        int32_t current = Settings::singleton() ? Settings::singleton()->update_time() : Settings::default_update_time;
        std::u16string_view checked = u"none";
        for (const Interval& interval : intervals) {
            framework::PopupMenuEntry entry;
            entry.identifier = interval.identifier;
            entry.checked = interval.minutes == current;
            if (entry.checked)
                checked = interval.identifier;
            entries.push_back(std::move(entry));
        }
        runtime::get_log() << u"FormMenu::on_popup UpdateTime " << current << u" checked " << checked << u"\n";
        framework::PopupMenuEntry entry;
        entry.identifier = cancel;
        entries.push_back(std::move(entry));
    }
    for (const Interval& interval : intervals) {
        if (identifier == interval.identifier) {
            if (Settings* settings = Settings::singleton())
                settings->set_update_time(interval.minutes);
        }
    }
}

void FormMenu::clicked(skin::ButtonNode& button, skin::Point)
{
    Settings* settings = Settings::singleton();
    skin::SkinNode* owner = button.parent();
    if (&button == m_add) {
        if (auto* app = framework::Application::singleton())
            app->remove_form(*this, true);
        if (settings) {
            SettingsEvent event;
            event.open_city_list = true;
            settings->broadcast(event);
        }
    } else if (&button == m_back) {
        back();
    } else if (&button == m_language) {
        open_popup(framework::LanguageCatalogue::menu_identifier);
    } else if (&button == m_skin_button) {
        open_popup(framework::SkinCatalogue::menu_identifier);
    } else if (&button == m_update) {
        open_popup(update_time);
    } else if (settings && (owner == m_celsius || owner == m_fahrenheit)) {
        // The pairs behave as radio buttons: both are checked again from the option.
        settings->set_degree(owner == m_celsius);
        update_nodes();
    } else if (settings && (owner == m_icon || owner == m_value)) {
        settings->set_icon(owner == m_icon);
        update_nodes();
    }
}

bool FormMenu::key(const input::KeyEvent& event)
{
    if (event.code == input::key_backspace) {
        if (event.pressed && event.first)
            back();
        return true;
    }
    return FormNode::key(event);
}

} // namespace weather
