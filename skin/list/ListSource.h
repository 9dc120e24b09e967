// What a scrolling list asks of the form that owns it: rows made on demand, and the
// notice that a row was chosen.
#pragma once

#include <memory>

namespace skin {

class ListNode;
class ListRowNode;

class ListSource {
public:
    virtual ~ListSource() = default;
    // A new row node for the index, or null when that row cannot be made. The source
    // must be able to make any row at any time and keeps no row nodes itself.
    virtual std::unique_ptr<ListRowNode> create_row(ListNode& list, int index) = 0;
    // A row was tapped, or Enter was pressed on the highlighted row.
    virtual void row_activated(ListNode& list, int index) = 0;
};

} // namespace skin
