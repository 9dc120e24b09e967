#include "skin/FontRegistry.h"
#include "skin/FreeTypeFont.h"

namespace skin {

void install_freetype_fonts()
{
    set_font_factory([](const FontSpec& spec) -> SharedFont { return std::make_shared<FreeTypeFont>(spec); });
}

} // namespace skin
