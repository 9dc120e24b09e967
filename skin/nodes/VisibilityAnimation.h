// An animation that draws a node instead of the node itself while the node's form
// opens or closes. The kinds ("scale", "pop", "right", "bottom", "left", "top", "flip")
// belong to the drawing side of the engine.
#pragma once

#include "skin/draw/Geometry.h"

#include <memory>
#include <string_view>

namespace skin {

class RenderSurface;
class SkinNode;

class VisibilityAnimation {
public:
    virtual ~VisibilityAnimation() = default;
    // The form stack starts the animation when the node's form opens (direction +1) or
    // closes (-1), with snapshots of the screen behind the form and of the form.
    virtual void start(int direction, RenderSurface&& background, RenderSurface&& form) = 0;
    virtual bool running() const = 0;
    // +1 while the form opens, -1 while it closes.
    virtual int direction() const = 0;
    // Turns a running animation around from where it stands: an opening form closes
    // again (and a closing one opens) over the same snapshots.
    virtual void reverse() = 0;
    // Ends a running animation at once and releases its snapshots.
    virtual void stop() = 0;
    virtual void life_cycle(SkinNode& node, double elapsed) = 0;
    virtual void draw(SkinNode& node, RenderSurface& surface, Point origin) = 0;
};

// The animation of one of the kinds above, or null.
std::unique_ptr<VisibilityAnimation> create_visibility_animation(std::u16string_view kind);

} // namespace skin
