// The blenders of the skin engine, made by kind.
#pragma once

#include "skin/draw/Blender.h"
#include "skin/draw/PixelBuffer.h"

namespace skin {

BlenderPtr make_opaque_copy();
// Level 0 (key only) to 4 (only opaque pixels); other values are clamped into 0..4.
BlenderPtr make_level_blender(int level);
// The level for a constant alpha 0..255: alpha / 64, clamped into 0..4.
int alpha_level(int alpha);
BlenderPtr make_alpha_blender(int alpha);
BlenderPtr make_text_merge();
// Process-wide instances for drawing code that picks a blender per call.
const Blender& shared_opaque_copy();
const Blender& shared_level_blender(int level);
// Channel factors out of 256; the result is OR-ed onto the target or written.
BlenderPtr make_colour_modulate(int red, int green, int blue, bool or_onto_target);
// Blends a picture through a mask picture of the same size: the mask's green channel is
// the source's weight (0 keeps the target, 63 takes the source); the key stays transparent.
BlenderPtr make_mask_blender(const PixelBuffer& source, const PixelBuffer& mask);

} // namespace skin
