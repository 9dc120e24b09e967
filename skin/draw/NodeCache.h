// The cache of a node drawn with "cache" on: the node's pixels on a surface of its own,
// drawn again only when the node is dirty, and copied to the target with the cache blender
// (the opaque copy for "cache_alpha" -1, else the constant-alpha blender).
#pragma once

#include "skin/draw/Blender.h"
#include "skin/draw/RenderSurface.h"

#include <functional>

namespace skin {

class NodeCache {
public:
    NodeCache();
    NodeCache(const NodeCache& other);
    NodeCache& operator=(const NodeCache& other);

    void set_alpha(int cache_alpha);
    int alpha() const { return m_alpha; }
    const Blender& blender() const { return *m_blender; }

    // Refreshes the surface when dirty or when it does not have the size (resized, filled
    // with the key, content drawn at (0, 0)), then copies it to origin.
    void draw(RenderSurface& target, Point origin, Point size, bool dirty, const std::function<void(RenderSurface&)>& content);
    RenderSurface& surface() { return m_surface; }
    const RenderSurface& surface() const { return m_surface; }
    void release() { m_surface.release(); }

private:
    int m_alpha { -1 };
    const Blender* m_blender; // one of the process-wide blenders: no allocation per node
    RenderSurface m_surface;
};

} // namespace skin
