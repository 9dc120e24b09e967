// The city search: the user types the beginning of a city's name into "editName" and
// picks a match from "listTotal"; the alphabet ruler jumps to the first match of a letter.
// The matches come from the city database of the current language ("german.codes.dat"
// beside "codes.dat", which serves every language without one), read on the first
// filtering (half a second after construction) and kept until the language changes. The
// filter runs half a second after the last change of the text and matches the beginning
// of a name without regard to case or accents ("munchen" finds München); cities already
// in the list are left out (except on the very first filtering, which reads the file).
// While the list holds no city and nothing is typed, the first row suggests the largest
// city of the system's time zone.
//
// Keypad: the form opens with its edit field focused; Down moves into the list, Up and
// Down move the highlight, PageUp and PageDown by a screen, Enter chooses; Back takes the
// last letter and, with the field empty, leaves as "btnBack" does. On a keypad phone the
// digits type letters by multi-tap; once the list has the highlight they jump through
// the ruler's letters of their key, and Up from the first row goes back to typing.
#pragma once

#include "app/AlphabetRuler.h"
#include "app/CityDatabase.h"
#include "app/CitySuggestion.h"
#include "app/SettingsListener.h"

#include "framework/KeypadLetters.h"

#include "runtime/ActiveTimer.h"
#include "runtime/TimerListener.h"

#include "skin/file/ReloadListener.h"
#include "skin/list/ListSource.h"
#include "skin/nodes/ButtonListener.h"
#include "skin/nodes/EditNodeListener.h"
#include "skin/nodes/FormNode.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace skin {
class ButtonNode;
class LabelEditNode;
class ListNode;
class Properties;
class TextNode;
} // namespace skin

namespace weather {

class FormTotal : public skin::FormNode,
                  public skin::ListSource,
                  public skin::EditNodeListener,
                  public skin::ButtonListener,
                  public skin::ReloadListener,
                  public runtime::TimerListener,
                  public SettingsListener {
public:
    static constexpr std::u16string_view template_name = u"FormTotal";
    static constexpr std::u16string_view row_template = u"SimpleElement";
    static constexpr size_t max_results = CityDatabase::max_entries;
    static constexpr double filter_delay = 0.5; // seconds after the last change

    // Builds the form (plexor::NodeNotFoundInSkin / NodeNotFound on a skin that does
    // not match), reserves the capacities and starts the filter timer.
    FormTotal(skin::Properties& skin, std::u16string_view database_path = city_database_path);
    ~FormTotal() override;

    // On open_city_search: the list shows the current matches from the top and the form
    // is pushed with dims-below, its edit field focused.
    void reset_and_show();
    // Cancels the filter timer and starts it again with half a second.
    void restart_filter_timer();
    bool filter_pending() const;
    // The filtering the timer runs (see the file comment); public for tests and benches.
    void filter();
    // Chooses match `row`: the form closes, the city is added, the match leaves the list.
    void choose(int row);
    // Scrolls to and highlights the first match filed under the ruler letter of `letter`.
    void jump_to_letter(char16_t letter);
    // The ruler's entry for a first letter: its base letter in upper case ("a", "Å", "Ś"
    // and the dotted "İ" of "İzmir" give "A", "A", "S" and "I"); digits and signs "#".
    static char16_t ruler_letter(char16_t first);
    // btnBack: the form leaves; with an empty city list the program ends.
    void back();

    const CityDatabase& database() const { return m_database; }
    // The database file in use: the current language's where it has one.
    const std::u16string& database_path() const { return m_loaded_path; }
    const std::vector<int32_t>& results() const { return m_results; }
    // The name of the city on list row `row` (empty outside the rows).
    std::u16string_view result_name(int row) const;
    // Whether the first row is the time zone's suggestion (before the matches).
    bool suggesting() const { return m_suggesting; }
    const skin::Properties& skin() const { return m_skin; }
    skin::ListNode& list() const { return *m_list; }
    skin::LabelEditNode& edit() const { return *m_edit; }
    skin::ButtonNode& back_button() const { return *m_back; }
    AlphabetRuler& ruler() const { return *m_ruler; }
    // The number of filterings run; the time the last one took in seconds.
    int filter_count() const { return m_filter_count; }
    double last_filter_seconds() const { return m_last_filter_seconds; }

    // ListSource
    std::unique_ptr<skin::ListRowNode> create_row(skin::ListNode& list, int index) override;
    void row_activated(skin::ListNode& list, int index) override;
    // EditNodeListener: the text changed; the filter runs half a second later.
    void text_changed(skin::EditNode& node) override;
    // ButtonListener (btnBack)
    void clicked(skin::ButtonNode& button, skin::Point point) override;
    void press_changed(skin::ButtonNode&, skin::Point, bool) override { }
    void dragged(skin::ButtonNode&, skin::Point, skin::Point) override { }
    // ReloadListener: a new skin; the form is built again.
    void reload(skin::Properties& properties) override;
    // TimerListener: the filter timer fired.
    void on_timer(runtime::ActiveTimer& timer) override;

    bool key(const input::KeyEvent& event) override;

private:
    void build_form();
    // The current language's database when there is one beside the default, else the default.
    std::u16string language_database_path() const;
    // The database entry on list row `row`, or -1.
    int32_t entry_of_row(int row) const;
    int row_offset() const { return m_suggesting ? 1 : 0; }
    // The suggestion applies to an empty list and an empty field; looked up once.
    void update_suggestion();
    void update_ruler();
    void show_results();
    // A keypad phone whose list has the keys (the field has given up the focus).
    bool keypad_in_list() const;
    void erase_last_letter();
    // A digit on a keypad phone: the next ruler letter of that key.
    void jump_by_key(int digit);
    // The optional "hint" text: "No city starts with …" when a filtering found nothing.
    void show_hint();
    void focus_edit();

    skin::Properties& m_skin;
    std::u16string m_database_path;
    std::u16string m_loaded_path;
    CityDatabase m_database;
    CitySuggestion m_suggested;
    bool m_suggestion_looked_up { false };
    bool m_suggesting { false };
    int32_t m_suggestion { -1 };
    std::vector<int32_t> m_results;
    runtime::ActiveTimer m_timer;
    std::unique_ptr<AlphabetRuler> m_ruler;
    skin::ButtonNode* m_back { nullptr };
    skin::ListNode* m_list { nullptr };
    skin::LabelEditNode* m_edit { nullptr };
    skin::TextNode* m_hint { nullptr };
    framework::KeypadLetters m_keypad;
    int m_jump_digit { -1 };
    size_t m_jump_index { 0 };
    int m_filter_count { 0 };
    double m_last_filter_seconds { 0 };
};

} // namespace weather
