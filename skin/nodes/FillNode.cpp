#include "skin/nodes/FillNode.h"

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

} // namespace skin
