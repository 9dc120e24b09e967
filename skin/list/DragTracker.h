// Follows the stylus of a scrolling list: a dead zone around the press point, the
// samples of the last 250 ms, and the release speed along y (or x).
#pragma once

#include "skin/draw/Geometry.h"

#include <cstdint>
#include <deque>

namespace skin {

class DragTracker {
public:
    static constexpr int dead_zone = 10;        // pixels at scale shift 0
    static constexpr uint32_t window_ms = 250;  // samples kept for the speed
    static constexpr uint32_t minimum_span_ms = 50;

    // Restarts at the press point; the press is the first sample.
    void press(Point point, uint32_t time_ms, int scale_shift);
    // A stylus move: false while it stays inside the dead zone before the drag has
    // begun. Otherwise the sample is kept and the movement since the previous sample
    // is returned in `moved`.
    bool move(Point point, uint32_t time_ms, Point& moved);
    bool dragging() const { return m_dragging; }
    Point press_point() const { return m_press; }
    // Pixels per second along y over the kept samples; 0 when they span under 50 ms.
    int speed_y(uint32_t now_ms) { return speed(now_ms, &Point::y); }
    // The same along x (the page strip of the main form).
    int speed_x(uint32_t now_ms) { return speed(now_ms, &Point::x); }

private:
    struct Sample {
        Point point;
        uint32_t time;
    };
    void drop_old(uint32_t now_ms);
    int speed(uint32_t now_ms, int Point::*axis);

    std::deque<Sample> m_samples;
    Point m_press;
    int m_dead_zone { dead_zone };
    bool m_dragging { false };
};

} // namespace skin
