// A container whose children are drawn clipped to its rectangle ("clip").
#pragma once

#include "skin/nodes/SkinNode.h"

namespace skin {

class ClipNode : public SkinNode {
public:
    void draw(RenderSurface& surface, Point origin) override;
};

} // namespace skin
