// The city list: the real cities (never the advertising slot) in page order, each with a
// delete button that arms the deletion and a confirm button that carries it out, and a
// drag handle that moves the city up or down ("svlist", ReorderList). "btnPlus" adds a
// city (the city search, or the message form when the list is full); "btnBack" leaves.
// One mark per row, in a bit set, says whether the row's deletion is armed.
//
// Keypad: Up and Down highlight a city, Del arms the deletion of the highlighted city and
// a second Del confirms it, "*" and "#" move it up and down, Insert adds a city, Back
// leaves as "btnBack" does.
#pragma once

#include "app/ReorderList.h"
#include "app/SettingsListener.h"

#include "framework/PopupMenuOwner.h"

#include "skin/file/ReloadListener.h"
#include "skin/list/ListSource.h"
#include "skin/nodes/ButtonListener.h"
#include "skin/nodes/FormNode.h"

#include <memory>
#include <string_view>
#include <vector>

namespace skin {
class ButtonNode;
class Properties;
} // namespace skin

namespace framework {
class PopupMenu;
}

namespace weather {

class CityListElement;

class FormItems : public skin::FormNode,
                  public skin::ListSource,
                  public framework::PopupMenuOwner,
                  public ReorderListener,
                  public skin::ButtonListener,
                  public skin::ReloadListener,
                  public SettingsListener {
public:
    static constexpr std::u16string_view template_name = u"FormItems";
    static constexpr std::u16string_view row_template = u"CityListElement";

    // Builds the form; plexor::NodeNotFoundInSkin / NodeNotFound on a skin that does not
    // match.
    explicit FormItems(skin::Properties& skin);
    ~FormItems() override;

    // On open_city_list: one cleared mark per real city, the rows from the top, pushed
    // with dims-below.
    void open();
    // The number of rows: the real cities.
    int row_count() const;
    // The record index of a row: the row itself when it is 0 or the sibling product is
    // installed, else the row + 1.
    size_t record_index(int row) const;

    bool mark(int row) const;
    size_t mark_count() const { return m_marks.size(); }
    // btnDel of a row: inverts the mark, shows or hides the confirm button.
    void toggle_mark(int row);
    // btnDelF of a row: the city is erased from the list (city_removed follows).
    void confirm_delete(int row);
    // "*" / "#": the city moves one row up (-1) or down (+1); false at an end.
    bool move_city(int row, int direction);
    void back();
    void add();
    // The right soft key: Add; on a keypad phone with a highlighted city a pop-up that
    // adds, deletes or moves it, for a phone has no Delete key.
    void options();
    framework::PopupMenu& popup() const { return *m_popup; }
    static constexpr std::u16string_view options_identifier = u"Cities";

    const skin::Properties& skin() const { return m_skin; }
    ReorderList& list() const { return *m_list; }
    skin::ButtonNode& back_button() const { return *m_back; }
    skin::ButtonNode& plus_button() const { return *m_plus; }

    // ListSource
    std::unique_ptr<skin::ListRowNode> create_row(skin::ListNode& list, int index) override;
    void row_activated(skin::ListNode& list, int index) override;
    // ReorderListener: two rows exchange places, so their cities do.
    void rows_exchanged(ReorderList& list, int first, int second) override;
    void clicked(skin::ButtonNode& button, skin::Point point) override;
    void press_changed(skin::ButtonNode&, skin::Point, bool) override { }
    void dragged(skin::ButtonNode&, skin::Point, skin::Point) override { }
    void reload(skin::Properties& properties) override;
    void on_settings_event(const SettingsEvent& event) override;

    bool key(const input::KeyEvent& event) override;
    void on_popup(std::u16string_view identifier, std::vector<framework::PopupMenuEntry>& entries) override;

private:
    void update_hint();
    void build_form();
    CityListElement* element(int row) const;
    int highlighted_row() const;

    skin::Properties& m_skin;
    ReorderList* m_list { nullptr };
    skin::ButtonNode* m_back { nullptr };
    skin::ButtonNode* m_plus { nullptr };
    skin::SkinNode* m_hint { nullptr };
    std::vector<bool> m_marks;
    std::unique_ptr<framework::PopupMenu> m_popup;
    int m_options_row { -1 };
};

} // namespace weather
