// The motion of a scrolling list's rows as a value: their offset below the list's top,
// their velocity and the margins they rest on. A finger drags them (harder past either
// end), a release flings them, friction slows them, a spring pulls them back from past
// an end and they settle exactly on a margin. It knows nothing of rows or skins: each
// step is told the list's extent.
#pragma once

namespace skin {

// The list as the physics sees it at one step.
struct ScrollExtent {
    int height { 0 };      // the window's height H
    int total { 0 };       // the realized rows' heights
    bool rows { false };   // any row realized
    bool first { false };  // row 0 realized
    bool last { false };   // row N - 1 realized
};

class ScrollPhysics {
public:
    static constexpr double max_fling = 2000;             // px/s a release can give
    static constexpr double friction_per_speed = 2;       // friction = 2 |v| + 9 px/s per second
    static constexpr double friction_at_rest = 9;
    static constexpr double held_friction_factor = 5;     // a finger on the list brakes harder
    static constexpr double spring = 50;                  // per second and pixel past an end
    static constexpr double settle_speed = 400;           // px/s back onto a margin

    void set_margins(int top, int bottom)
    {
        m_top_margin = top;
        m_bottom_margin = bottom;
    }
    int top_margin() const { return m_top_margin; }
    int bottom_margin() const { return m_bottom_margin; }
    // Distance from the list's top to the first realized row's top; positive with a gap.
    double offset() const { return m_offset; }
    void set_offset(double offset) { m_offset = offset; }
    void move(double distance) { m_offset += distance; }
    // Pixels per second, positive moving the rows down.
    double velocity() const { return m_velocity; }
    void stop() { m_velocity = 0; }

    // How far row 0 is pulled down past the top margin (positive when past).
    double past_top() const { return m_offset - m_top_margin; }
    // The room left below the rows above the bottom margin (positive when past the end).
    double bottom_gap(const ScrollExtent& extent) const
    {
        return extent.height - extent.total - m_bottom_margin - m_offset;
    }

    // The finger moved by dy; past either end the move shrinks to nothing at half the
    // height. A list of height 0 ignores drags: false when nothing moved.
    bool drag(double dy, const ScrollExtent& extent);
    // The finger left after a drag at the tracked speed: a fling, or none past an end.
    void release(double speed, const ScrollExtent& extent);
    // The rows move on by the velocity.
    void advance(double elapsed) { m_offset += m_velocity * elapsed; }
    // Friction, spring and settling for one step, after the window followed the move.
    // stylus_down: a finger is on the list; held: it holds the list itself, not a row.
    void damp(double elapsed, const ScrollExtent& extent, bool stylus_down, bool held);

private:
    double m_offset { 0 };
    double m_velocity { 0 };
    int m_top_margin { 0 };
    int m_bottom_margin { 0 };
};

} // namespace skin
