// The shell's stand-in for the native edit control: while an edit field has the focus
// with a native control, the session holds the text being typed and its caret, takes
// typed text and the editing keys (Backspace, Delete, Left, Right, Home, End), and hands
// the whole text to the node's set_text after every change. The display places its text
// input (input method, screen keyboard) over the node's rectangle.
#pragma once

#include "skin/draw/Geometry.h"

#include <string>
#include <string_view>

namespace skin {
class EditNode;
}

namespace framework {

class TypingSession {
public:
    static constexpr size_t max_length = 4096; // characters; typing stops there

    bool active() const { return m_node != nullptr; }
    skin::EditNode* node() const { return m_node; }
    const std::u16string& text() const { return m_text; }
    size_t caret() const { return m_caret; }

    // Starts over the node with its text, the caret at the end.
    void open(skin::EditNode& node);
    void close();
    // The node's text when it differs from the session's (the program set it): the caret
    // stays where it was, inside the new text. True when the text was taken.
    bool refresh();

    // Typed text at the caret; control characters are left out. True when the text changed.
    bool insert(std::u16string_view typed);
    // An editing key going down (repeats too): true when the key was one of them.
    bool edit_key(int virtual_key);

private:
    // Hands the text to the node; the node's listener hears of it.
    void changed();
    size_t previous(size_t position) const;
    size_t next(size_t position) const;

    skin::EditNode* m_node { nullptr };
    std::u16string m_text;
    size_t m_caret { 0 };
};

} // namespace framework
