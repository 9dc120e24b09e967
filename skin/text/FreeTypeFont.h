// A font of the skin engine drawn with FreeType: the face that fontconfig finds for the
// FontSpec, sized by the character-height table, with antialiased glyphs that are
// rasterised once and kept for the life of the font.
#pragma once

#include "skin/text/FontRegistry.h"
#include "skin/text/FontRep.h"
#include "skin/text/Glyph.h"

#include <array>
#include <string>
#include <unordered_map>

typedef struct FT_FaceRec_* FT_Face;

namespace skin {

class FreeTypeFont final : public FontRep {
public:
    explicit FreeTypeFont(FontSpec spec);
    ~FreeTypeFont() override;
    FreeTypeFont(const FreeTypeFont&) = delete;
    FreeTypeFont& operator=(const FreeTypeFont&) = delete;

    // The em height in pixels asked for a spec: the table for heights up to 19, else
    // height x 96 / 72, where height = size x scale factor.
    static int character_height(const FontSpec& spec);

    // False when no face could be created: such a font measures and draws nothing.
    bool valid() const { return m_face != nullptr; }
    const std::string& family() const { return m_family; }
    int pixel_size() const { return m_pixel_size; }

    int line_height() const override { return m_ascent + m_descent; }
    int ascent() const override { return m_ascent; }
    TextExtent measure_text(std::u16string_view text) const override;
    void draw_line(const PixelBuffer& target, const Rect& clip, Point top_left, std::u16string_view text, Color colour) const override;

    // The glyph of a code point, rasterised on first use.
    const Glyph& glyph(char32_t code) const;
    // How many glyphs were rasterised so far (each at most once).
    size_t rasterised_count() const { return m_rasterised; }

private:
    Glyph rasterise(char32_t code) const;

    FT_Face m_face { nullptr };
    std::string m_family;
    int m_pixel_size { 0 };
    int m_ascent { 0 };
    int m_descent { 0 };
    int m_underline_position { 0 }; // below the baseline
    int m_underline_thickness { 1 };
    bool m_embolden { false };
    bool m_slant { false };
    mutable std::unordered_map<char32_t, Glyph> m_glyphs;
    mutable std::array<const Glyph*, 128> m_ascii {};
    mutable size_t m_rasterised { 0 };
};

// The factory of FreeType fonts; a font without a face gives none. It is the font
// registry's factory until another is set.
FontFactory freetype_font_factory();
// Makes every font of the process a FreeType font again.
void install_freetype_fonts();

} // namespace skin
