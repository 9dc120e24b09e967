// The frame-time overlay drawn while the diagnostic log is on: the average of the last
// 20 frame times in milliseconds with one decimal (in square brackets while nothing
// changes), then the thousands of pixels drawn, in the default font "Tahoma" 10; its
// colour turns from green to yellow, orange and red at 20, 40 and 60 ms.
#pragma once

#include "skin/draw/Geometry.h"
#include "skin/draw/RenderSurface.h"

#include <deque>
#include <string>

namespace framework {

class FrameTimeOverlay {
public:
    static constexpr size_t history = 20;

    void add(double milliseconds);
    double average() const;
    // "12.3 ms 307 Kp", or "[12.3 ms] 0 Kp" for a frame where nothing changed.
    std::u16string text(bool changed, long pixels) const;
    static skin::Color colour(double milliseconds);
    // Draws the text on a dark plate in the top left corner.
    void draw(skin::RenderSurface& target, bool changed, long pixels) const;

private:
    std::deque<double> m_times;
};

} // namespace framework
