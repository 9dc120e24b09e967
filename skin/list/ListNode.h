// A vertical list of any length in a fixed rectangle ("vlist"). Only the rows that
// cover its height are realized, asked of the source as they scroll in and destroyed as
// they scroll out. The list follows the stylus, keeps moving after a fling with
// friction, springs back past its ends and settles on its margins (ScrollPhysics); keys
// move a highlight bar that slides from row to row (ListHighlight). The list keeps the
// window of rows, their heights, its layout and the dispatch of events.
#pragma once

#include "skin/draw/PictureRef.h"
#include "skin/list/DragTracker.h"
#include "skin/list/ListHighlight.h"
#include "skin/list/ListRowNode.h"
#include "skin/list/ListSource.h"
#include "skin/list/ScrollPhysics.h"
#include "skin/nodes/SkinNode.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

namespace skin {

class ListNode : public SkinNode {
public:
    ListNode();
    ~ListNode() override;

    // What the owning form changes; rows are (re)made on the next update.
    void set_source(ListSource* source);
    void set_count(int count);
    void set_selected(int index);
    // Realigns the window on the next update, e.g. after rows changed their contents.
    void request_align();
    // Takes a row out: it shrinks to nothing and the rows below move up.
    void remove_row(int index);
    // Puts the highlight bar on the row at once (-1 clears it) and scrolls it into sight.
    void set_highlight(int index);

    ListSource* source() const { return m_source; }
    int count() const { return m_count; }
    int selected() const { return m_selected; }
    double offset() const { return m_scroll.offset(); }
    int total() const { return m_total; }
    double velocity() const { return m_scroll.velocity(); }
    double highlight_position() const { return m_highlight.position(); }
    double highlight_speed() const { return m_highlight.speed(); }
    int top_margin() const { return m_scroll.top_margin(); }
    int bottom_margin() const { return m_scroll.bottom_margin(); }
    const ScrollPhysics& scroll() const { return m_scroll; }
    bool grow() const { return m_grow; }
    // The index of the first realized row and one past the last.
    int first_index() const { return m_before_first + 1; }
    int end_index() const { return m_after_last; }
    size_t realized_count() const { return m_rows.size(); }
    ListRowNode& realized_row(size_t i) const { return *m_rows[i]; }
    // The realized row with that index, or null.
    ListRowNode* row(int index) const;
    ListRowNode* pressed_row() const { return m_pressed; }
    // The list's height for the window: the screen's with "grow".
    int window_height() const;
    // The height the rows scroll in: the window's, or, for a growing list laid out lower
    // than the screen because its parent had less room than its rows want, its own, so
    // that its last rows can still be scrolled into view.
    int scroll_height() const;

    // Milliseconds for the drag tracker; the tick count unless a test sets its own.
    void set_clock(std::function<uint32_t()> clock) { m_clock = std::move(clock); }
    // Runs the window update now (done before every draw and after every step).
    void update_window();

    void load(const Properties& properties, NodeBody body) override;
    void shown_changed(bool shown) override;
    void set_text(std::u16string_view id, std::u16string_view text) override;
    void refresh() override;
    void life_cycle(double elapsed) override;
    void draw(RenderSurface& surface, Point origin) override;
    void layout_x() override;
    void layout_y() override;
    void measure_y(Measure& measure) override;
    bool stylus_move(Point point) override;
    bool stylus(const StylusEvent& event) override;
    bool key(const input::KeyEvent& event) override;

protected:
    // For lists that move rows: the vertical offset a row is drawn with, the row drawn
    // last (over the others), and the notice that a row is about to be destroyed.
    virtual double row_shift(const ListRowNode& row) const { return 0; }
    virtual const ListRowNode* row_on_top() const { return nullptr; }
    virtual void row_destroyed(const ListRowNode& row) { }
    // Exchanges two realized rows in the window (their indices and places); false when
    // either is not realized.
    bool exchange_realized_rows(int a, int b);
    // The row under a point (rows taken out are not), or null.
    ListRowNode* row_at(Point point) const;
    bool stylus_down() const { return m_stylus_down; }

private:
    using Rows = std::deque<std::unique_ptr<ListRowNode>>;

    std::unique_ptr<ListRowNode> make_row(int index);
    void destroy_row(std::unique_ptr<ListRowNode> row);
    void clear_rows();
    void reset_window(int first);
    int row_height(const ListRowNode& row) const { return int(row.m_current_height); }
    void lay_out_row(ListRowNode& row);
    void place_rows();
    void update_row_states(ListRowNode& row);
    void release_press(bool cancelled, Point point);
    bool row0_realized() const { return m_before_first == -1; }
    bool last_realized() const { return m_after_last >= m_count; }
    ScrollExtent extent() const;
    void step_row_heights(double elapsed);
    void step_physics(double elapsed);
    void step_highlight(double elapsed);
    void keep_highlight_visible();
    int first_visible_row() const;
    int last_visible_row() const;

    ListSource* m_source { nullptr };
    Rows m_rows;
    int m_before_first { -1 };
    int m_after_last { 0 };
    int m_count { 0 };
    int m_total { 0 };
    ScrollPhysics m_scroll;
    ListRowNode* m_pressed { nullptr };
    int m_selected { -1 };
    ListHighlight m_highlight;
    DragTracker m_tracker;
    bool m_stylus_down { false };
    bool m_align { true };

    bool m_grow { false };
    bool m_locked { false }; // read from the skin; nothing depends on it
    PictureRef m_highlight_picture;
    int m_highlight_alpha { -1 };
    int m_scale_shift { 0 };
    int m_last_height { 0 };
    std::function<uint32_t()> m_clock;
};

} // namespace skin
