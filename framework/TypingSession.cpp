#include "framework/TypingSession.h"

#include "framework/VirtualKeys.h"

#include "skin/nodes/EditNode.h"

namespace framework {

namespace {

bool is_high_surrogate(char16_t c) { return c >= 0xD800 && c < 0xDC00; }
bool is_low_surrogate(char16_t c) { return c >= 0xDC00 && c < 0xE000; }

} // namespace

void TypingSession::open(skin::EditNode& node)
{
    m_node = &node;
    m_text = node.text();
    m_caret = m_text.size();
}

void TypingSession::close()
{
    m_node = nullptr;
    m_text.clear();
    m_caret = 0;
}

bool TypingSession::refresh()
{
    if (!m_node || m_node->text() == m_text)
        return false;
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
    m_text.insert(m_caret, kept);
    m_caret += kept.size();
    changed();
    return true;
}

bool TypingSession::edit_key(int key)
{
    if (!m_node || !edits_text(key))
        return false;
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
