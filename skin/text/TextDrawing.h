// Text on render surfaces: measuring, and single-line drawing in a box through the
// process-wide scratch surface, merged back so that every pixel the text touched is opaque.
#pragma once

#include "skin/draw/RenderSurface.h"
#include "skin/text/FontRep.h"
#include "skin/text/TextAlignment.h"

namespace skin {

TextExtent measure_text(const FontRep* font, std::u16string_view text);

// The text cut at the end so that it and "..." fit the width; the text itself when it fits.
std::u16string end_ellipsis(const FontRep& font, std::u16string_view text, int width);

void draw_text(const FontRep* font, RenderSurface& target, Color colour, std::u16string_view text, Point origin, Point box,
    HAlign halign, VAlign valign, bool ellipsis);

// The scratch surface's size: it only grows.
Point text_scratch_size();

} // namespace skin
