// Children one below the other in a column ("vtable").
#pragma once

#include "skin/nodes/TableNode.h"

namespace skin {

class VTableNode : public TableNode {
public:
    VTableNode()
        : TableNode(Axis::y)
    {
    }
};

} // namespace skin
