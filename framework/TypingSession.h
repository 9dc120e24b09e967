// The shell's stand-in for the native edit control: while an edit field has the focus
// with a native control, the session holds the text being typed and its caret, takes
// typed text and the editing keys (Backspace, Delete, Left, Right, Home, End), and hands
// the whole text to the node's set_text after every change. The display places its text
// input (input method, screen keyboard) over the node's rectangle. On a keypad phone
// the digit keys type letters by multi-tap (KeypadLetters).
#pragma once

#include "framework/KeypadLetters.h"

#include "skin/draw/Geometry.h"

#include <cstdint>

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

    // Multi-tap on a keypad phone, for a key code going down: a digit types the first of
    // its letters, the same digit again within the pause puts the next one in its place;
    // another key or the pause commits the letter. "*" switches between lower and upper
    // case, "#" steps through the keypad's modes. True when the key was one of them.
    bool keypad_key(int code, uint32_t now_ms);
    // Commits a pending letter whose pause has run out; true when there was one.
    bool commit_after_pause(uint32_t now_ms);
    // Code units of the letter still pending before the caret, 0 when none.
    size_t pending() const { return m_pending ? m_pending_length : 0; }
    bool upper_case() const { return m_upper; }
    size_t keypad_mode() const { return m_mode; }
    void set_keypad(KeypadLetters keypad);
    static constexpr uint32_t keypad_pause_ms = 1000;

private:
    // Hands the text to the node; the node's listener hears of it.
    void changed();
    size_t previous(size_t position) const;
    size_t next(size_t position) const;

    skin::EditNode* m_node { nullptr };
    std::u16string m_text;
    size_t m_caret { 0 };

    KeypadLetters m_keypad;
    size_t m_mode { 0 };
    bool m_upper { false };
    bool m_pending { false };
    size_t m_pending_length { 0 };
    int m_pending_digit { -1 };
    size_t m_pending_index { 0 };
    uint32_t m_pending_time { 0 };
};

} // namespace framework
