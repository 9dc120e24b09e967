#include "skin/draw/RenderSurface.h"

#include "runtime/Log.h"

#include <atomic>
#include <utility>

namespace skin {

namespace {

std::atomic<int64_t> s_pixel_count { 0 };
std::atomic<int64_t> s_refused { 0 };

int64_t owned_pixels(const PixelBuffer& b, bool owned)
{
    return owned ? int64_t(b.width) * b.height : 0;
}

} // namespace

RenderSurface::RenderSurface(int width, int height)
{
    recreate(width, height);
}

RenderSurface::RenderSurface(const PixelBuffer& view)
{
    take_view(view);
}

RenderSurface::~RenderSurface()
{
    release();
}

RenderSurface::RenderSurface(RenderSurface&& other) noexcept
    : m_buffer(std::exchange(other.m_buffer, {}))
    , m_owned(std::move(other.m_owned))
    , m_area(std::exchange(other.m_area, {}))
    , m_clips(std::move(other.m_clips))
{
    other.m_owned.clear();
    other.m_clips.clear();
}

RenderSurface& RenderSurface::operator=(RenderSurface&& other) noexcept
{
    if (this != &other) {
        release();
        m_buffer = std::exchange(other.m_buffer, {});
        m_owned = std::move(other.m_owned);
        m_area = std::exchange(other.m_area, {});
        m_clips = std::move(other.m_clips);
        other.m_owned.clear();
        other.m_clips.clear();
    }
    return *this;
}

void RenderSurface::take_view(const PixelBuffer& view)
{
    m_buffer = view;
    m_area = { 0, 0, view.width, view.height };
}

bool RenderSurface::recreate(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width > max_side || height > max_side || int64_t(width) * height > max_pixels) {
        runtime::get_log() << u"RenderSurface::recreate refused " << int32_t(width) << u" x " << int32_t(height) << u"\n";
        ++s_refused;
        width = height = 0;
    }
    if (width == m_buffer.width && height == m_buffer.height)
        return false;
    if (!m_clips.empty())
        runtime::fatal_error(u"RenderSurface::recreate", u"Clip is in effect, cannot resize");
    release();
    if (width == 0 || height == 0) {
        // An empty surface keeps its size but holds no pixels.
        m_buffer = { width, height, PixelBuffer::pitch_for(width), nullptr };
        m_area = { 0, 0, width, height };
        return true;
    }
    int pitch = PixelBuffer::pitch_for(width);
    m_owned.assign(size_t(pitch / 4) * size_t(height), 0);
    take_view({ width, height, pitch, reinterpret_cast<uint8_t*>(m_owned.data()) });
    s_pixel_count += int64_t(width) * height;
    return true;
}

void RenderSurface::release()
{
    s_pixel_count -= owned_pixels(m_buffer, !m_owned.empty());
    m_owned.clear();
    m_owned.shrink_to_fit();
    m_buffer = {};
    m_area = {};
    m_clips.clear();
}

void RenderSurface::push_clip(Point origin, Point size)
{
    m_clips.push_back(m_area);
    m_area = m_area.intersected({ origin.x, origin.y, size.x, size.y });
}

void RenderSurface::pop_clip()
{
    if (m_clips.empty())
        return;
    m_area = m_clips.back();
    m_clips.pop_back();
}

RenderSurface RenderSurface::sub_surface(const Rect& area) const
{
    Rect r = area.intersected({ 0, 0, m_buffer.width, m_buffer.height });
    if (r.empty() || !m_buffer.first_row)
        return RenderSurface();
    return RenderSurface(PixelBuffer { r.width, r.height, m_buffer.pitch, m_buffer.first_row + ptrdiff_t(r.y) * m_buffer.pitch + r.x * 2 });
}

int64_t RenderSurface::pixel_count()
{
    return s_pixel_count.load();
}

int64_t RenderSurface::refused_count()
{
    return s_refused.load();
}

} // namespace skin
