// Children side by side in a row ("htable").
#pragma once

#include "skin/nodes/TableNode.h"

namespace skin {

class HTableNode : public TableNode {
public:
    HTableNode()
        : TableNode(Axis::x)
    {
    }
};

} // namespace skin
