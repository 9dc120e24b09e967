// The drawing operations on render surfaces: in-place fills, copies of surfaces 1:1 and
// scaled, and nine-part picture drawing. Everything is clipped to the target's drawing
// area; empty or negative rectangles draw nothing.
#pragma once

#include "skin/draw/Blender.h"
#include "skin/draw/PictureRef.h"
#include "skin/draw/RenderSurface.h"
#include "skin/draw/RowOperation.h"

namespace skin {

void fill(RenderSurface& surface, Point origin, Point size, const RowOperation& operation);
// Copies the source's drawing area to origin, 1:1.
void blit(RenderSurface& target, Point origin, const RenderSurface& source, const Blender& blender);
// Copies the source's drawing area into the target rectangle, stepping in 22.10 fixed point.
void blit_scaled(RenderSurface& target, Point origin, Point size, const RenderSurface& source, const Blender& blender);
// Nine-part drawing of the picture rectangle into the target rectangle.
void draw_picture(RenderSurface& target, Point origin, Point size, const PictureRef& picture, const Blender& blender);

} // namespace skin
