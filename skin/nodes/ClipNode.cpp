#include "skin/nodes/ClipNode.h"

#include "skin/draw/Drawing.h"

namespace skin {

void ClipNode::draw(RenderSurface& surface, Point origin)
{
    ClipScope clip(surface, origin, size());
    SkinNode::draw(surface, origin);
}

} // namespace skin
