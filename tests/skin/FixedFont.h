// A font with fixed metrics for layout tests: every character is 6 pixels wide, except
// 'W' (10) and the zero-width space (0); a line is 10 pixels high times the scale factor.
#pragma once

#include "skin/text/FontRegistry.h"

namespace skin_test {

class FixedFont final : public skin::FontRep {
public:
    explicit FixedFont(const skin::FontSpec& spec)
        : skin::FontRep(spec)
    {
    }
    int line_height() const override { return 10 * spec().scale_factor; }
    skin::TextExtent measure_text(std::u16string_view text) const override
    {
        skin::TextExtent extent;
        int x = 0;
        for (char16_t c : text) {
            x += c == u'W' ? 10 : c == u'\u200B' ? 0 : 6;
            extent.right_edges.push_back(x);
        }
        extent.width = x;
        extent.height = line_height();
        return extent;
    }
};

inline void use_fixed_fonts()
{
    skin::set_font_factory([](const skin::FontSpec& spec) { return std::make_shared<FixedFont>(spec); });
}

} // namespace skin_test
