// How an image node puts its picture into its rectangle: nine-part drawing, or, keeping
// the picture's proportions, shrunk to fit or enlarged by a power of two.
#pragma once

#include "skin/Blender.h"
#include "skin/PictureRef.h"
#include "skin/RenderSurface.h"

namespace skin {

// With a mask (a picture of the same size), the mask blender replaces the blender given.
void draw_image(RenderSurface& target, Point origin, Point size, const PictureRef& picture, const Blender& blender,
    bool save_aspect_ratio, const PictureRef* mask = nullptr);

} // namespace skin
