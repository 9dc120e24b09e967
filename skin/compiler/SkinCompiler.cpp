#include "skin/compiler/SkinCompiler.h"

#include "skin/compiler/PngConvert.h"
#include "skin/compiler/SkinSchema.h"
#include "skin/compiler/SkinWriter.h"
#include "skin/file/SkinImageCheck.h"

#include "platform/TextEncoding.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace skinc {

using skin::layout::Section;
namespace fs = std::filesystem;

namespace {

std::optional<Section> kind_of_name(std::string_view kind)
{
    static const std::map<std::string_view, Section> kinds = {
        { "integer", Section::integer }, { "font", Section::font }, { "point", Section::point },
        { "string", Section::string }, { "picture", Section::picture }, { "color", Section::colour },
    };
    auto found = kinds.find(kind);
    if (found == kinds.end())
        return std::nullopt;
    return found->second;
}

std::vector<std::string> split_words(std::string_view text)
{
    std::vector<std::string> words;
    std::string word;
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ',') {
            if (!word.empty())
                words.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        words.push_back(std::move(word));
    return words;
}

bool parse_number(const std::string& word, long long low, long long high, long long& value)
{
    if (word.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtoll(word.c_str(), &end, 0);
    return errno == 0 && *end == 0 && value >= low && value <= high;
}

class Compiler {
public:
    Compiler(std::string source_path, std::string output_path, std::span<const std::string_view> more_types)
        : m_source_path(std::move(source_path))
        , m_output_path(std::move(output_path))
        , m_more_types(more_types)
    {
    }
    bool run(std::string& error);

private:
    bool fail(pugi::xml_node where, const std::string& message)
    {
        m_error = m_source_path + ":" + std::to_string(line_of(where)) + ": " + message;
        return false;
    }
    int line_of(pugi::xml_node node) const
    {
        ptrdiff_t offset = node.offset_debug();
        int line = 1;
        for (ptrdiff_t i = 0; i < offset && size_t(i) < m_text.size(); ++i)
            line += m_text[size_t(i)] == '\n';
        return line;
    }
    // depth 0 is a named node; the loader refuses a tree deeper than skin::max_tree_depth,
    // and no recursion here goes further than that.
    bool compile_node(pugi::xml_node element, int depth, WriterNode& node);
    bool known_type(std::string_view type) const;
    bool make_output_folder();
    bool add_attribute(pugi::xml_node where, Section kind, const std::string& name, const std::string& value,
        WriterNode& node);
    bool picture_value(pugi::xml_node where, const std::string& value, WriterAttribute& attribute);

    std::string m_source_path, m_output_path;
    std::span<const std::string_view> m_more_types;
    bool m_folder_made { false };
    size_t m_tree_nodes { 0 }; // nodes of the named node being compiled
    std::string m_text;
    std::string m_error;
    SkinWriter m_writer;
    struct Converted {
        std::string path;
        int width, height;
    };
    std::map<std::u16string, Converted> m_pictures; // by picture name
};

bool Compiler::picture_value(pugi::xml_node where, const std::string& value, WriterAttribute& attribute)
{
    std::vector<std::string> words = split_words(value);
    if (words.empty())
        return fail(where, "picture attribute without a file");
    fs::path png = fs::path(m_source_path).parent_path() / words[0];
    std::u16string name = platform::from_utf8(png.stem().string());
    auto found = m_pictures.find(name);
    if (found == m_pictures.end()) {
        ConvertedPicture converted;
        std::string error;
        if (!convert_png(png.string(), converted, error))
            return fail(where, error);
        if (!make_output_folder())
            return false;
        fs::path bmp = fs::path(m_output_path).parent_path() / (png.stem().string() + ".bmp");
        std::ofstream out(bmp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(converted.bitmap.data()), std::streamsize(converted.bitmap.size()));
        if (!out)
            return fail(where, "cannot write " + bmp.string());
        found = m_pictures.emplace(name, Converted { fs::weakly_canonical(png).string(), converted.width, converted.height }).first;
    } else if (found->second.path != fs::weakly_canonical(png).string()) {
        return fail(where, "two pictures named " + png.stem().string());
    }
    int w = found->second.width, h = found->second.height;
    long long n[9] = { 0, 0, 0, 0, w, h, w, h, 0 };
    size_t count = words.size() - 1;
    if (count != 0 && count != 4 && count != 8 && count != 9)
        return fail(where, "a picture takes 0, 4, 8 or 9 numbers after its file");
    for (size_t i = 0; i < count; ++i) {
        long long& target = count == 4 ? n[2 + i] : n[i];
        if (!parse_number(words[i + 1], 0, i == 8 ? 255 : 65535, target))
            return fail(where, "bad picture number '" + words[i + 1] + "'");
    }
    for (int axis = 0; axis < 2; ++axis) {
        long long limit = axis == 0 ? w : h;
        for (int c = 0; c < 4; ++c) {
            long long v = n[2 * c + axis];
            long long before = c ? n[2 * (c - 1) + axis] : 0;
            if (v < before || v > limit)
                return fail(where, "picture corners must be ordered and inside the picture");
        }
    }
    for (int i = 0; i < 8; ++i)
        attribute.corners[i] = uint16_t(n[i]);
    attribute.flag = uint8_t(n[8]);
    attribute.index = m_writer.picture(name);
    return true;
}

bool Compiler::add_attribute(pugi::xml_node where, Section kind, const std::string& name, const std::string& value,
    WriterNode& node)
{
    WriterAttribute a;
    a.section = kind;
    a.name = platform::from_utf8(name);
    for (const WriterAttribute& other : node.attributes) {
        if (other.section == kind && other.name == a.name)
            return fail(where, "attribute '" + name + "' given twice");
    }
    std::vector<std::string> words = split_words(value);
    long long n[3] = {};
    switch (kind) {
    case Section::integer:
        if (words.size() != 1 || !parse_number(words[0], INT32_MIN, UINT32_MAX, n[0]))
            return fail(where, "attribute '" + name + "' needs an integer, not '" + value + "'");
        a.integer = int32_t(uint32_t(n[0]));
        break;
    case Section::point:
        if (words.size() != 2 || !parse_number(words[0], INT16_MIN, INT16_MAX, n[0])
            || !parse_number(words[1], INT16_MIN, INT16_MAX, n[1]))
            return fail(where, "attribute '" + name + "' needs a point 'x y', not '" + value + "'");
        a.x = int16_t(n[0]);
        a.y = int16_t(n[1]);
        break;
    case Section::colour:
        if (value.size() == 7 && value[0] == '#') {
            char* end = nullptr;
            unsigned long rgb = std::strtoul(value.c_str() + 1, &end, 16);
            if (*end != 0)
                return fail(where, "attribute '" + name + "' needs a colour '#rrggbb' or 'r g b'");
            a.colour = { uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), 255 };
        } else {
            if (words.size() != 3)
                return fail(where, "attribute '" + name + "' needs a colour '#rrggbb' or 'r g b'");
            for (int i = 0; i < 3; ++i) {
                if (!parse_number(words[size_t(i)], 0, 255, n[i]))
                    return fail(where, "attribute '" + name + "' needs a colour '#rrggbb' or 'r g b'");
            }
            a.colour = { uint8_t(n[0]), uint8_t(n[1]), uint8_t(n[2]), 255 };
        }
        break;
    case Section::string:
        if (name == "type" && !known_type(value)) {
            std::string known;
            for (const NodeType& type : node_types())
                known += (known.empty() ? "" : ", ") + std::string(type.name);
            return fail(where, "unknown node type '" + value + "'; the types are " + known);
        }
        a.index = m_writer.string(platform::from_utf8(value));
        break;
    case Section::font:
        if (std::string wrong = check_font(value); !wrong.empty())
            return fail(where, "font '" + value + "' " + wrong);
        a.index = m_writer.font(platform::from_utf8(value));
        break;
    case Section::picture:
        if (!picture_value(where, value, a))
            return false;
        break;
    }
    node.attributes.push_back(std::move(a));
    return true;
}

bool Compiler::known_type(std::string_view type) const
{
    if (find_node_type(type))
        return true;
    for (std::string_view more : m_more_types) {
        if (more == type)
            return true;
    }
    return false;
}

bool Compiler::make_output_folder()
{
    if (m_folder_made)
        return true;
    fs::path folder = fs::path(m_output_path).parent_path();
    std::error_code ec;
    if (!folder.empty())
        fs::create_directories(folder, ec);
    if (ec) {
        m_error = m_output_path + ": cannot make its folder: " + ec.message();
        return false;
    }
    m_folder_made = true;
    return true;
}

bool Compiler::compile_node(pugi::xml_node element, int depth, WriterNode& node)
{
    bool top_level = depth == 0;
    if (depth > skin::max_tree_depth)
        return fail(element, "nodes nest deeper than " + std::to_string(skin::max_tree_depth)
                + " levels below a named node; the engine would not load the skin");
    if (++m_tree_nodes > skin::max_tree_nodes)
        return fail(element, "a named node holds more than " + std::to_string(skin::max_tree_nodes)
                + " nodes; the engine would not load the skin");
    for (pugi::xml_attribute attribute : element.attributes()) {
        std::string name = attribute.name();
        if (name == "name") {
            if (!top_level)
                return fail(element, "only named nodes directly under <skin> take 'name'; use 'id'");
            continue;
        }
        std::optional<Section> kind = schema_kind(platform::from_utf8(name));
        size_t dot = name.find('.');
        if (!kind && dot != std::string::npos) {
            kind = kind_of_name(std::string_view(name).substr(0, dot));
            if (!kind)
                return fail(element, "unknown kind in '" + name + "'");
            name = name.substr(dot + 1);
        }
        if (!kind)
            return fail(element, "unknown attribute '" + name + "': give its kind as kind.name or with <attribute>");
        if (!add_attribute(element, *kind, name, attribute.value(), node))
            return false;
    }
    for (pugi::xml_node child : element.children()) {
        if (child.type() != pugi::node_element)
            continue;
        std::string tag = child.name();
        if (tag == "node") {
            WriterNode built;
            if (!compile_node(child, depth + 1, built))
                return false;
            node.children.push_back(std::move(built));
        } else if (tag == "attribute") {
            std::optional<Section> kind = kind_of_name(child.attribute("kind").value());
            std::string name = child.attribute("name").value();
            if (name.empty())
                return fail(child, "<attribute> needs a name");
            if (!kind)
                return fail(child, "<attribute> needs a kind: integer, font, point, string, picture or color");
            if (!child.attribute("value"))
                return fail(child, "<attribute> needs a value");
            if (!add_attribute(child, *kind, name, child.attribute("value").value(), node))
                return false;
        } else {
            return fail(child, "unexpected element <" + tag + ">");
        }
    }
    // The engine wants every child's type, however it is written; a plain container is
    // the usual one.
    bool typed = std::any_of(node.attributes.begin(), node.attributes.end(),
        [](const WriterAttribute& a) { return a.section == Section::string && a.name == u"type"; });
    if (!top_level && !typed && !add_attribute(element, Section::string, "type", "node", node))
        return false;
    return true;
}

bool Compiler::run(std::string& error)
{
    std::ifstream in(m_source_path, std::ios::binary);
    if (!in) {
        error = m_source_path + ": cannot open";
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    m_text = text.str();
    pugi::xml_document document;
    pugi::xml_parse_result parsed = document.load_buffer(m_text.data(), m_text.size());
    if (!parsed) {
        int line = 1;
        for (ptrdiff_t i = 0; i < parsed.offset && size_t(i) < m_text.size(); ++i)
            line += m_text[size_t(i)] == '\n';
        error = m_source_path + ":" + std::to_string(line) + ": " + parsed.description();
        return false;
    }
    pugi::xml_node root = document.document_element();
    if (std::string(root.name()) != "skin") {
        fail(root, "the root element must be <skin>");
        error = m_error;
        return false;
    }
    bool ok = true;
    for (pugi::xml_node child : root.children()) {
        if (child.type() != pugi::node_element)
            continue;
        if (std::string(child.name()) != "node") {
            ok = fail(child, std::string("unexpected element <") + child.name() + ">");
            break;
        }
        std::string name = child.attribute("name").value();
        if (name.empty()) {
            ok = fail(child, "a node directly under <skin> needs a name");
            break;
        }
        WriterNode node;
        m_tree_nodes = 0;
        if (!compile_node(child, 0, node)) {
            ok = false;
            break;
        }
        if (!m_writer.add_named_node(platform::from_utf8(name), std::move(node))) {
            ok = fail(child, "a second node named '" + name + "'");
            break;
        }
    }
    std::vector<uint8_t> image;
    std::string limit;
    if (ok && !m_writer.write(image, limit)) {
        m_error = m_source_path + ": " + limit;
        ok = false;
    }
    if (ok && !make_output_folder())
        ok = false;
    if (!ok) {
        error = m_error;
        return false;
    }
    std::ofstream out(m_output_path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image.data()), std::streamsize(image.size()));
    if (!out) {
        error = m_output_path + ": cannot write";
        return false;
    }
    return true;
}

} // namespace

bool compile_skin(const std::string& source_path, const std::string& output_path, std::string& error,
    std::span<const std::string_view> more_types)
{
    return Compiler(source_path, output_path, more_types).run(error);
}

} // namespace skinc
