#include "skin/nodes/LabelEditNode.h"

#include "skin/file/Properties.h"
#include "skin/nodes/ButtonNode.h"
#include "skin/nodes/SkinErrors.h"
#include "skin/nodes/TextNode.h"

namespace skin {

void LabelEditNode::load(const Properties& properties, NodeBody body)
{
    SkinNode::load(properties, body);
    m_prompt_text = properties.translate(properties.get_string(body, u"text", u""));
    m_edit = dynamic_cast<EditNode*>(find_descendant(u"#edit"));
    if (!m_edit)
        throw plexor::NodeNotFound(id(), u"#edit");
    m_edit->set_listener(this);
    m_prompt = dynamic_cast<TextNode*>(find_descendant(u"#text"));
    if (!m_prompt)
        throw plexor::NodeNotFound(id(), u"#text");
    m_prompt->set_text(m_prompt_text);
    m_clear = dynamic_cast<ButtonNode*>(find_descendant(u"clear"));
    if (m_clear)
        m_clear->set_listener(this);
    show_parts();
}

void LabelEditNode::show_parts()
{
    bool empty = m_edit->text().empty();
    m_prompt->set_visible(empty);
    if (m_clear)
        m_clear->set_visible(!empty);
}

void LabelEditNode::text_changed(EditNode& node)
{
    if (&node != m_edit)
        return;
    show_parts();
    if (m_listener)
        m_listener->text_changed(node);
}

void LabelEditNode::clicked(ButtonNode& button, Point)
{
    if (&button == m_clear)
        m_edit->set_text(u"");
}

} // namespace skin
