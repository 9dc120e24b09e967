#include "framework/TypingSession.h"

#include "framework/VirtualKeys.h"

#include "input/KeyCodes.h"
#include "platform/CaseFolding.h"
#include "skin/nodes/EditNode.h"

namespace framework {

namespace {

bool is_high_surrogate(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
bool is_low_surrogate(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

} // namespace

void TypingSession::open(skin::EditNode& node)
{
    m_pending = false;
    m_node = &node;
    m_text = node.text();
    m_caret = m_text.size();
}

void TypingSession::close()
{
    m_pending = false;
    m_node = nullptr;
    m_text.clear();
    m_caret = 0;
}

bool TypingSession::refresh()
{
    if (!m_node || m_node->text() == m_text)
        return false;
    m_pending = false;
    m_text = m_node->text();
    m_caret = std::min(m_caret, m_text.size());
    if (m_caret > 0 && m_caret < m_text.size() && is_low_surrogate(m_text[m_caret]))
        --m_caret;
    return true;
}

size_t TypingSession::previous(size_t position) const
{
    if (position == 0)
        return 0;
    --position;
    if (position > 0 && is_low_surrogate(m_text[position]) && is_high_surrogate(m_text[position - 1]))
        --position;
    return position;
}

size_t TypingSession::next(size_t position) const
{
    if (position >= m_text.size())
        return m_text.size();
    ++position;
    if (position < m_text.size() && is_low_surrogate(m_text[position]) && is_high_surrogate(m_text[position - 1]))
        ++position;
    return position;
}

bool TypingSession::insert(std::u16string_view typed)
{
    if (!m_node)
        return false;
    std::u16string kept;
    for (char16_t c : typed) {
        if (c >= 0x20 && c != 0x7F)
            kept += c;
    }
    // A single-line field takes no line breaks; the limit never splits a pair.
    size_t room = max_length > m_text.size() ? max_length - m_text.size() : 0;
    if (kept.size() > room) {
        kept.resize(room);
        if (!kept.empty() && is_high_surrogate(kept.back()))
            kept.pop_back();
    }
    if (kept.empty())
        return false;
    m_pending = false;
    m_text.insert(m_caret, kept);
    m_caret += kept.size();
    changed();
    return true;
}

bool TypingSession::edit_key(int key)
{
    if (!m_node || !edits_text(key))
        return false;
    m_pending = false;
    switch (key) {
    case vk::back:
        if (m_caret > 0) {
            size_t from = previous(m_caret);
            m_text.erase(from, m_caret - from);
            m_caret = from;
            changed();
        }
        break;
    case vk::del:
        if (m_caret < m_text.size()) {
            m_text.erase(m_caret, next(m_caret) - m_caret);
            changed();
        }
        break;
    case vk::left:
        m_caret = previous(m_caret);
        m_node->mark_dirty();
        break;
    case vk::right:
        m_caret = next(m_caret);
        m_node->mark_dirty();
        break;
    case vk::home:
        m_caret = 0;
        m_node->mark_dirty();
        break;
    case vk::end:
        m_caret = m_text.size();
        m_node->mark_dirty();
        break;
    }
    return true;
}

void TypingSession::set_keypad(KeypadLetters keypad)
{
    m_keypad = std::move(keypad);
    m_mode = 0;
    m_pending = false;
}

bool TypingSession::keypad_key(int code, uint32_t now_ms)
{
    if (!m_node)
        return false;
    if (code == input::key_star || code == input::key_pound) {
        m_pending = false;
        if (code == input::key_star)
            m_upper = !m_upper;
        else
            m_mode = (m_mode + 1) % m_keypad.mode_count();
        m_node->mark_dirty();
        return true;
    }
    if (!input::is_digit_key(code))
        return false;
    int digit = code - input::key_0;
    const std::u16string& letters = m_keypad.letters(m_mode, digit);
    if (letters.empty())
        return false;
    bool again = m_pending && m_pending_digit == digit && now_ms - m_pending_time < keypad_pause_ms;
    size_t index = again ? (m_pending_index + 1) % letters.size() : 0;
    std::u16string letter(1, m_upper ? platform::to_upper(letters[index]) : letters[index]);
    if (again) {
        // The pending letter gives way to the next one on the key.
        m_caret -= m_pending_length;
        m_text.erase(m_caret, m_pending_length);
    } else if (m_text.size() >= max_length) {
        m_pending = false;
        return true;
    }
    m_text.insert(m_caret, letter);
    m_caret += letter.size();
    // Digits are final at once; letters wait for the pause or another key.
    m_pending = !m_keypad.digit_mode(m_mode) && letters.size() > 1;
    m_pending_length = letter.size();
    m_pending_digit = digit;
    m_pending_index = index;
    m_pending_time = now_ms;
    changed();
    return true;
}

bool TypingSession::commit_after_pause(uint32_t now_ms)
{
    if (!m_pending || now_ms - m_pending_time < keypad_pause_ms)
        return false;
    m_pending = false;
    if (m_node)
        m_node->mark_dirty();
    return true;
}

void TypingSession::changed()
{
    skin::EditNode* node = m_node;
    node->mark_dirty();
    // The node hears of the text and its listener of the change; either may end the
    // session (focus elsewhere), which this must survive.
    std::u16string text = m_text;
    node->set_text(text);
}

} // namespace framework
