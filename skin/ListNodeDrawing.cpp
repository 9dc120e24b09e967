// Drawing of the list: decoration bands, the rows and the highlight bar.
#include "skin/ListNode.h"

namespace skin {

void ListNode::draw(RenderSurface& surface, Point origin)
{
    update_window();
    SkinNode::draw(surface, origin);
}

} // namespace skin
