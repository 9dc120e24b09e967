// A font description of a skin: size, bold, italic, underline, scale factor and face.
#pragma once

#include <string>
#include <string_view>

namespace skin {

struct FontSpec {
    int size { 12 };
    bool bold { false };
    bool italic { false };
    bool underline { false };
    int scale_factor { 1 }; // 2 to the power of the skin's scale shift
    std::u16string face { u"Tahoma" };

    friend bool operator==(const FontSpec&, const FontSpec&) = default;
    friend auto operator<=>(const FontSpec&, const FontSpec&) = default;
};

// Parses "size bold italic underline face" into the spec; fields that do not parse,
// and all after them, keep the values the spec already has.
void parse_font_spec(std::u16string_view text, FontSpec& spec);

} // namespace skin
