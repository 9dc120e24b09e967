#include "skin/file/Properties.h"

#include "skin/file/PropertiesImpl.h"
#include "skin/file/ReloadListener.h"
#include "skin/file/SkinImageRead.h"

#include "runtime/Log.h"

#include <algorithm>

namespace skin {

namespace {

constexpr uint32_t none = 0xFFFFFFFFu;

// Compares a wanted name with the NUL-terminated name at the offset, code unit by code
// unit, the shorter text first when one is a prefix of the other. The checked image
// guarantees the terminator.
int compare_name(std::u16string_view wanted, const uint8_t* text)
{
    for (size_t i = 0;; ++i, text += 2) {
        char16_t unit = char16_t(read_u16(text));
        if (unit == 0)
            return i == wanted.size() ? 0 : 1;
        if (i == wanted.size())
            return -1;
        if (wanted[i] != unit)
            return wanted[i] < unit ? -1 : 1;
    }
}

} // namespace

bool Properties::load_skin(std::u16string_view path, const ScreenInfo& screen)
{
    runtime::Log& log = runtime::get_log();
    log << u"Properties::load_skin 1\n";
    PropertiesImpl fresh(path, screen);
    log << u"Properties::load_skin 2\n";
    if (!fresh.complete()) {
        m_failed_file = fresh.failed_file();
        return false;
    }
    log << u"Properties::load_skin 3\n";
    exchange_skin(fresh);
    m_path = std::u16string(path);
    return true;
}

bool Properties::load_skin_image(std::vector<uint8_t> image, std::u16string_view path, const ScreenInfo& screen)
{
    PropertiesImpl fresh(std::move(image), path, screen);
    if (!fresh.complete())
        return false;
    exchange_skin(fresh);
    m_path = std::u16string(path);
    return true;
}

void Properties::exchange_skin(Properties& other)
{
    std::swap(m_image, other.m_image);
    std::swap(m_header, other.m_header);
    std::swap(m_pictures, other.m_pictures);
    std::swap(m_picture_names, other.m_picture_names);
    std::swap(m_fonts, other.m_fonts);
    std::swap(m_strings, other.m_strings);
    std::swap(m_scale_shift, other.m_scale_shift);
    std::swap(m_landscape, other.m_landscape);
}

NodeBody Properties::find_named_node(std::u16string_view name) const
{
    if (m_landscape) {
        std::u16string wide(name);
        wide += landscape_suffix;
        if (NodeBody body = find_exact_node(wide))
            return body;
    }
    return find_exact_node(name);
}

NodeBody Properties::find_exact_node(std::u16string_view name) const
{
    if (!m_header)
        return {};
    const uint8_t* image = m_image.data();
    uint32_t record = read_u32(image + layout::root_offset);
    while (record != none) {
        const uint8_t* r = image + record;
        int order = compare_name(name, image + read_u32(r + layout::record_name));
        if (order == 0)
            return NodeBody(r + layout::record_body);
        record = read_u32(r + (order < 0 ? layout::record_left : layout::record_right));
    }
    return {};
}

const uint8_t* Properties::find_entry(NodeBody node, layout::Section section, std::u16string_view name) const
{
    if (!node)
        return nullptr;
    const uint8_t* body = node.data();
    int s = int(section);
    uint16_t begin = read_u16(body + 2 * s);
    uint16_t end = read_u16(body + 2 * s + 2);
    size_t entry = layout::entry_size[s];
    size_t low = 0, high = (end - begin) / entry;
    const uint8_t* first = body + begin;
    const uint8_t* image = m_image.data();
    while (low < high) {
        size_t middle = (low + high) / 2;
        const uint8_t* e = first + middle * entry;
        int order = compare_name(name, image + read_u16(e));
        if (order == 0)
            return e;
        if (order < 0)
            high = middle;
        else
            low = middle + 1;
    }
    return nullptr;
}

int32_t Properties::get_integer(NodeBody node, std::u16string_view name, int32_t default_value) const
{
    const uint8_t* e = find_entry(node, layout::Section::integer, name);
    return e ? read_i32(e + 4) : default_value;
}

SharedFont Properties::get_font(NodeBody node, std::u16string_view name, SharedFont default_font) const
{
    const uint8_t* e = find_entry(node, layout::Section::font, name);
    return e ? m_fonts[read_u32(e + 4)] : default_font;
}

Point Properties::get_point(NodeBody node, std::u16string_view name, Point default_point) const
{
    const uint8_t* e = find_entry(node, layout::Section::point, name);
    if (!e)
        return default_point;
    int factor = 1 << m_scale_shift;
    return { read_i16(e + 4) * factor, read_i16(e + 6) * factor };
}

std::u16string Properties::get_string(NodeBody node, std::u16string_view name, std::u16string_view default_text) const
{
    const std::u16string* text = find_string(node, name);
    return text ? *text : std::u16string(default_text);
}

const std::u16string* Properties::find_string(NodeBody node, std::u16string_view name) const
{
    const uint8_t* e = find_entry(node, layout::Section::string, name);
    return e ? &m_strings[read_u16(e + 2)] : nullptr;
}

PictureRef Properties::get_picture(NodeBody node, std::u16string_view name, const PictureRef& default_picture) const
{
    const uint8_t* e = find_entry(node, layout::Section::picture, name);
    if (!e)
        return default_picture;
    int factor = 1 << m_scale_shift;
    PictureRef ref;
    Point* corners[4] = { &ref.p0, &ref.p1, &ref.p2, &ref.p3 };
    for (int i = 0; i < 4; ++i)
        *corners[i] = { read_u16(e + 2 + 4 * i) * factor, read_u16(e + 4 + 4 * i) * factor };
    ref.picture = m_pictures[e[18]].picture;
    ref.flag = e[19];
    ref.scale_shift = m_scale_shift;
    return ref;
}

Color Properties::get_colour(NodeBody node, std::u16string_view name, Color default_colour) const
{
    const uint8_t* e = find_entry(node, layout::Section::colour, name);
    return e ? Color { e[4], e[5], e[6], 255 } : default_colour;
}

size_t Properties::child_count(NodeBody node) const
{
    return node ? read_u16(node.data() + layout::body_child_count) : 0;
}

NodeBody Properties::child(NodeBody node, size_t index) const
{
    if (index >= child_count(node))
        return {};
    return NodeBody(m_image.data() + read_u32(node.data() + layout::body_children + 4 * index));
}

bool Properties::has_section(NodeBody node, layout::Section section) const
{
    if (!node)
        return false;
    int s = int(section);
    return read_u16(node.data() + 2 * s + 2) - read_u16(node.data() + 2 * s) >= int(layout::entry_size[s]);
}

std::vector<std::pair<std::u16string, NodeBody>> Properties::named_nodes() const
{
    std::vector<std::pair<std::u16string, NodeBody>> nodes;
    if (!m_header)
        return nodes;
    const uint8_t* image = m_image.data();
    std::vector<uint32_t> pending { read_u32(image + layout::root_offset) };
    while (!pending.empty()) {
        uint32_t record = pending.back();
        pending.pop_back();
        if (record == none)
            continue;
        const uint8_t* r = image + record;
        std::u16string name;
        for (const uint8_t* t = image + read_u32(r + layout::record_name); read_u16(t); t += 2)
            name += char16_t(read_u16(t));
        nodes.emplace_back(std::move(name), NodeBody(r + layout::record_body));
        pending.push_back(read_u32(r + layout::record_left));
        pending.push_back(read_u32(r + layout::record_right));
    }
    std::sort(nodes.begin(), nodes.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return nodes;
}

std::vector<std::u16string> Properties::attribute_names(NodeBody node, layout::Section section) const
{
    std::vector<std::u16string> names;
    if (!node)
        return names;
    int s = int(section);
    uint16_t begin = read_u16(node.data() + 2 * s);
    uint16_t end = read_u16(node.data() + 2 * s + 2);
    size_t entry = layout::entry_size[s];
    for (size_t i = 0; i < (end - begin) / entry; ++i) {
        std::u16string name;
        for (const uint8_t* t = m_image.data() + read_u16(node.data() + begin + i * entry); read_u16(t); t += 2)
            name += char16_t(read_u16(t));
        names.push_back(std::move(name));
    }
    return names;
}

void Properties::add_reload_listener(ReloadListener* listener)
{
    if (listener && std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
        m_listeners.push_back(listener);
}

void Properties::remove_reload_listener(ReloadListener* listener)
{
    std::erase(m_listeners, listener);
}

} // namespace skin
