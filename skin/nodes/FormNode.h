// The top node a form builds on: it also reads the colour shown outside the form.
#pragma once

#include "skin/nodes/SkinNode.h"

namespace skin {

class FormNode : public SkinNode {
public:
    void load(const Properties& properties, NodeBody body) override;
    Color outside_color() const { return m_outside_color; }

private:
    Color m_outside_color;
};

} // namespace skin
