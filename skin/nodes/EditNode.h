// An edit field ("edit"): a text node the user focuses to type into it, drawn on its
// "background_color" with a caret while it has the focus. The typing itself happens in
// the shell's typing session over the node (EditFocusHost), which hands the whole text to
// set_text on every change. In masked mode the node shows one "*" per character and keeps
// the typed text for its readers.
#pragma once

#include "skin/nodes/EditNodeListener.h"
#include "skin/nodes/TextNode.h"

namespace skin {

class EditNode : public TextNode {
public:
    EditNode() = default;
    // A focused node gives the focus up first.
    ~EditNode() override;

    void load(const Properties& properties, NodeBody body) override;
    void shown_changed(bool shown) override;
    void layout_y() override;
    void draw(RenderSurface& surface, Point origin) override;
    // A press asks the shell for the focus with a native control; always handled.
    bool stylus(const StylusEvent& event) override;
    // Typed text while focused: the node and its ancestors lay out again and the listener
    // is told; always handled.
    bool char_input(char16_t character) override;

    using TextNode::set_text;
    // Nothing happens for the text the node already has; else it is stored (as stars in
    // masked mode), the shell's session follows when the node is focused, and the
    // listener is told.
    void set_text(std::u16string_view text) override;

    // The text for readers: the typed text in masked mode, else the shown text.
    const std::u16string& text() const { return m_masked ? m_real_text : TextNode::text(); }
    // What the node shows: the text, or its stars in masked mode.
    const std::u16string& shown_text() const { return TextNode::text(); }
    bool masked() const { return m_masked; }
    // Switching keeps the text for readers.
    void set_masked(bool masked);

    Color background_colour() const { return m_background; }
    void set_listener(EditNodeListener* listener) { m_listener = listener; }
    EditNodeListener* listener() const { return m_listener; }
    // True while the shell's focus is on this node.
    bool focused() const;
    // A wrapping node is edited as several lines.
    bool multi_line() const { return wrap(); }
    // The caret before the character at the position of the shown text, in form
    // coordinates: one pixel wide, one line high.
    Rect caret_rect(size_t position);

private:
    void text_changed_by_set_text();

    Color m_background;
    bool m_masked { false };
    std::u16string m_real_text;
    EditNodeListener* m_listener { nullptr };
};

} // namespace skin
