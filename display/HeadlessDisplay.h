// The display without a window: frames are composed and presented to an off-screen
// buffer, which shots and tests read.
#pragma once

#include "display/Display.h"

namespace display {

class HeadlessDisplay final : public Display {
public:
    explicit HeadlessDisplay(const ScreenDescription& screen);

    bool has_window() const override { return false; }
    void present() override;
    const skin::PixelBuffer& presented() const override { return m_front.buffer(); }
    int presented_count() const { return m_presented; }

    // A new screen, as a resize or rotation would give; true when it differs.
    bool change_screen(const ScreenDescription& screen);

private:
    skin::RenderSurface m_front;
    int m_presented { 0 };
};

} // namespace display
