// A progress bar ("progress"): its "#line" descendant is given the value's share of the
// room left by the line's margins; the other children are laid out as usual.
#pragma once

#include "skin/nodes/SkinNode.h"

namespace skin {

class ProgressNode : public SkinNode {
public:
    void load(const Properties& properties, NodeBody body) override;
    std::unique_ptr<SkinNode> remove_child(SkinNode& child, size_t index) override;
    void layout_x() override;
    void layout_y() override;

    double value() const { return m_value; }
    // Clamped to 0.0 .. 1.0; the line is placed again at once.
    void set_value(double value);
    SkinNode* line() const { return m_line; }

private:
    void layout_axis(Axis axis);
    void layout_line(Axis axis);

    SkinNode* m_line { nullptr };
    double m_value { 0 };
};

} // namespace skin
