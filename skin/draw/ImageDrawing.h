// How an image node puts its picture into its rectangle: nine-part drawing, or, keeping
// the picture's proportions, shrunk to fit or enlarged by a power of two.
#pragma once

#include "skin/draw/Blender.h"
#include "skin/draw/PictureRef.h"
#include "skin/draw/RenderSurface.h"

namespace skin {

// With a mask (a picture of the same size), the mask blender replaces the blender given.
void draw_image(RenderSurface& target, Point origin, Point size, const PictureRef& picture, const Blender& blender,
    bool save_aspect_ratio, const PictureRef* mask = nullptr);

} // namespace skin
