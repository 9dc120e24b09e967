#include "skin/draw/NodeCache.h"

#include "skin/draw/Blenders.h"
#include "skin/draw/Drawing.h"
#include "skin/draw/SolidFill.h"

namespace skin {

NodeCache::NodeCache()
    : m_blender(&shared_opaque_copy())
{
}

NodeCache::NodeCache(const NodeCache& other)
    : m_alpha(other.m_alpha)
    , m_blender(other.m_blender)
{
}

NodeCache& NodeCache::operator=(const NodeCache& other)
{
    if (this != &other) {
        m_alpha = other.m_alpha;
        m_blender = other.m_blender;
        m_surface.release();
    }
    return *this;
}

void NodeCache::set_alpha(int cache_alpha)
{
    m_alpha = cache_alpha;
    m_blender = cache_alpha == -1 ? &shared_opaque_copy() : &shared_level_blender(alpha_level(cache_alpha));
}

void NodeCache::draw(RenderSurface& target, Point origin, Point size, bool dirty, const std::function<void(RenderSurface&)>& content)
{
    if (size.x <= 0 || size.y <= 0)
        return;
    if (m_surface.recreate(size.x, size.y) || dirty) {
        fill(m_surface, { 0, 0 }, size, SolidFill(transparent_key));
        content(m_surface);
    }
    blit(target, origin, m_surface, *m_blender);
}

} // namespace skin
