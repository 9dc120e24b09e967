#include "skin/nodes/TableNode.h"

#include "skin/file/Properties.h"
#include "skin/layout/ScaleMode.h"
#include "skin/nodes/Layout.h"

#include <algorithm>

namespace skin {

void TableNode::insert_child(std::unique_ptr<SkinNode> child, size_t index, const Properties* properties,
    NodeBody body, std::u16string_view type)
{
    if (child && properties && body)
        child->set_table_ratio(properties->get_integer(body, u"table_ratio", 0));
    SkinNode::insert_child(std::move(child), index, properties, body, type);
}

void TableNode::child_visibility_changed(SkinNode&) { invalidate(); }

void TableNode::layout_x() { m_axis == Axis::x ? layout_table() : layout_plain(Axis::x); }
void TableNode::layout_y() { m_axis == Axis::y ? layout_table() : layout_plain(Axis::y); }
void TableNode::measure_x(Measure& m) { m_axis == Axis::x ? measure_table(m) : measure_plain(Axis::x, m); }
void TableNode::measure_y(Measure& m) { m_axis == Axis::y ? measure_table(m) : measure_plain(Axis::y, m); }

void TableNode::measure_table(Measure& m)
{
    Axis a = m_axis;
    m.wanted = std::max(m.wanted, along(design_size(), a));
    int64_t sum = 0, flexible = 0;
    for (const auto& child : children()) {
        if (!child->visible())
            continue;
        Measure c = measure(*child, a);
        sum += scale_contribution(child->anchor(a), along(child->border_min(), a), along(child->border_max(), a), c.wanted);
        flexible += c.wanted - c.minimum;
    }
    m.wanted = std::max<int64_t>(m.wanted, sum);
    m.minimum = int(std::max<int64_t>(m.minimum, sum - flexible));
}

void TableNode::layout_table()
{
    Axis a = m_axis;
    struct Row {
        SkinNode* node;
        Measure measure;
        int border;
        int64_t size;
    };
    std::vector<Row> rows;
    int start = along(position(), a);
    int64_t room = along(size(), a);
    int64_t sum = 0, min = 0;
    for (const auto& child : children()) {
        if (!child->visible())
            continue; // keeps its old rectangle
        Row row { child.get(), measure(*child, a), along(child->border_min(), a) + along(child->border_max(), a), 0 };
        room -= row.border;
        sum += row.measure.wanted;
        min += row.measure.minimum;
        rows.push_back(row);
    }
    if (room <= 0) {
        for (Row& row : rows)
            place(*row.node, a, start, 0);
        return;
    }
    int cursor = start;
    auto place_in_slot = [&](Row& row, int64_t wanted) {
        int slot = int(wanted + row.border);
        layout_child(*row.node, a, int(wanted), cursor, slot);
        cursor += slot;
    };
    if (min < room) {
        int64_t hand_out = sum < room ? sum - min : room - min;
        int64_t spare = sum < room ? room - sum : 0;
        int64_t below = 0;
        for (Row& row : rows) {
            row.size = row.measure.minimum;
            below += row.measure.minimum != row.measure.wanted;
        }
        // Each pass shares the amount evenly over the children still below their wanted
        // size; what a child cannot take goes round again.
        while (hand_out > 0 && below > 0) {
            int64_t running = 0, excess = 0, still_below = 0;
            for (Row& row : rows) {
                if (row.size >= row.measure.wanted)
                    continue;
                running += hand_out;
                int64_t share = running / below - (running - hand_out) / below;
                int64_t lack = row.measure.wanted - row.size;
                if (share < lack) {
                    row.size += share;
                    ++still_below;
                } else {
                    row.size = row.measure.wanted;
                    excess += share - lack;
                }
            }
            hand_out = excess;
            below = still_below;
        }
        int64_t ratio_children = 0, ratios = 0;
        for (Row& row : rows)
            ratio_children += row.node->table_ratio() > 0;
        for (Row& row : rows) {
            int64_t m = row.size;
            int ratio = row.node->table_ratio();
            if (ratio > 0) {
                m += spare * (ratios + ratio) / ratio_children - spare * ratios / ratio_children;
                ratios += ratio;
            }
            place_in_slot(row, m);
        }
        return;
    }
    int64_t running = 0;
    for (Row& row : rows) {
        int64_t before = room * running / min;
        running += row.measure.minimum;
        int64_t after = room * running / min;
        place_in_slot(row, after - before);
    }
}

} // namespace skin
