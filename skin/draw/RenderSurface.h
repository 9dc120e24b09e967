// An off-screen drawing target of 565 pixels (node caches, animation snapshots, the frame
// being composed), or a view of a buffer owned elsewhere (the device frame buffer).
// Drawing coordinates are those of the buffer; the drawing area is the whole buffer,
// narrowed by each pushed clip rectangle.
#pragma once

#include "skin/draw/Geometry.h"
#include "skin/draw/PixelBuffer.h"

#include <cstdint>
#include <vector>

namespace skin {

class RenderSurface {
public:
    RenderSurface() = default;
    RenderSurface(int width, int height);
    // A surface drawing into a buffer that someone else owns and keeps alive.
    explicit RenderSurface(const PixelBuffer& view);
    ~RenderSurface();
    RenderSurface(RenderSurface&& other) noexcept;
    RenderSurface& operator=(RenderSurface&& other) noexcept;
    RenderSurface(const RenderSurface&) = delete;
    RenderSurface& operator=(const RenderSurface&) = delete;

    // A surface drawing into a rectangle of this one (clipped to the buffer), with its own
    // coordinates starting at the rectangle's corner. It must not outlive this surface.
    RenderSurface sub_surface(const Rect& area) const;

    // The largest surface a screen can use: any side longer, or more pixels in all, is
    // refused (the surface is left empty, 0 x 0, and a log line says so).
    static constexpr int max_side = 16384;
    static constexpr int64_t max_pixels = int64_t(32) << 20;

    // False when the size is unchanged; otherwise the old buffer is released and one of
    // the new size is owned. A resize under a pushed clip is a fatal error.
    bool recreate(int width, int height);
    // Frees the owned buffer; the surface becomes 0 x 0.
    void release();

    const PixelBuffer& buffer() const { return m_buffer; }
    int width() const { return m_buffer.width; }
    int height() const { return m_buffer.height; }
    Point size() const { return { m_buffer.width, m_buffer.height }; }
    bool owns_buffer() const { return !m_owned.empty(); }

    // The current drawing area in buffer coordinates.
    const Rect& area() const { return m_area; }
    Point origin() const { return { m_area.x, m_area.y }; }
    int clip_depth() const { return int(m_clips.size()); }
    // Drawing until pop_clip is limited to the rectangle within the current area.
    void push_clip(Point origin, Point size);
    void pop_clip();

    // Pixels held by the owned buffers of all surfaces of the process.
    static int64_t pixel_count();
    // Sizes refused since the process started.
    static int64_t refused_count();

private:
    void take_view(const PixelBuffer& view);

    PixelBuffer m_buffer;
    std::vector<uint32_t> m_owned; // 32-bit words keep rows aligned for two-pixel writes
    Rect m_area;
    std::vector<Rect> m_clips;
};

// Pushes a clip for the lifetime of the object.
class ClipScope {
public:
    ClipScope(RenderSurface& surface, Point origin, Point size)
        : m_surface(surface)
    {
        m_surface.push_clip(origin, size);
    }
    ~ClipScope() { m_surface.pop_clip(); }
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;

private:
    RenderSurface& m_surface;
};

} // namespace skin
