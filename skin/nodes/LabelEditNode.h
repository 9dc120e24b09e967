// An edit field with a prompt and a clear button ("label_edit"): the prompt ("#text",
// the translated "text" attribute) shows while the field ("#edit") is empty, the optional
// button "clear" while it is not, and a click on it empties the field. The field's
// notices are passed on to the node's own listener.
#pragma once

#include "skin/nodes/ButtonListener.h"
#include "skin/nodes/EditNode.h"
#include "skin/nodes/SkinNode.h"

namespace skin {

class ButtonNode;
class TextNode;

class LabelEditNode : public SkinNode, public EditNodeListener, public ButtonListener {
public:
    // Without "#edit" or "#text": plexor::NodeNotFound.
    void load(const Properties& properties, NodeBody body) override;

    void text_changed(EditNode& node) override;
    void clicked(ButtonNode& button, Point point) override;
    void press_changed(ButtonNode&, Point, bool) override { }
    void dragged(ButtonNode&, Point, Point) override { }

    EditNode& edit() const { return *m_edit; }
    TextNode& prompt() const { return *m_prompt; }
    // Null when the skin has no "clear" button.
    ButtonNode* clear_button() const { return m_clear; }
    const std::u16string& prompt_text() const { return m_prompt_text; }
    // The field's text for readers.
    const std::u16string& text() const { return m_edit->text(); }
    void set_listener(EditNodeListener* listener) { m_listener = listener; }
    EditNodeListener* listener() const { return m_listener; }

private:
    void show_parts();

    EditNode* m_edit { nullptr };
    TextNode* m_prompt { nullptr };
    ButtonNode* m_clear { nullptr };
    std::u16string m_prompt_text;
    EditNodeListener* m_listener { nullptr };
};

} // namespace skin
