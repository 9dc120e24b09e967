#include "skin/nodes/NodeVisibilityAnimation.h"

#include "skin/draw/Drawing.h"
#include "skin/draw/SolidFill.h"
#include "skin/nodes/SkinNode.h"

namespace skin {

void NodeVisibilityAnimation::start(int direction, RenderSurface&& background, RenderSurface&& form)
{
    m_animation.start(direction, std::move(background), std::move(form));
}

void NodeVisibilityAnimation::life_cycle(SkinNode& node, double elapsed)
{
    m_animation.life_cycle(elapsed);
    // Every frame of the animation, and the node after it, must be drawn again.
    node.mark_dirty();
}

void NodeVisibilityAnimation::draw(SkinNode& node, RenderSurface& surface, Point origin)
{
    m_animation.draw(surface, origin, node.size());
}

std::unique_ptr<VisibilityAnimation> create_visibility_animation(std::u16string_view kind)
{
    if (auto k = transition_kind(kind))
        return std::make_unique<NodeVisibilityAnimation>(*k);
    return nullptr;
}

RenderSurface snapshot_node(SkinNode& node)
{
    RenderSurface s(node.width(), node.height());
    fill(s, { 0, 0 }, node.size(), SolidFill(transparent_key));
    node.draw_node(s, { 0, 0 });
    return s;
}

} // namespace skin
