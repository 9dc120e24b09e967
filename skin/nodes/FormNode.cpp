#include "skin/nodes/FormNode.h"

#include "skin/file/Properties.h"

namespace skin {

void FormNode::load(const Properties& properties, NodeBody body)
{
    SkinNode::load(properties, body);
    m_outside_color = properties.get_colour(body, u"outside_color", {});
}

} // namespace skin
