// The process-wide list of fonts keyed by FontSpec: asking for an equal spec returns the
// existing font. Which kind of font is created is set by a factory: FreeType fonts
// unless another is set (fonts with fixed metrics in some tests, none in others).
#pragma once

#include "skin/text/FontRep.h"

#include <functional>

namespace skin {

using FontFactory = std::function<SharedFont(const FontSpec&)>;

// The shared font for the spec; null when the factory could not create one.
SharedFont get_font(const FontSpec& spec);
// Replaces the factory and forgets the fonts made so far (fonts in use stay alive).
void set_font_factory(FontFactory factory);
// The font for text whose font handle is empty: the factory's font for the default spec,
// else a font without glyphs that measures nothing. Never null.
SharedFont fallback_font();

} // namespace skin
