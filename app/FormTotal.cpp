#include "app/FormTotal.h"
#include "app/ListKeys.h"
#include "app/NodeLookup.h"
#include "app/Settings.h"
#include "app/SimpleElement.h"

#include "framework/Application.h"

#include "platform/CaseFolding.h"
#include "platform/LetterFolding.h"
#include "platform/TextEncoding.h"
#include "platform/TimeZone.h"

#include "runtime/FileInfo.h"
#include "runtime/Log.h"
#include "runtime/Paths.h"

#include "skin/file/Properties.h"
#include "skin/list/ListNode.h"
#include "skin/nodes/ButtonNode.h"
#include "skin/nodes/LabelEditNode.h"
#include "skin/nodes/TextNode.h"

#include <algorithm>
#include <chrono>

namespace weather {

using runtime::get_log;

namespace {

// Whether the name, each code unit by its base letter, begins with the folded filter: both
// sides without case or accents, so "sao paulo" finds "São Paulo".
bool starts_with_folded(std::u16string_view name, std::u16string_view folded_filter)
{
    if (name.size() < folded_filter.size())
        return false;
    for (size_t i = 0; i < folded_filter.size(); ++i)
        if (platform::base_letter(name[i]) != folded_filter[i])
            return false;
    return true;
}

// A city is in the list under its name or, as a language's database names a city twice
// ("München" and "Munich"), under its code.
bool in_city_list(const CityEntry& entry)
{
    const Settings* settings = Settings::singleton();
    if (!settings)
        return false;
    for (const CityRecord& city : settings->cities())
        if (city.name == entry.name || city.code == entry.code)
            return true;
    return false;
}

// The translation with its "%s" replaced by the value.
std::u16string fill_in(std::u16string text, std::u16string_view value)
{
    size_t at = text.find(u"%s");
    if (at != std::u16string::npos)
        text.replace(at, 2, value);
    return text;
}

bool no_city_yet()
{
    const Settings* settings = Settings::singleton();
    return settings && settings->real_city_count() == 0;
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
    // Another language brings its own names.
    if (!m_database.empty() && language_database_path() != m_loaded_path)
        filter();
}

std::u16string FormTotal::language_database_path() const
{
    const std::u16string& language = m_skin.language().path();
    if (language.empty())
        return m_database_path;
    std::u16string path = runtime::directory_part(m_database_path) + runtime::file_name_without_extension(language)
        + u".codes.dat";
    return runtime::read_directory_entry(path).exists() ? path : m_database_path;
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
    m_list->set_count(int(m_results.size()) + row_offset());
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
        m_hint->set_text(fill_in(m_skin.translate(u"No_match"), m_edit->text()));
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
    const std::u16string filter = platform::fold_letters(m_edit->text());
    std::u16string path = language_database_path();
    if (!m_database.empty() && path != m_loaded_path) {
        get_log() << u"FormTotal::filter city names of " << path << u"\n";
        m_loaded_path = path;
        if (m_database.open(path))
            m_database.read_all();
    }
    if (!m_database.empty()) {
        const std::vector<CityEntry>& entries = m_database.entries();
        for (size_t i = 0; i < entries.size() && m_results.size() < max_results; ++i) {
            // Cities already in the list are not offered again.
            if (starts_with_folded(entries[i].name, filter) && !in_city_list(entries[i]))
                m_results.push_back(int32_t(i));
        }
    } else if (m_loaded_path = path; m_database.open(path)) {
        // The first run reads the file and filters as it goes, without the list check.
        while (const CityEntry* entry = m_database.read_next()) {
            if (starts_with_folded(entry->name, filter))
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
    update_suggestion();
    update_ruler();
    show_results();
}

void FormTotal::update_suggestion()
{
    m_suggesting = false;
    m_suggestion = -1;
    if (!m_edit->text().empty() || !no_city_yet() || m_database.empty())
        return;
    if (!m_suggestion_looked_up) {
        m_suggestion_looked_up = true;
        std::string zone = platform::system_time_zone();
        m_suggested = suggest_city(runtime::directory_part(m_database_path) + u"places.tsv", zone);
        get_log() << u"FormTotal::update_suggestion time zone " << platform::from_utf8(zone) << u": "
                  << (m_suggested.code.empty() ? std::u16string(u"none") : m_suggested.english_name) << u"\n";
    }
    if (m_suggested.code.empty())
        return;
    // The name in the user's language where the database has one beside the English.
    for (size_t i = 0; i < m_database.size(); ++i) {
        const CityEntry& entry = m_database[i];
        if (entry.code != m_suggested.code)
            continue;
        if (m_suggestion < 0 || entry.name != m_suggested.english_name)
            m_suggestion = int32_t(i);
        if (entry.name != m_suggested.english_name)
            break;
    }
    m_suggesting = m_suggestion >= 0;
}

int32_t FormTotal::entry_of_row(int row) const
{
    if (m_suggesting && row == 0)
        return m_suggestion;
    row -= row_offset();
    if (row < 0 || size_t(row) >= m_results.size())
        return -1;
    return m_results[size_t(row)];
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
    // When not every letter fits, the letters of the script the list starts with (the
    // language's own: Cyrillic in the Russian list) stay before the English names' Latin
    // ones, however many those are.
    auto script = [](char16_t c) { return c < 0x250 || (c >= 0x1E00 && c < 0x1F00) ? 0 : c >> 8; };
    if (!letters.empty() && letters[0] != u'#')
        for (size_t i = 0; i < letters.size(); ++i)
            if (letters[i] != u'#' && script(letters[i]) == script(letters[0]))
                uses[i] += m_results.size();
    m_ruler->set_letters(std::move(letters), std::move(uses));
}

std::u16string_view FormTotal::result_name(int row) const
{
    int32_t entry = entry_of_row(row);
    return entry < 0 ? std::u16string_view() : std::u16string_view(m_database[size_t(entry)].name);
}

void FormTotal::jump_to_letter(char16_t letter)
{
    for (size_t row = 0; row < m_results.size(); ++row) {
        const std::u16string& name = m_database[size_t(m_results[row])].name;
        if (!name.empty() && ruler_letter(name[0]) == ruler_letter(letter)) {
            m_list->set_highlight(int(row) + row_offset());
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
    int32_t index = entry_of_row(row);
    if (index < 0)
        return;
    const CityEntry& entry = m_database[size_t(index)];
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
    // The city leaves the matches, and the suggestion with it.
    if (m_suggesting) {
        m_suggesting = false;
        m_list->remove_row(0);
    }
    auto match = std::find(m_results.begin(), m_results.end(), index);
    if (match != m_results.end()) {
        int match_row = int(match - m_results.begin());
        m_results.erase(match);
        m_list->remove_row(match_row);
    }
    update_ruler();
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
    if (entry_of_row(index) < 0)
        return nullptr;
    auto row = std::make_unique<SimpleElement>(*this, m_skin, index);
    // The suggestion says what it is ("Suggested: Tokyo, Tokyo, Japan").
    if (m_suggesting && index == 0)
        row->fill(fill_in(m_skin.translate(u"Suggestion"), result_name(index)));
    else
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
