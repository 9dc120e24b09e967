// Drawing of the node tree: the whole-node step (visibility animation, cache, dirty mark)
// and a plain node's children in order. Each node type draws itself in its own file.
#include "skin/draw/RenderSurface.h"
#include "skin/nodes/SkinNode.h"

namespace skin {

void SkinNode::release_cache()
{
    m_node_cache.release();
}

void SkinNode::draw(RenderSurface& surface, Point origin)
{
    for (size_t i = 0; i < child_count(); ++i) {
        SkinNode& node = child(i);
        if (node.visible())
            node.draw_node(surface, origin + (node.position() - position()));
    }
}

void SkinNode::draw_node(RenderSurface& surface, Point origin)
{
    if (m_visibility_animation && m_visibility_animation->running()) {
        m_visibility_animation->draw(*this, surface, origin);
    } else if (m_visible) {
        if (m_cache) {
            if (m_node_cache.alpha() != m_cache_alpha)
                m_node_cache.set_alpha(m_cache_alpha);
            m_node_cache.draw(surface, origin, size(), m_dirty, [this](RenderSurface& cache) { draw(cache, { 0, 0 }); });
        } else {
            draw(surface, origin);
        }
    }
    m_dirty = false;
}

} // namespace skin
