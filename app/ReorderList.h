// The city list's scrolling list ("svlist"): the list of the skin engine with row moving.
// While its move flag is set (a row sets it when the stylus goes down on the row's drag
// handle), the pressed row follows the stylus and is drawn on top of the others; when the
// stylus passes over other rows the moved row walks toward it one row at a time, each
// step exchanging the two rows through the listener (which swaps the cities) while the
// row passed over slides into its new place. Offsets ease back to 0 at 200 px/s.
#pragma once

#include "skin/list/ListNode.h"

#include <string_view>
#include <unordered_map>

namespace weather {

class ReorderList;

// Told when two neighbouring rows exchange places; it exchanges what they show.
class ReorderListener {
public:
    virtual ~ReorderListener() = default;
    virtual void rows_exchanged(ReorderList& list, int first, int second) = 0;
};

class ReorderList : public skin::ListNode {
public:
    static constexpr std::u16string_view type_name = u"svlist";
    static constexpr double ease_speed = 200; // px/s at which rows slide back into place

    ReorderList();
    ~ReorderList() override;

    void set_reorder_listener(ReorderListener* listener) { m_reorder_listener = listener; }
    ReorderListener* reorder_listener() const { return m_reorder_listener; }

    // Set by a row on every stylus event over it: true on a press on its drag handle.
    // Lifting the stylus clears it.
    void set_move(bool move) { m_move = move; }
    bool move() const { return m_move; }
    // The row being moved, or -1.
    int moved_row() const;
    // The drawing offset of a realized row (0 for others).
    double row_offset(int index) const;

    // Exchanges the neighbouring rows first and second (|first - second| = 1): the
    // listener exchanges their contents, the realized rows change places and each is
    // drawn where it was, then slides into its place. False outside the rows.
    bool exchange_rows(int first, int second);

    void life_cycle(double elapsed) override;
    bool stylus_move(skin::Point point) override;
    bool stylus(const skin::StylusEvent& event) override;

protected:
    double row_shift(const skin::ListRowNode& row) const override;
    const skin::ListRowNode* row_on_top() const override;
    void row_destroyed(const skin::ListRowNode& row) override;

private:
    void walk_toward(int target);

    ReorderListener* m_reorder_listener { nullptr };
    bool m_move { false };
    const skin::ListRowNode* m_moved { nullptr };
    int m_last_y { 0 };
    std::unordered_map<const skin::ListRowNode*, double> m_offsets;
};

} // namespace weather
