#include "framework/FrameTimeOverlay.h"

#include "skin/draw/Drawing.h"
#include "skin/draw/SolidFill.h"
#include "skin/text/FontRegistry.h"
#include "skin/text/TextDrawing.h"

#include "platform/TextEncoding.h"

#include <cmath>
#include <cstdio>
#include <numeric>

namespace framework {

void FrameTimeOverlay::add(double milliseconds)
{
    m_times.push_back(milliseconds);
    while (m_times.size() > history)
        m_times.pop_front();
}

double FrameTimeOverlay::average() const
{
    if (m_times.empty())
        return 0;
    return std::accumulate(m_times.begin(), m_times.end(), 0.0) / double(m_times.size());
}

std::u16string FrameTimeOverlay::text(bool changed, long pixels) const
{
    long tenths = std::lround(average() * 10);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, changed ? "%ld.%ld ms %ld Kp" : "[%ld.%ld ms] %ld Kp", tenths / 10, tenths % 10,
        pixels / 1000);
    return platform::from_utf8(buffer);
}

skin::Color FrameTimeOverlay::colour(double ms)
{
    if (ms < 20)
        return { 80, 220, 80, 255 };
    if (ms < 40)
        return { 230, 220, 60, 255 };
    if (ms < 60)
        return { 240, 150, 40, 255 };
    return { 240, 60, 60, 255 };
}

void FrameTimeOverlay::draw(skin::RenderSurface& target, bool changed, long pixels) const
{
    skin::FontSpec spec;
    spec.size = 10;
    static skin::SharedFont font = skin::get_font(spec);
    std::u16string line = text(changed, pixels);
    skin::TextExtent extent = skin::measure_text(font.get(), line);
    skin::Point box { extent.width + 6, std::max(extent.height, 1) + 2 };
    skin::fill(target, { 0, 0 }, box, skin::SolidFill(skin::opaque_bit));
    skin::draw_text(font.get(), target, colour(average()), line, { 3, 1 }, { extent.width, box.y - 2 }, skin::HAlign::left,
        skin::VAlign::top, false);
}

} // namespace framework
