#include "skin/file/SkinImageCheck.h"

#include "skin/file/SkinFileLayout.h"
#include "skin/file/SkinImageRead.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace skin {

namespace {

constexpr uint32_t none = 0xFFFFFFFFu;

class Checker {
public:
    Checker(const uint8_t* image, size_t size)
        : m_image(image)
        , m_size(size)
    {
    }

    bool run(SkinImageTexts& texts);

private:
    // The length in code units of the NUL-terminated text at offset; false when it
    // runs past the end of the image.
    bool text_length(size_t offset, size_t& units) const
    {
        for (size_t at = offset, n = 0; at + 2 <= m_size; at += 2, ++n) {
            if (read_u16(m_image + at) == 0) {
                units = n;
                return true;
            }
        }
        return false;
    }
    bool read_text(size_t& offset, std::u16string& text) const
    {
        size_t units = 0;
        if (!text_length(offset, units))
            return false;
        text.resize(units);
        for (size_t i = 0; i < units; ++i)
            text[i] = char16_t(read_u16(m_image + offset + 2 * i));
        offset += 2 * (units + 1);
        return true;
    }
    bool name_ok(size_t offset)
    {
        if (m_good_names.count(offset))
            return true;
        size_t units = 0;
        if (!text_length(offset, units))
            return false;
        m_good_names.insert(offset);
        return true;
    }
    // nodes: how many nodes the body's tree builds; height: its nesting below the body.
    bool body_ok(size_t offset, int depth, size_t& nodes, int& height);
    bool sections_ok(size_t body);
    bool tree_ok(uint32_t root);

public:
    std::vector<size_t> picture_entries;

private:

    const uint8_t* m_image;
    size_t m_size;
    uint32_t m_counts[3] {}; // pictures, fonts, strings
    std::unordered_set<size_t> m_good_names;
    // Node bodies checked so far with the number of nodes their tree builds; a body
    // being checked is in the map with no count yet, which catches cycles.
    struct Checked {
        size_t nodes;
        int height;
    };
    std::unordered_map<size_t, Checked> m_bodies;
    static constexpr size_t in_progress = ~size_t(0);
};

bool Checker::sections_ok(size_t body)
{
    uint16_t bounds[7];
    for (int i = 0; i < 7; ++i)
        bounds[i] = read_u16(m_image + body + 2 * i);
    for (int i = 0; i < 6; ++i) {
        if (bounds[i + 1] < bounds[i])
            return false;
    }
    if (body + bounds[6] > m_size)
        return false;
    for (int s = 0; s < layout::section_count; ++s) {
        size_t entry = layout::entry_size[s];
        size_t count = (bounds[s + 1] - bounds[s]) / entry;
        const uint8_t* p = m_image + body + bounds[s];
        for (size_t i = 0; i < count; ++i, p += entry) {
            if (!name_ok(read_u16(p)))
                return false;
            switch (layout::Section(s)) {
            case layout::Section::font:
                if (read_u32(p + 4) >= m_counts[1])
                    return false;
                break;
            case layout::Section::string:
                if (read_u16(p + 2) >= m_counts[2])
                    return false;
                break;
            case layout::Section::picture:
                if (p[18] >= m_counts[0])
                    return false;
                picture_entries.push_back(size_t(p - m_image));
                break;
            default:
                break;
            }
        }
    }
    return true;
}

bool Checker::body_ok(size_t offset, int depth, size_t& nodes, int& height)
{
    auto found = m_bodies.find(offset);
    if (found != m_bodies.end()) {
        if (found->second.nodes == in_progress)
            return false; // a node that contains itself
        nodes = found->second.nodes;
        height = found->second.height;
        return depth + height <= max_tree_depth;
    }
    if (depth > max_tree_depth || offset > m_size || m_size - offset < layout::body_children)
        return false;
    size_t children = read_u16(m_image + offset + layout::body_child_count);
    if ((m_size - offset - layout::body_children) / 4 < children)
        return false;
    if (!sections_ok(offset))
        return false;
    m_bodies.emplace(offset, Checked { in_progress, 0 });
    size_t total = 1;
    int deepest = 0;
    for (size_t i = 0; i < children; ++i) {
        size_t child_nodes = 0;
        int child_height = 0;
        if (!body_ok(read_u32(m_image + offset + layout::body_children + 4 * i), depth + 1, child_nodes, child_height))
            return false;
        total += child_nodes;
        deepest = std::max(deepest, child_height + 1);
        if (total > max_tree_nodes)
            return false;
    }
    m_bodies[offset] = Checked { total, deepest };
    nodes = total;
    height = deepest;
    return true;
}

bool Checker::tree_ok(uint32_t root)
{
    std::unordered_set<uint32_t> seen;
    std::vector<uint32_t> pending;
    if (root != none)
        pending.push_back(root);
    while (!pending.empty()) {
        uint32_t record = pending.back();
        pending.pop_back();
        if (!seen.insert(record).second)
            return false; // a record reached twice: the search could loop
        if (record > m_size || m_size - record < layout::record_body + layout::body_children)
            return false;
        if (!name_ok(read_u32(m_image + record + layout::record_name)))
            return false;
        size_t nodes = 0;
        int height = 0;
        if (!body_ok(record + layout::record_body, 0, nodes, height))
            return false;
        for (size_t side : { layout::record_left, layout::record_right }) {
            uint32_t next = read_u32(m_image + record + side);
            if (next != none)
                pending.push_back(next);
        }
    }
    return true;
}

bool Checker::run(SkinImageTexts& texts)
{
    if (m_size < layout::header_size)
        return false;
    for (int i = 0; i < 4; ++i) {
        if (read_u16(m_image + 2 * i) != layout::magic[i])
            return false;
    }
    m_counts[0] = read_u32(m_image + layout::picture_count);
    m_counts[1] = read_u32(m_image + layout::font_count);
    m_counts[2] = read_u32(m_image + layout::string_count);
    size_t offset = read_u32(m_image + layout::name_block);
    std::vector<std::u16string>* tables[3] = { &texts.pictures, &texts.fonts, &texts.strings };
    for (int t = 0; t < 3; ++t) {
        // Every text takes at least two bytes, which bounds the count before reserving.
        if (m_counts[t] > m_size / 2)
            return false;
        tables[t]->clear();
        tables[t]->reserve(m_counts[t]);
        for (uint32_t i = 0; i < m_counts[t]; ++i) {
            std::u16string text;
            if (!read_text(offset, text))
                return false;
            tables[t]->push_back(std::move(text));
        }
    }
    return tree_ok(read_u32(m_image + layout::root_offset));
}

} // namespace

bool check_skin_image(const uint8_t* image, size_t size, SkinImageTexts& texts)
{
    Checker checker(image, size);
    if (!checker.run(texts))
        return false;
    texts.picture_entries = std::move(checker.picture_entries);
    return true;
}

} // namespace skin
