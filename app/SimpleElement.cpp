#include "app/SimpleElement.h"
#include "app/FormTotal.h"
#include "app/NodeLookup.h"

#include "skin/nodes/TextNode.h"

namespace weather {

SimpleElement::SimpleElement(FormTotal& form, const skin::Properties& skin, int row)
    : m_form(form)
    , m_row(row)
{
    build(skin, FormTotal::row_template);
    m_text = &find_node<skin::TextNode>(*this, u"text");
}

void SimpleElement::fill(std::u16string_view name)
{
    m_text->set_text(name);
    m_text->set_visible(true);
}

} // namespace weather
