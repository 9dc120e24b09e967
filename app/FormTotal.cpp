#include "app/FormTotal.h"
#include "app/ListKeys.h"
#include "app/NodeLookup.h"
#include "app/Settings.h"
#include "app/SimpleElement.h"

#include "framework/Application.h"

#include "platform/CaseFolding.h"
#include "platform/LetterFolding.h"

#include "runtime/Log.h"

#include "skin/file/Properties.h"
#include "skin/list/ListNode.h"
#include "skin/nodes/ButtonNode.h"
#include "skin/nodes/LabelEditNode.h"
#include "skin/nodes/TextNode.h"

#include <chrono>

namespace weather {

using runtime::get_log;

namespace {

// Whether the name, lower-cased code unit by code unit, begins with the lower-cased filter.
bool starts_with_lowered(std::u16string_view name, std::u16string_view lowered_filter)
{
    if (name.size() < lowered_filter.size())
        return false;
    for (size_t i = 0; i < lowered_filter.size(); ++i)
        if (platform::to_lower(name[i]) != lowered_filter[i])
            return false;
    return true;
}

bool in_city_list(std::u16string_view name)
{
    const Settings* settings = Settings::singleton();
    if (!settings)
        return false;
    for (const CityRecord& city : settings->cities())
        if (city.name == name)
            return true;
    return false;
}

} // namespace

FormTotal::FormTotal(skin::Properties& skin, std::u16string_view database_path)
    : m_skin(skin)
    , m_database_path(database_path)
    , m_timer(*this)
{
    build_form();
    set_visible(false);
    m_results.reserve(max_results);
    m_skin.add_reload_listener(this);
    // The first filtering, which reads the database, runs half a second from now.
    restart_filter_timer();
}

FormTotal::~FormTotal()
{
    m_skin.remove_reload_listener(this);
    if (auto* app = framework::Application::singleton()) {
        if (app->focused() == &m_edit->edit())
            app->focus(nullptr, false);
        app->remove_form(*this, false);
    }
    if (m_list->source() == this)
        m_list->set_source(nullptr);
}

void FormTotal::build_form()
{
    std::u16string text = m_edit ? m_edit->text() : std::u16string();
    m_ruler.reset();
    build(m_skin, template_name);
    m_back = &find_node<skin::ButtonNode>(*this, u"btnBack");
    m_list = &find_node<skin::ListNode>(*this, u"listTotal");
    m_edit = &find_node<skin::LabelEditNode>(*this, u"editName");
    m_ruler = std::make_unique<AlphabetRuler>(*this, m_skin, [this](char16_t letter) { jump_to_letter(letter); });
    m_hint = dynamic_cast<skin::TextNode*>(find_descendant(u"hint"));
    m_back->set_listener(this);
    m_edit->set_listener(this);
    // A keypad phone types the language's letters.
    m_keypad = framework::KeypadLetters::from_language(m_skin.language());
    if (auto* app = framework::Application::singleton())
        app->set_keypad(m_keypad);
    if (!text.empty())
        m_edit->edit().set_text(text);
    update_ruler();
    show_results();
}

void FormTotal::reload(skin::Properties&)
{
    build_form();
}

void FormTotal::reset_and_show()
{
    // Each search starts afresh: an empty field over every city not yet in the list. The
    // first one waits for the timer that reads the database.
    if (!m_edit->text().empty())
        m_edit->edit().set_text(u"");
    if (!m_database.empty())
        filter();
    get_log() << u"FormTotal::reset_and_show results=" << int32_t(m_results.size()) << u"\n";
    show_results();
    if (auto* app = framework::Application::singleton()) {
        app->push_form(*this, true, true);
        focus_edit();
    }
}

void FormTotal::focus_edit()
{
    if (auto* app = framework::Application::singleton())
        app->focus(&m_edit->edit(), true);
}

void FormTotal::show_results()
{
    // The list starts again from its top with the matches as they are now.
    m_list->set_source(this);
    m_list->set_count(int(m_results.size()));
    show_hint();
}

void FormTotal::show_hint()
{
    if (!m_hint)
        return;
    // Only a filtering that found nothing says so; before the first one the list is
    // still being read.
    bool nothing = m_filter_count > 0 && m_results.empty() && !m_edit->text().empty();
    if (nothing) {
        std::u16string text = m_skin.translate(u"No_match");
        size_t at = text.find(u"%s");
        if (at != std::u16string::npos)
            text.replace(at, 2, m_edit->text());
        m_hint->set_text(text);
    }
    m_hint->set_visible(nothing);
}

void FormTotal::restart_filter_timer()
{
    m_timer.after(filter_delay);
}

bool FormTotal::filter_pending() const
{
    return m_timer.is_running();
}

void FormTotal::on_timer(runtime::ActiveTimer&)
{
    filter();
}

void FormTotal::text_changed(skin::EditNode&)
{
    restart_filter_timer();
}

void FormTotal::filter()
{
    auto start = std::chrono::steady_clock::now();
    m_timer.cancel();
    m_results.clear();
    const std::u16string filter = platform::to_lower(m_edit->text());
    if (!m_database.empty()) {
        const std::vector<CityEntry>& entries = m_database.entries();
        for (size_t i = 0; i < entries.size() && m_results.size() < max_results; ++i) {
            // Cities already in the list are not offered again.
            if (starts_with_lowered(entries[i].name, filter) && !in_city_list(entries[i].name))
                m_results.push_back(int32_t(i));
        }
    } else if (m_database.open(m_database_path)) {
        // The first run reads the file and filters as it goes, without the list check.
        while (const CityEntry* entry = m_database.read_next()) {
            if (starts_with_lowered(entry->name, filter))
                m_results.push_back(int32_t(m_database.size() - 1));
            if (m_results.size() >= max_results) {
                m_database.close();
                break;
            }
        }
    }
    m_last_filter_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ++m_filter_count;
    get_log() << u"Filtered " << int32_t(m_results.size()) << u" for " << m_last_filter_seconds << u" seconds.\n";
    update_ruler();
    show_results();
}

char16_t FormTotal::ruler_letter(char16_t first)
{
    // Digits and signs share one entry, as the database files them after the letters.
    if (!platform::is_letter(first))
        return u'#';
    return platform::to_upper(platform::base_letter(first));
}

void FormTotal::update_ruler()
{
    // The database is sorted by base letter ("Aachen", "al-Qamishli", "Alba", "Århus"):
    // a letter, its other case and its accented forms are one entry, shown in upper case.
    std::u16string letters;
    std::vector<size_t> uses;
    for (int32_t index : m_results) {
        const std::u16string& name = m_database[size_t(index)].name;
        if (name.empty())
            continue;
        char16_t letter = ruler_letter(name[0]);
        if (letters.empty() || letters.back() != letter) {
            letters.push_back(letter);
            uses.push_back(0);
        }
        ++uses.back();
    }
    m_ruler->set_letters(std::move(letters), std::move(uses));
}

std::u16string_view FormTotal::result_name(int row) const
{
    if (row < 0 || size_t(row) >= m_results.size())
        return {};
    return m_database[size_t(m_results[size_t(row)])].name;
}

void FormTotal::jump_to_letter(char16_t letter)
{
    for (size_t row = 0; row < m_results.size(); ++row) {
        const std::u16string& name = m_database[size_t(m_results[row])].name;
        if (!name.empty() && ruler_letter(name[0]) == ruler_letter(letter)) {
            m_list->set_highlight(int(row));
            return;
        }
    }
}

bool FormTotal::keypad_in_list() const
{
    auto* app = framework::Application::singleton();
    return app && framework::Application::static_capability_is_smartphone() && app->focused() != &m_edit->edit();
}

void FormTotal::erase_last_letter()
{
    const std::u16string& text = m_edit->text();
    if (text.empty())
        return;
    size_t cut = text.size() - 1;
    if (cut > 0 && text[cut] >= 0xDC00 && text[cut] < 0xE000 && text[cut - 1] >= 0xD800 && text[cut - 1] < 0xDC00)
        --cut;
    std::u16string kept(text, 0, cut);
    m_edit->edit().set_text(kept);
    // The typing session takes the node's new text.
    if (auto* app = framework::Application::singleton(); app && app->focused() == &m_edit->edit())
        app->focus(&m_edit->edit(), true);
}

void FormTotal::jump_by_key(int digit)
{
    // The ruler letters on that key, in the ruler's order; the same key again goes on to
    // the next one.
    const std::u16string& on_key = m_keypad.letters(0, digit);
    std::u16string targets;
    for (char16_t letter : m_ruler->letters())
        for (char16_t c : on_key)
            if (ruler_letter(c) == letter) {
                targets.push_back(letter);
                break;
            }
    if (targets.empty())
        return;
    m_jump_index = digit == m_jump_digit ? (m_jump_index + 1) % targets.size() : 0;
    m_jump_digit = digit;
    jump_to_letter(targets[m_jump_index]);
}

void FormTotal::choose(int row)
{
    if (row < 0 || size_t(row) >= m_results.size())
        return;
    const CityEntry& entry = m_database[size_t(m_results[size_t(row)])];
    get_log() << u"FormTotal::choose " << entry.code << u" " << entry.name << u"\n";
    if (auto* app = framework::Application::singleton()) {
        if (app->focused() == &m_edit->edit())
            app->focus(nullptr, false);
        app->remove_form(*this, true);
    }
    Settings* settings = Settings::singleton();
    // A full list takes no city (the form opens only while there is room).
    if (settings && !settings->add_city(entry.code, entry.name))
        return;
    m_results.erase(m_results.begin() + row);
    update_ruler();
    m_list->remove_row(row);
}

void FormTotal::back()
{
    if (auto* app = framework::Application::singleton()) {
        if (app->focused() == &m_edit->edit())
            app->focus(nullptr, false);
        app->remove_form(*this, true);
        Settings* settings = Settings::singleton();
        if (!settings || settings->city_count() == 0)
            app->quit();
    }
}

std::unique_ptr<skin::ListRowNode> FormTotal::create_row(skin::ListNode&, int index)
{
    if (index < 0 || size_t(index) >= m_results.size())
        return nullptr;
    auto row = std::make_unique<SimpleElement>(*this, m_skin, index);
    row->fill(result_name(index));
    return row;
}

void FormTotal::row_activated(skin::ListNode&, int index)
{
    choose(index);
}

void FormTotal::clicked(skin::ButtonNode& button, skin::Point)
{
    if (&button == m_back)
        back();
}

bool FormTotal::key(const input::KeyEvent& event)
{
    switch (event.code) {
    case input::key_backspace:
        // Back takes the last letter while there is one, as on every phone, and leaves as
        // btnBack does once the field is empty; the typing session keeps its own Backspace.
        if (event.pressed) {
            if (!m_edit->text().empty())
                erase_last_letter();
            else if (event.first)
                back();
        }
        return true;
    case input::key_up:
        // A keypad phone goes back to typing from the top of the list.
        if (event.pressed && keypad_in_list() && m_list->highlight_position() < 0.5) {
            m_list->set_highlight(-1);
            focus_edit();
            return true;
        }
        return list_key(*m_list, event);
    case input::key_down:
    case input::key_page_up:
    case input::key_page_down:
    case input::key_volume_up:
    case input::key_volume_down: {
        bool taken = list_key(*m_list, event);
        // On a keypad phone the list takes the keys from the field: a digit then jumps
        // through the ruler's letters of that key.
        auto* app = framework::Application::singleton();
        if (taken && app && framework::Application::static_capability_is_smartphone() && m_list->highlight_position() >= 0
            && app->focused() == &m_edit->edit())
            app->focus(nullptr, false);
        return taken;
    }
    case input::key_enter:
        return list_key(*m_list, event);
    default:
        if (input::is_digit_key(event.code) && keypad_in_list()) {
            if (event.pressed)
                jump_by_key(event.code - input::key_0);
            return true;
        }
        return FormNode::key(event);
    }
}

} // namespace weather
