// The frame clock: the seconds since the last frame, clamped to 0.001..0.1 so that a long
// pause advances animations by a tenth of a second only; with a fixed step (scripted
// runs, the frame recorder) every frame is exactly that long.
#pragma once

#include <cstdint>

namespace framework {

class FrameClock {
public:
    static constexpr double shortest = 0.001;
    static constexpr double longest = 0.1;

    explicit FrameClock(uint32_t now_ms = 0)
        : m_last(now_ms)
    {
    }
    // The frame's seconds; the last tick becomes now.
    double tick(uint32_t now_ms);
    void reset(uint32_t now_ms) { m_last = now_ms; }
    // 0 for none.
    void set_fixed(double seconds) { m_fixed = seconds; }
    double fixed() const { return m_fixed; }
    uint32_t last() const { return m_last; }

private:
    uint32_t m_last;
    double m_fixed { 0 };
};

} // namespace framework
