// A shared font of the skin engine with its text metrics. Fonts are created once per
// FontSpec for the whole process (FontRegistry); the rendering engine supplies the real
// FreeType fonts, tests may install fonts with fixed metrics.
#pragma once

#include "skin/draw/Geometry.h"
#include "skin/draw/PixelBuffer.h"
#include "skin/text/FontSpec.h"

#include <memory>
#include <string_view>
#include <vector>

namespace skin {

class RenderSurface;

struct TextExtent {
    int width { 0 };
    int height { 0 };
    std::vector<int> right_edges; // right edge of every character, from the text's start
};

class FontRep {
public:
    virtual ~FontRep() = default;
    const FontSpec& spec() const { return m_spec; }
    // The height of one line of text.
    virtual int line_height() const = 0;
    virtual TextExtent measure_text(std::u16string_view text) const = 0;
    // The distance from the top of a line to the baseline.
    virtual int ascent() const { return line_height(); }
    // Draws one line of text whose line box starts at top_left, blended onto the target
    // and limited to clip. Fonts without glyphs (fixed metrics in tests) draw nothing.
    virtual void draw_line(const PixelBuffer& target, const Rect& clip, Point top_left, std::u16string_view text, Color colour) const
    {
    }

protected:
    explicit FontRep(FontSpec spec)
        : m_spec(std::move(spec))
    {
    }

private:
    FontSpec m_spec;
};

using SharedFont = std::shared_ptr<const FontRep>;

} // namespace skin
