#include "skin/text/FontRegistry.h"
#include "skin/text/FreeTypeFont.h"

namespace skin {

void install_freetype_fonts()
{
    // A font without a face becomes an empty handle: its text is drawn with the fallback font.
    set_font_factory([](const FontSpec& spec) -> SharedFont {
        auto font = std::make_shared<FreeTypeFont>(spec);
        return font->valid() ? font : nullptr;
    });
}

} // namespace skin
