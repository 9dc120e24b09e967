#include "framework/FrameClock.h"

#include <algorithm>

namespace framework {

double FrameClock::tick(uint32_t now_ms)
{
    // The tick count wraps; the difference of two counts does not care.
    double seconds = double(int32_t(now_ms - m_last)) * 0.001;
    m_last = now_ms;
    if (m_fixed > 0)
        return m_fixed;
    return std::clamp(seconds, shortest, longest);
}

} // namespace framework
