// How an image node puts its picture into its rectangle: nine-part drawing, or, keeping
// the picture's proportions, shrunk to fit or enlarged by a power of two.
#pragma once

#include "skin/Blender.h"
#include "skin/PictureRef.h"
#include "skin/RenderSurface.h"

namespace skin {

void draw_image(RenderSurface& target, Point origin, Point size, const PictureRef& picture, const Blender& blender,
    bool save_aspect_ratio);

} // namespace skin
