// A rectangle filled with one colour ("color").
#pragma once

#include "skin/nodes/SkinNode.h"

namespace skin {

class FillNode : public SkinNode {
public:
    void load(const Properties& properties, NodeBody body) override;
    void draw(RenderSurface& surface, Point origin) override;
    Color colour() const { return m_colour; }
    void set_colour(Color colour);

private:
    Color m_colour;
};

} // namespace skin
