#include "skin/compiler/SkinSchema.h"

#include <map>

namespace skinc {

using skin::layout::Section;

std::optional<Section> schema_kind(std::u16string_view name)
{
    static const std::map<std::u16string_view, Section> schema = {
        { u"cache", Section::integer },
        { u"cache_alpha", Section::integer },
        { u"grow", Section::integer },
        { u"grow_min", Section::integer },
        { u"wrap", Section::integer },
        { u"ellipsis", Section::integer },
        { u"fit_height", Section::integer },
        { u"alpha", Section::integer },
        { u"save_aspect_ratio", Section::integer },
        { u"movie", Section::integer },
        { u"table_ratio", Section::integer },
        { u"highlight_alpha", Section::integer },
        { u"locked", Section::integer },
        { u"font", Section::font },
        { u"border_min", Section::point },
        { u"border_max", Section::point },
        { u"design_size", Section::point },
        { u"scroll_border_min", Section::point },
        { u"scroll_border_max", Section::point },
        { u"id", Section::string },
        { u"type", Section::string },
        { u"anchor_x", Section::string },
        { u"anchor_y", Section::string },
        { u"text", Section::string },
        { u"halign", Section::string },
        { u"valign", Section::string },
        { u"bind_key", Section::string },
        { u"delay", Section::string },
        { u"visibility_animation", Section::string },
        { u"src", Section::picture },
        { u"mask", Section::picture },
        { u"highlight", Section::picture },
        { u"color", Section::colour },
        { u"outside_color", Section::colour },
        { u"background_color", Section::colour },
        { u"link_color", Section::colour },
    };
    auto found = schema.find(name);
    if (found == schema.end())
        return std::nullopt;
    return found->second;
}

namespace {

// The one list of node types. The engine registers its own (skin/SkinNodeTypes.cpp; the
// edit types with it once they are built), the framework its pop-up menu, and the
// Weather application the types of its own forms at start-up.
constexpr NodeType types[] = {
    { "node", "engine" },
    { "text", "engine" },
    { "color", "engine" },
    { "image", "engine" },
    { "htable", "engine" },
    { "vtable", "engine" },
    { "button", "engine" },
    { "vlist", "engine" },
    { "multinode", "engine" },
    { "progress", "engine" },
    { "clip", "engine" },
    { "edit", "engine" },
    { "label_edit", "engine" },
    { "richtext", "engine" },
    { "menu", "framework" },
    { "icon_page", "application" },
    { "svlist", "application" },
    { "hour_strip", "application" },
};

bool is_space(char c) { return c == ' ' || c == '\t'; }

// Digits only (no sign): the value, or -1 when there are none or too many.
long read_digits(std::string_view text, size_t& at)
{
    size_t first = at;
    long value = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        if (at - first >= 6)
            return -1;
        value = value * 10 + (text[at++] - '0');
    }
    return at == first ? -1 : value;
}

} // namespace

std::span<const NodeType> node_types() { return types; }

const NodeType* find_node_type(std::string_view name)
{
    for (const NodeType& type : types) {
        if (type.name == name)
            return &type;
    }
    return nullptr;
}

std::string check_font(std::string_view description)
{
    const std::string form = "'size bold italic underline face', e.g. '12 1 0 0 DejaVu Sans'";
    size_t at = 0;
    long fields[4];
    for (long& field : fields) {
        size_t start = at;
        while (at < description.size() && is_space(description[at]))
            ++at;
        if (&field != fields && at == start)
            return "needs " + form;
        field = read_digits(description, at);
        if (field < 0)
            return "needs " + form;
    }
    if (fields[0] < 1 || fields[0] > max_font_size)
        return "gives the size " + std::to_string(fields[0]) + "; a size is 1 to " + std::to_string(max_font_size);
    for (int i = 1; i < 4; ++i) {
        if (fields[i] > 1)
            return "needs bold, italic and underline as 0 or 1 in " + form;
    }
    size_t face = at;
    while (face < description.size() && is_space(description[face]))
        ++face;
    if (face == at || face == description.size())
        return "names no face: " + form;
    return {};
}

} // namespace skinc
