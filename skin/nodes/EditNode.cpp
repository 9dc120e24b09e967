#include "skin/nodes/EditNode.h"

#include "skin/draw/Drawing.h"
#include "skin/draw/SolidFill.h"
#include "skin/file/Properties.h"
#include "skin/nodes/EditFocusHost.h"
#include "skin/text/TextDrawing.h"

#include <algorithm>

namespace skin {

EditNode::~EditNode()
{
    // The shell must never keep a node that is gone.
    if (EditFocusHost* host = EditFocusHost::current())
        host->forget(*this);
}

bool EditNode::focused() const
{
    EditFocusHost* host = EditFocusHost::current();
    return host && host->focused() == this;
}

void EditNode::load(const Properties& properties, NodeBody body)
{
    TextNode::load(properties, body);
    m_background = properties.get_colour(body, u"background_color", {});
    if (m_masked) {
        m_real_text = TextNode::text();
        TextNode::set_text(std::u16string(m_real_text.size(), u'*'));
    }
}

void EditNode::shown_changed(bool shown)
{
    TextNode::shown_changed(shown);
    if (!shown && focused())
        EditFocusHost::current()->focus(nullptr, false);
}

void EditNode::layout_y()
{
    TextNode::layout_y();
    // The typing session follows the node's new rectangle.
    if (focused())
        EditFocusHost::current()->focus(this, EditFocusHost::current()->caret() >= 0);
}

bool EditNode::stylus(const StylusEvent& event)
{
    EditFocusHost* host = EditFocusHost::current();
    if (event.down && !event.move && !event.cancelled && host && host->focused() != this)
        host->focus(this, true);
    return true;
}

bool EditNode::char_input(char16_t)
{
    if (!focused())
        return true;
    invalidate();
    if (m_listener)
        m_listener->text_changed(*this);
    return true;
}

void EditNode::set_text(std::u16string_view text)
{
    if (m_masked) {
        std::u16string stars(text.size(), u'*');
        if (text == m_real_text && stars == TextNode::text())
            return;
        m_real_text = std::u16string(text);
        TextNode::set_text(stars);
    } else {
        if (text == TextNode::text())
            return;
        TextNode::set_text(text);
    }
    text_changed_by_set_text();
}

void EditNode::text_changed_by_set_text()
{
    if (focused())
        EditFocusHost::current()->focus(this, EditFocusHost::current()->caret() >= 0);
    if (m_listener)
        m_listener->text_changed(*this);
}

void EditNode::set_masked(bool masked)
{
    if (m_masked == masked)
        return;
    std::u16string readers = text();
    m_masked = masked;
    if (masked) {
        m_real_text = readers;
        TextNode::set_text(std::u16string(readers.size(), u'*'));
    } else {
        TextNode::set_text(readers);
        m_real_text.clear();
    }
}

Rect EditNode::caret_rect(size_t position)
{
    const FontRep* f = font().get();
    int line = measure_text(f, u"").height;
    const std::u16string& shown = shown_text();
    position = std::min(position, shown.size());
    const std::vector<TextLine>& spans = lines();
    // The line that holds the position: the last one starting at or before it.
    size_t index = 0;
    for (size_t i = 0; i < spans.size(); ++i) {
        if (spans[i].start <= position)
            index = i;
    }
    size_t start = spans.empty() ? 0 : spans[index].start;
    size_t length = spans.empty() ? 0 : spans[index].length;
    std::u16string_view text_line = std::u16string_view(shown).substr(std::min(start, shown.size()), length);
    size_t in_line = std::min(position - std::min(position, start), text_line.size());
    int line_width = measure_text(f, text_line).width;
    int before = in_line == 0 ? 0 : measure_text(f, text_line.substr(0, in_line)).width;

    int x = this->x();
    if (halign() == HAlign::center)
        x += (width() - line_width) / 2;
    else if (halign() == HAlign::right)
        x += width() - line_width;
    x += before;
    int n = std::max<int>(1, int(spans.size()));
    int y = this->y();
    int spare = height() - n * line;
    if (valign() == VAlign::vcenter && spare / 2 >= 1)
        y += spare / 2;
    else if (valign() == VAlign::bottom)
        y += spare;
    y += int(index) * line;
    // Inside the node, so that a caret at the right end stays visible.
    x = std::clamp(x, this->x(), std::max(this->x(), this->x() + width() - 1));
    return { x, y, 1, line };
}

void EditNode::draw(RenderSurface& surface, Point origin)
{
    EditFocusHost* host = EditFocusHost::current();
    bool session = host && host->focused() == this && host->caret() >= 0;
    // The typing session shows the field on its own background, as the native control did.
    if (session)
        fill(surface, origin, size(), SolidFill(to_565(m_background) | opaque_bit));
    TextNode::draw(surface, origin);
    if (session) {
        Rect caret = caret_rect(size_t(host->caret()));
        ClipScope clip(surface, origin, size());
        // The letter a keypad's multi-tap may still change is underlined.
        if (int pending = host->pending(); pending > 0 && pending <= host->caret()) {
            Rect from = caret_rect(size_t(host->caret() - pending));
            int thickness = std::max(2, caret.height / 8);
            fill(surface, origin + Point { from.x - x(), caret.y + caret.height - thickness - y() },
                { std::max(1, caret.x - from.x), thickness }, SolidFill(to_565(colour()) | opaque_bit));
        }
        fill(surface, origin + Point { caret.x - x(), caret.y - y() }, { caret.width, caret.height },
            SolidFill(to_565(colour()) | opaque_bit));
    }
}

} // namespace skin
