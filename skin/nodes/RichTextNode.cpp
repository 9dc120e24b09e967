#include "skin/nodes/RichTextNode.h"

#include "skin/draw/Drawing.h"
#include "skin/draw/SolidFill.h"
#include "skin/file/Properties.h"
#include "skin/text/TextDrawing.h"

#include "runtime/Paths.h"

#include <algorithm>

namespace skin {

namespace {

RichTextNode::LinkOpener& opener()
{
    static RichTextNode::LinkOpener open = [](std::u16string_view address) { runtime::execute_file(u"iexplore.exe", address); };
    return open;
}

} // namespace

void RichTextNode::set_link_opener(LinkOpener open)
{
    opener() = open ? std::move(open) : [](std::u16string_view address) { runtime::execute_file(u"iexplore.exe", address); };
}

void RichTextNode::load(const Properties& properties, NodeBody body)
{
    TextNode::load(properties, body);
    m_fit_height = properties.get_integer(body, u"fit_height", 0) != 0;
    m_link_colour = properties.get_colour(body, u"link_color", { 0, 0, 255, 255 });
    m_links_found = false;
    m_boxes.clear();
    m_pressed = -1;
}

const std::vector<WebAddress>& RichTextNode::links()
{
    if (!m_links_found || m_links_text != text()) {
        m_links_text = text();
        m_links = find_web_addresses(m_links_text);
        m_links_found = true;
    }
    return m_links;
}

void RichTextNode::measure_y(Measure& m)
{
    TextNode::measure_y(m);
    if (m_fit_height) {
        int h = int(lines().size()) * line_height();
        m.wanted = std::max(m.wanted, h);
        m.minimum = std::max(m.minimum, h);
    }
}

void RichTextNode::draw(RenderSurface& surface, Point origin)
{
    m_boxes.clear();
    const FontRep* f = font().get();
    const std::u16string& all = text();
    const std::vector<TextLine>& spans = lines();
    const std::vector<WebAddress>& addresses = links();
    int line = measure_text(f, u"").height;
    int ascent = f ? f->ascent() : line;
    ClipScope clip(surface, origin, size());
    int n = int(spans.size());
    int y = origin.y;
    int spare = height() - n * line;
    if (valign() == VAlign::vcenter && spare / 2 >= 1)
        y += spare / 2;
    else if (valign() == VAlign::bottom)
        y += spare;
    for (const TextLine& span : spans) {
        if (y >= origin.y + height())
            break;
        std::u16string_view part = std::u16string_view(all).substr(std::min(span.start, all.size()), span.length);
        TextExtent extent = measure_text(f, part);
        int x = origin.x;
        if (halign() == HAlign::center)
            x += (width() - extent.width) / 2;
        else if (halign() == HAlign::right)
            x += width() - extent.width;
        auto edge = [&](size_t k) { return k == 0 || extent.right_edges.empty() ? 0 : extent.right_edges[std::min(k, extent.right_edges.size()) - 1]; };
        // The line in pieces: plain text and the parts of links on it.
        size_t at = 0;
        while (at < part.size()) {
            size_t global = span.start + at;
            size_t link = addresses.size();
            size_t piece_end = part.size();
            for (size_t i = 0; i < addresses.size(); ++i) {
                const WebAddress& a = addresses[i];
                if (a.start <= global && global < a.start + a.length) {
                    link = i;
                    piece_end = std::min(part.size(), a.start + a.length - span.start);
                    break;
                }
                if (a.start > global)
                    piece_end = std::min(piece_end, a.start - span.start);
            }
            std::u16string_view piece = part.substr(at, piece_end - at);
            int left = x + edge(at), right = x + edge(piece_end);
            Color colour = link < addresses.size() ? m_link_colour : this->colour();
            draw_text(f, surface, colour, piece, { left, y }, { std::max(1, right - left), line }, HAlign::left, VAlign::top, false);
            if (link < addresses.size()) {
                int underline = y + std::min(line - 1, ascent + 1);
                fill(surface, { left, underline }, { right - left, 1 }, SolidFill(Pixel(to_565(m_link_colour) | opaque_bit)));
                m_boxes.push_back({ { left - origin.x + this->x(), y - origin.y + this->y(), right - left, line }, link });
            }
            at = piece_end;
        }
        y += line;
    }
    SkinNode::draw(surface, origin);
}

int RichTextNode::link_at(Point point) const
{
    for (const LinkBox& b : m_boxes) {
        if (b.box.x <= point.x && point.x < b.box.x + b.box.width && b.box.y <= point.y && point.y < b.box.y + b.box.height)
            return int(b.link);
    }
    return -1;
}

bool RichTextNode::stylus(const StylusEvent& event)
{
    if (event.move)
        return m_pressed >= 0;
    if (event.down && !event.cancelled) {
        m_pressed = link_at(event.point);
        return m_pressed >= 0;
    }
    int pressed = std::exchange(m_pressed, -1);
    if (pressed < 0)
        return false;
    if (!event.cancelled && link_at(event.point) == pressed && size_t(pressed) < m_links.size())
        opener()(m_links[size_t(pressed)].target);
    return true;
}

} // namespace skin
