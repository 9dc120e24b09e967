#include "skin/compiler/SkinWriter.h"

#include "platform/TextEncoding.h"

#include <algorithm>
#include <set>

namespace skinc {

using namespace skin;

namespace {

constexpr uint32_t none = 0xFFFFFFFFu;

class Output {
public:
    size_t size() const { return m_bytes.size(); }
    void u8(uint8_t v) { m_bytes.push_back(v); }
    void u16(uint16_t v)
    {
        u8(uint8_t(v));
        u8(uint8_t(v >> 8));
    }
    void u32(uint32_t v)
    {
        u16(uint16_t(v));
        u16(uint16_t(v >> 16));
    }
    void text(const std::u16string& t)
    {
        for (char16_t c : t)
            u16(c);
        u16(0);
    }
    void align4()
    {
        while (m_bytes.size() % 4)
            u8(0);
    }
    void patch_u16(size_t at, uint16_t v)
    {
        m_bytes[at] = uint8_t(v);
        m_bytes[at + 1] = uint8_t(v >> 8);
    }
    void patch_u32(size_t at, uint32_t v)
    {
        patch_u16(at, uint16_t(v));
        patch_u16(at + 2, uint16_t(v >> 16));
    }
    std::vector<uint8_t>& bytes() { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

void collect_names(const WriterNode& node, std::set<std::u16string>& names)
{
    for (const WriterAttribute& a : node.attributes)
        names.insert(a.name);
    for (const WriterNode& child : node.children)
        collect_names(child, names);
}

struct BodyWriter {
    Output& out;
    const std::map<std::u16string, uint16_t>& name_offsets;
    std::string& error;

    // Writes the body at the current position, then its children; false on a limit.
    bool write(const WriterNode& node)
    {
        if (node.children.size() > 0xFFFF) {
            error = "a node has more than 65535 children";
            return false;
        }
        size_t body = out.size();
        for (int i = 0; i < 7; ++i)
            out.u16(0);
        out.u16(uint16_t(node.children.size()));
        size_t child_slots = out.size();
        for (size_t i = 0; i < node.children.size(); ++i)
            out.u32(0);
        for (int s = 0; s < layout::section_count; ++s) {
            if (out.size() - body > 0xFFFF) {
                error = "a node has too many attributes";
                return false;
            }
            out.patch_u16(body + 2 * s, uint16_t(out.size() - body));
            std::vector<const WriterAttribute*> entries;
            for (const WriterAttribute& a : node.attributes) {
                if (int(a.section) == s)
                    entries.push_back(&a);
            }
            std::sort(entries.begin(), entries.end(), [](auto* a, auto* b) { return a->name < b->name; });
            for (const WriterAttribute* a : entries)
                write_entry(*a);
        }
        if (out.size() - body > 0xFFFF) {
            error = "a node has too many attributes";
            return false;
        }
        out.patch_u16(body + 12, uint16_t(out.size() - body));
        out.align4();
        for (size_t i = 0; i < node.children.size(); ++i) {
            out.patch_u32(child_slots + 4 * i, uint32_t(out.size()));
            if (!write(node.children[i]))
                return false;
        }
        return true;
    }

    void write_entry(const WriterAttribute& a)
    {
        out.u16(name_offsets.at(a.name));
        switch (a.section) {
        case layout::Section::integer:
            out.u16(0);
            out.u32(uint32_t(a.integer));
            break;
        case layout::Section::font:
            out.u16(0);
            out.u32(a.index);
            break;
        case layout::Section::point:
            out.u16(0);
            out.u16(uint16_t(a.x));
            out.u16(uint16_t(a.y));
            break;
        case layout::Section::string:
            out.u16(uint16_t(a.index));
            break;
        case layout::Section::picture:
            for (uint16_t c : a.corners)
                out.u16(c);
            out.u8(uint8_t(a.index));
            out.u8(a.flag);
            break;
        case layout::Section::colour:
            out.u16(0);
            out.u8(a.colour.red);
            out.u8(a.colour.green);
            out.u8(a.colour.blue);
            out.u8(0);
            break;
        }
    }
};

} // namespace

uint32_t SkinWriter::intern(Table& table, const std::u16string& text)
{
    auto [it, added] = table.index.emplace(text, uint32_t(table.texts.size()));
    if (added)
        table.texts.push_back(text);
    return it->second;
}

bool SkinWriter::add_named_node(const std::u16string& name, WriterNode node)
{
    return m_named.emplace(name, std::move(node)).second;
}

bool SkinWriter::write(std::vector<uint8_t>& image, std::string& error) const
{
    if (m_pictures.texts.size() > 256) {
        error = "more than 256 pictures";
        return false;
    }
    if (m_strings.texts.size() > 65536) {
        error = "more than 65536 strings";
        return false;
    }
    Output out;
    for (char16_t c : layout::magic)
        out.u16(c);
    const char tag[] = "skinc";
    for (size_t i = 0; i < 64; ++i)
        out.u8(i < sizeof tag - 1 ? uint8_t(tag[i]) : 0);
    for (int i = 0; i < 5; ++i)
        out.u32(0);

    // Attribute names first: their offsets are 16 bits wide.
    std::set<std::u16string> names;
    for (const auto& [name, node] : m_named)
        collect_names(node, names);
    std::map<std::u16string, uint16_t> name_offsets;
    for (const std::u16string& name : names) {
        if (out.size() + 2 * (name.size() + 1) > layout::attribute_name_limit) {
            error = "the attribute names do not fit in the first 64 KiB";
            return false;
        }
        name_offsets.emplace(name, uint16_t(out.size()));
        out.text(name);
    }

    out.patch_u32(layout::picture_count, uint32_t(m_pictures.texts.size()));
    out.patch_u32(layout::font_count, uint32_t(m_fonts.texts.size()));
    out.patch_u32(layout::string_count, uint32_t(m_strings.texts.size()));
    out.patch_u32(layout::name_block, uint32_t(out.size()));
    for (const Table* table : { &m_pictures, &m_fonts, &m_strings }) {
        for (const std::u16string& text : table->texts)
            out.text(text);
    }

    std::vector<const std::u16string*> sorted;
    std::vector<const WriterNode*> nodes;
    for (const auto& [name, node] : m_named) {
        sorted.push_back(&name);
        nodes.push_back(&node);
    }
    std::vector<uint32_t> name_text(sorted.size());
    for (size_t i = 0; i < sorted.size(); ++i) {
        name_text[i] = uint32_t(out.size());
        out.text(*sorted[i]);
    }
    out.align4();

    // Records in name order; the tree is made balanced by linking them afterwards.
    std::vector<uint32_t> record(sorted.size());
    BodyWriter bodies { out, name_offsets, error };
    for (size_t i = 0; i < sorted.size(); ++i) {
        record[i] = uint32_t(out.size());
        out.u32(none);
        out.u32(none);
        out.u32(name_text[i]);
        if (!bodies.write(*nodes[i]))
            return false;
    }
    struct Linker {
        Output& out;
        const std::vector<uint32_t>& record;
        uint32_t link(size_t low, size_t high)
        {
            if (low >= high)
                return none;
            size_t middle = (low + high) / 2;
            out.patch_u32(record[middle] + layout::record_left, link(low, middle));
            out.patch_u32(record[middle] + layout::record_right, link(middle + 1, high));
            return record[middle];
        }
    } linker { out, record };
    out.patch_u32(layout::root_offset, linker.link(0, record.size()));
    image = std::move(out.bytes());
    return true;
}

} // namespace skinc
