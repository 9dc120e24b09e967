// One city of the city list: a row of "listCities" built from the template
// "CityListElement" with the nodes "text" (the name), "btnDel" (arms or disarms the
// deletion), "btnDelF" (confirms it; slides in from the right, hidden at first) and
// "btnMove" (the drag handle). Its row number is its index in the list.
#pragma once

#include "app/SettingsListener.h"

#include "skin/list/ListRowNode.h"
#include "skin/nodes/ButtonListener.h"

namespace skin {
class ButtonNode;
class Properties;
class TextNode;
} // namespace skin

namespace weather {

class FormItems;

class CityListElement : public skin::ListRowNode, public skin::ButtonListener, public SettingsListener {
public:
    // Without the template: plexor::NodeNotFoundInSkin; without a node:
    // plexor::NodeNotFound.
    CityListElement(FormItems& form, const skin::Properties& skin, int row);
    ~CityListElement() override;

    // Shows the city at the row's record index, its confirm button when the row's
    // deletion is armed; a row without a name shows nothing.
    void fill(int row);
    // Shows or hides the confirm button (with its animation when animate is set).
    void show_confirm(bool shown, bool animate);

    // Every stylus event sets the list's move flag: a press on the handle while the
    // confirm button is hidden starts a move.
    bool stylus(const skin::StylusEvent& event) override;
    void life_cycle(double elapsed) override;
    // The confirm button is shown and not on its way out.
    bool confirm_shown() const;

    void clicked(skin::ButtonNode& button, skin::Point point) override;
    void press_changed(skin::ButtonNode&, skin::Point, bool) override { }
    void dragged(skin::ButtonNode&, skin::Point, skin::Point) override { }

    FormItems& form() const { return m_form; }
    skin::TextNode& text() const { return *m_text; }
    skin::ButtonNode& delete_button() const { return *m_del; }
    skin::ButtonNode& confirm_button() const { return *m_del_confirm; }
    skin::ButtonNode& move_button() const { return *m_move; }

private:
    FormItems& m_form;
    skin::TextNode* m_text { nullptr };
    skin::ButtonNode* m_del { nullptr };
    skin::ButtonNode* m_del_confirm { nullptr };
    skin::ButtonNode* m_move { nullptr };
    bool m_hiding { false };
};

} // namespace weather
