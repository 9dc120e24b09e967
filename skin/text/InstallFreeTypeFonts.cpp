#include "skin/text/FontRegistry.h"
#include "skin/text/FreeTypeFont.h"

namespace skin {

FontFactory freetype_font_factory()
{
    // A font without a face becomes an empty handle: its text is drawn with the fallback font.
    return [](const FontSpec& spec) -> SharedFont {
        auto font = std::make_shared<FreeTypeFont>(spec);
        return font->valid() ? font : nullptr;
    };
}

void install_freetype_fonts()
{
    set_font_factory(freetype_font_factory());
}

} // namespace skin
