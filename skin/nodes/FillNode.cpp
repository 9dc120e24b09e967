#include "skin/nodes/FillNode.h"

#include "skin/draw/Drawing.h"
#include "skin/draw/SolidFill.h"
#include "skin/file/Properties.h"

namespace skin {

void FillNode::load(const Properties& properties, NodeBody body)
{
    SkinNode::load(properties, body);
    m_colour = properties.get_colour(body, u"color", {});
}

void FillNode::set_colour(Color colour)
{
    if (m_colour == colour)
        return;
    m_colour = colour;
    mark_dirty();
}

void FillNode::draw(RenderSurface& surface, Point origin)
{
    // The colour's own lowest green bit would make it translucent under a cache blender.
    fill(surface, origin, size(), SolidFill(Pixel(to_565(m_colour) | opaque_bit)));
    SkinNode::draw(surface, origin);
}

} // namespace skin
