// Placing and measuring nodes. A parent places each child along x, then along y; a
// node measures its wanted and minimum size once and keeps it until it goes stale.
#pragma once

#include "skin/layout/Measure.h"
#include "skin/nodes/SkinNode.h"

namespace skin {

void place_x(SkinNode& node, int x, int width);
void place_y(SkinNode& node, int y, int height);
Measure measure_x(SkinNode& node);
Measure measure_y(SkinNode& node);
inline Measure measure(SkinNode& node, Axis axis) { return axis == Axis::x ? measure_x(node) : measure_y(node); }
inline void place(SkinNode& node, Axis axis, int start, int extent)
{
    axis == Axis::x ? place_x(node, start, extent) : place_y(node, start, extent);
}
inline int along(Point p, Axis axis) { return axis == Axis::x ? p.x : p.y; }

// Puts the form on a screen of that size.
void place_on_screen(SkinNode& root, int width, int height);

} // namespace skin
