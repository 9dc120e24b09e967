// Drawing of the node tree. This first version only walks the tree and clears the dirty
// marks; the rendering engine draws the pixels.
#include "skin/ClipNode.h"
#include "skin/FillNode.h"
#include "skin/ImageNode.h"
#include "skin/SkinNode.h"
#include "skin/TextNode.h"
#include "skin/VisibilityAnimation.h"

namespace skin {

std::unique_ptr<VisibilityAnimation> create_visibility_animation(std::u16string_view)
{
    return nullptr;
}

void SkinNode::release_cache() { }

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
    if (m_visibility_animation && m_visibility_animation->running())
        m_visibility_animation->draw(*this, surface, origin);
    else if (m_visible)
        draw(surface, origin);
    m_dirty = false;
}

void TextNode::draw(RenderSurface& surface, Point origin) { SkinNode::draw(surface, origin); }
void FillNode::draw(RenderSurface& surface, Point origin) { SkinNode::draw(surface, origin); }
void ImageNode::draw(RenderSurface& surface, Point origin) { SkinNode::draw(surface, origin); }
void ClipNode::draw(RenderSurface& surface, Point origin) { SkinNode::draw(surface, origin); }

} // namespace skin
