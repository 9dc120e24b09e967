// Children in a row (HTableNode) or a column (VTableNode): along the table's axis each
// visible child gets its minimum, the rest of the room is handed out to the children
// that want more, and spare room goes to the children with a "table_ratio"; when even
// the minimums do not fit, the children shrink in proportion to them. The other axis is
// laid out as a plain container.
#pragma once

#include "skin/nodes/SkinNode.h"

namespace skin {

class TableNode : public SkinNode {
public:
    void insert_child(std::unique_ptr<SkinNode> child, size_t index, const Properties* properties, NodeBody body,
        std::u16string_view type) override;
    void child_visibility_changed(SkinNode& child) override;
    void layout_x() override;
    void layout_y() override;
    void measure_x(Measure& measure) override;
    void measure_y(Measure& measure) override;

protected:
    explicit TableNode(Axis axis)
        : m_axis(axis)
    {
    }

private:
    void measure_table(Measure& measure);
    void layout_table();

    Axis m_axis;
};

} // namespace skin
