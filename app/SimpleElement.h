// One match of the city search: a row of "listTotal" built from the template
// "SimpleElement" with its text node "text". It knows its form and its row number, and
// listens to the settings like every row (it ignores the notices).
#pragma once

#include "app/SettingsListener.h"

#include "skin/list/ListRowNode.h"

#include <string_view>

namespace skin {
class Properties;
class TextNode;
} // namespace skin

namespace weather {

class FormTotal;

class SimpleElement : public skin::ListRowNode, public SettingsListener {
public:
    // Without the template: plexor::NodeNotFoundInSkin; without "text": plexor::NodeNotFound.
    SimpleElement(FormTotal& form, const skin::Properties& skin, int row);

    // Shows the city's name.
    void fill(std::u16string_view name);

    FormTotal& form() const { return m_form; }
    int row() const { return m_row; }
    skin::TextNode& text() const { return *m_text; }

private:
    FormTotal& m_form;
    int m_row;
    skin::TextNode* m_text { nullptr };
};

} // namespace weather
