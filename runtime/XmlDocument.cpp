#include "runtime/XmlDocument.h"
#include "runtime/Paths.h"
#include "runtime/TextConvert.h"

#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"

#include <sstream>
#include <unistd.h>
#include <vector>

namespace runtime {

namespace {

// Comments and processing instructions stay child nodes, as in the platform's DOM;
// white-space-only text between elements is dropped.
constexpr unsigned parse_options = pugi::parse_default | pugi::parse_comments | pugi::parse_pi;
constexpr unsigned save_options = pugi::format_raw | pugi::format_no_declaration;

std::string utf8(std::u16string_view text) { return platform::to_utf8(text); }

} // namespace

XmlDocument XmlDocument::create()
{
    XmlDocument d;
    d.m_doc = std::make_shared<pugi::xml_document>();
    return d;
}

XmlDocument XmlDocument::load(FileStream& stream)
{
    if (!stream.is_open())
        return XmlDocument();
    std::vector<char> bytes;
    char chunk[8192];
    while (size_t n = stream.read(chunk, sizeof chunk))
        bytes.insert(bytes.end(), chunk, chunk + n);
    return load_bytes(bytes.data(), bytes.size());
}

XmlDocument XmlDocument::load_bytes(const void* data, size_t size)
{
    XmlDocument d = create();
    if (size == 0 || !d.m_doc->load_buffer(data, size, parse_options, pugi::encoding_auto))
        return XmlDocument();
    return d;
}

XmlDocument XmlDocument::parse(std::u16string_view text)
{
    std::string bytes = utf8(text);
    XmlDocument d = create();
    if (bytes.empty() || !d.m_doc->load_buffer(bytes.data(), bytes.size(), parse_options, pugi::encoding_utf8))
        return XmlDocument();
    return d;
}

bool XmlDocument::save(std::u16string_view path) const
{
    if (!m_doc)
        return false;
    std::u16string target = expand_path(path);
    std::u16string temporary = target + u".tmp" + platform::widen(std::to_string(getpid()));
    FileStream out(temporary, FileStream::Mode::write);
    if (!out.is_open())
        return false;
    std::string bytes = to_utf8();
    bool written = out.write(bytes.data(), bytes.size());
    out.close();
    if (!written || !platform::rename_file(temporary, target)) {
        platform::delete_file(temporary);
        return false;
    }
    return true;
}

std::string XmlDocument::to_utf8() const
{
    if (!m_doc)
        return {};
    std::ostringstream out;
    m_doc->save(out, "", save_options, pugi::encoding_utf8);
    return out.str();
}

size_t child_count(XmlNode node)
{
    size_t n = 0;
    for (XmlNode c = node.first_child(); c; c = c.next_sibling())
        ++n;
    return n;
}

XmlNode child_at(XmlNode node, size_t index)
{
    XmlNode c = node.first_child();
    for (; c && index; c = c.next_sibling())
        --index;
    return c;
}

XmlNode first_child_named(XmlNode node, std::u16string_view name)
{
    std::string wanted = utf8(name);
    for (XmlNode c = node.first_child(); c; c = c.next_sibling())
        if (wanted == c.name())
            return c;
    return XmlNode();
}

std::u16string node_name(XmlNode node)
{
    return platform::from_utf8(node.name());
}

XmlNode append_element(XmlNode node, std::u16string_view name)
{
    if (!node)
        return XmlNode();
    return node.append_child(utf8(name).c_str());
}

void set_attribute(XmlNode element, std::u16string_view name, std::u16string_view text)
{
    if (element.type() != pugi::node_element)
        return;
    std::string key = utf8(name);
    pugi::xml_attribute a = element.attribute(key.c_str());
    if (!a)
        a = element.append_attribute(key.c_str());
    a.set_value(utf8(text).c_str());
}

void set_attribute(XmlNode element, std::u16string_view name, int32_t value)
{
    set_attribute(element, name, std::u16string_view(int_to_text(value)));
}

void set_attribute(XmlNode element, std::u16string_view name, double value)
{
    set_attribute(element, name, std::u16string_view(double_to_text(value)));
}

bool get_attribute(XmlNode node, std::u16string_view name, std::u16string& text)
{
    pugi::xml_attribute a = node.attribute(utf8(name).c_str());
    if (!a)
        return false;
    text = platform::from_utf8(a.value());
    return true;
}

bool get_attribute(XmlNode node, std::u16string_view name, int32_t& value)
{
    std::u16string text;
    return get_attribute(node, name, text) && text_to_int(text, value);
}

bool get_attribute(XmlNode node, std::u16string_view name, double& value)
{
    std::u16string text;
    return get_attribute(node, name, text) && text_to_double(text, value);
}

} // namespace runtime
