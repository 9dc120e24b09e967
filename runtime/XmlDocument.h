// XML document access for the settings and cache files: create, load from a file,
// save, walk child elements by exact name, append elements, read and write attributes.
// Failures give an empty reference or false; nothing throws.
#pragma once

#include "runtime/FileStream.h"

#include <cstdint>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace runtime {

// A document reference; empty when creating or loading failed. The document itself
// counts as a node (document()).
class XmlDocument {
public:
    XmlDocument() = default;
    static XmlDocument create();
    // Parses the whole stream; empty when it does not parse as XML.
    static XmlDocument load(FileStream& stream);
    // Parses a file image already in memory; empty when it does not parse as XML.
    static XmlDocument load_bytes(const void* data, size_t size);
    // Parses a UTF-16 text (a downloaded feed, for instance).
    static XmlDocument parse(std::u16string_view text);

    explicit operator bool() const { return m_doc != nullptr; }
    pugi::xml_node document() const { return m_doc ? pugi::xml_node(*m_doc) : pugi::xml_node(); }

    // Writes the document with no declaration and no added white space. The file is
    // written beside the target and renamed over it, so a reader never sees half a file.
    bool save(std::u16string_view path) const;
    std::string to_utf8() const;

private:
    std::shared_ptr<pugi::xml_document> m_doc;
};

using XmlNode = pugi::xml_node;

size_t child_count(XmlNode node);
XmlNode child_at(XmlNode node, size_t index);
// The first child whose node name equals the name exactly (case matters).
XmlNode first_child_named(XmlNode node, std::u16string_view name);
std::u16string node_name(XmlNode node);
XmlNode append_element(XmlNode node, std::u16string_view name);
void set_attribute(XmlNode element, std::u16string_view name, std::u16string_view text);
void set_attribute(XmlNode element, std::u16string_view name, int32_t value);
void set_attribute(XmlNode element, std::u16string_view name, double value);
// The out value is changed only when the attribute exists (and converts).
bool get_attribute(XmlNode node, std::u16string_view name, std::u16string& text);
bool get_attribute(XmlNode node, std::u16string_view name, int32_t& value);
bool get_attribute(XmlNode node, std::u16string_view name, double& value);

} // namespace runtime
