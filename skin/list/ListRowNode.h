// One row of a scrolling list: a plain container built by the list's source, with the
// index the list knows it by and the height it is drawn with while it grows or shrinks.
#pragma once

#include "skin/nodes/SkinNode.h"

namespace skin {

class ListRowNode : public SkinNode {
public:
    int index() const { return m_index; }
    // A row taken out of the list shrinks to 0 before it is destroyed.
    bool removed() const { return m_index < 0; }
    // The height the row gets when laid out at the list's width.
    int target_height() const { return m_target_height; }
    double current_height() const { return m_current_height; }
    // Rows that cannot be highlighted (headers, for instance) are skipped by the keys.
    bool selectable() const { return m_selectable; }
    void set_selectable(bool selectable) { m_selectable = selectable; }
    // Whether the row is one of the list's numbered entries; carried for the source.
    bool counted() const { return m_counted; }
    void set_counted(bool counted) { m_counted = counted; }

private:
    friend class ListNode;

    int m_index { -1 };
    int m_target_height { 0 };
    double m_current_height { 0 };
    bool m_selectable { true };
    bool m_counted { true };
};

} // namespace skin
