// The loaded skin: the file image used in place, its picture, font and string tables,
// the scale shift, the language table for translated texts, and the reload listeners.
// Nodes read their attributes straight from the image through the typed getters; a
// node body is good until the next successful load replaces the image.
#pragma once

#include "skin/draw/Geometry.h"
#include "skin/draw/PictureRef.h"
#include "skin/file/LanguageTable.h"
#include "skin/file/NodeBody.h"
#include "skin/file/ScreenInfo.h"
#include "skin/file/SkinFileLayout.h"
#include "skin/text/FontRep.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace skin {

class ReloadListener;

class Properties {
public:
    Properties() = default;
    Properties(const Properties&) = delete;
    Properties& operator=(const Properties&) = delete;
    virtual ~Properties() = default;

    // Loads the skin file for the screen; true when it was installed. A failed load
    // leaves the skin in use untouched.
    bool load_skin(std::u16string_view path, const ScreenInfo& screen);
    // The same for a file image already in memory (the path names the picture folder).
    bool load_skin_image(std::vector<uint8_t> image, std::u16string_view path, const ScreenInfo& screen);
    bool loaded() const { return m_header != nullptr; }
    const std::u16string& path() const { return m_path; }
    // The file that made the last load_skin fail (the skin or one of its bitmaps).
    const std::u16string& failed_file() const { return m_failed_file; }
    int scale_shift() const { return m_scale_shift; }

    // A named node; on a landscape screen its landscape form (name + "-landscape") when
    // the skin has one.
    NodeBody find_named_node(std::u16string_view name) const;
    static constexpr std::u16string_view landscape_suffix = u"-landscape";
    // The screen the skin was loaded for is wider than tall.
    bool landscape() const { return m_landscape; }
    int32_t get_integer(NodeBody node, std::u16string_view name, int32_t default_value) const;
    SharedFont get_font(NodeBody node, std::u16string_view name, SharedFont default_font) const;
    // A stored point is scaled; the default is returned as given.
    Point get_point(NodeBody node, std::u16string_view name, Point default_point) const;
    std::u16string get_string(NodeBody node, std::u16string_view name, std::u16string_view default_text) const;
    // The stored text itself, or null when the node has no such attribute.
    const std::u16string* find_string(NodeBody node, std::u16string_view name) const;
    PictureRef get_picture(NodeBody node, std::u16string_view name, const PictureRef& default_picture) const;
    Color get_colour(NodeBody node, std::u16string_view name, Color default_colour) const;

    size_t child_count(NodeBody node) const;
    NodeBody child(NodeBody node, size_t index) const;
    bool has_section(NodeBody node, layout::Section section) const;

    // For tools and diagnostics: the named nodes in name order and a node's attribute
    // names of one section in stored order.
    std::vector<std::pair<std::u16string, NodeBody>> named_nodes() const;
    std::vector<std::u16string> attribute_names(NodeBody node, layout::Section section) const;
    const std::vector<PictureRef>& pictures() const { return m_pictures; }
    const std::vector<std::u16string>& picture_names() const { return m_picture_names; }
    const std::vector<SharedFont>& fonts() const { return m_fonts; }
    const std::vector<std::u16string>& strings() const { return m_strings; }

    // The language text under the key, or the text itself.
    std::u16string translate(std::u16string_view text) const { return std::u16string(m_language.text(text)); }
    LanguageTable& language() { return m_language; }
    const LanguageTable& language() const { return m_language; }
    // A language file that loads replaces the table; false leaves it.
    bool load_language(std::u16string_view path) { return m_language.load(path); }

    void add_reload_listener(ReloadListener* listener);
    void remove_reload_listener(ReloadListener* listener);

protected:
    void exchange_skin(Properties& other);
    NodeBody find_exact_node(std::u16string_view name) const;
    // The entry of the section with that name, or null.
    const uint8_t* find_entry(NodeBody node, layout::Section section, std::u16string_view name) const;

    LanguageTable m_language;
    std::vector<uint8_t> m_image;
    const uint8_t* m_header { nullptr };
    std::vector<PictureRef> m_pictures;
    std::vector<std::u16string> m_picture_names;
    std::vector<SharedFont> m_fonts;
    std::vector<std::u16string> m_strings;
    int m_scale_shift { 0 };
    bool m_landscape { false };
    std::u16string m_path;
    std::u16string m_failed_file;
    std::vector<ReloadListener*> m_listeners;
};

} // namespace skin
