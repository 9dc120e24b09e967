#include "display/HeadlessDisplay.h"

#include <cstring>

namespace display {

HeadlessDisplay::HeadlessDisplay(const ScreenDescription& screen)
{
    set_screen(screen);
    m_front.recreate(screen.width, screen.height);
}

void HeadlessDisplay::present()
{
    const skin::PixelBuffer& back = back_buffer();
    m_front.recreate(back.width, back.height);
    const skin::PixelBuffer& front = m_front.buffer();
    for (int y = 0; y < back.height; ++y)
        std::memcpy(front.row(y), back.row(y), size_t(back.width) * sizeof(skin::Pixel));
    ++m_presented;
}

bool HeadlessDisplay::change_screen(const ScreenDescription& screen)
{
    if (screen == this->screen())
        return false;
    set_screen(screen);
    return true;
}

} // namespace display
