// Drawing of the node tree: the whole-node step (visibility animation, cache, dirty mark)
// and the drawing of the engine's own node types.
#include "skin/draw/Blenders.h"
#include "skin/draw/Drawing.h"
#include "skin/draw/ImageDrawing.h"
#include "skin/draw/SolidFill.h"
#include "skin/nodes/ClipNode.h"
#include "skin/nodes/FillNode.h"
#include "skin/nodes/ImageNode.h"
#include "skin/nodes/SkinNode.h"
#include "skin/nodes/TextNode.h"
#include "skin/text/TextBlock.h"

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

void FillNode::draw(RenderSurface& surface, Point origin)
{
    // The colour's own lowest green bit would make it translucent under a cache blender.
    fill(surface, origin, size(), SolidFill(Pixel(to_565(m_colour) | opaque_bit)));
    SkinNode::draw(surface, origin);
}

void ClipNode::draw(RenderSurface& surface, Point origin)
{
    ClipScope clip(surface, origin, size());
    SkinNode::draw(surface, origin);
}

void ImageNode::draw(RenderSurface& surface, Point origin)
{
    const Blender& blender = m_alpha == -1 ? shared_opaque_copy() : shared_level_blender(alpha_level(m_alpha));
    draw_image(surface, origin, size(), m_src, blender, m_save_aspect_ratio, mask_usable() ? &m_mask : nullptr);
    SkinNode::draw(surface, origin);
}

void TextNode::draw(RenderSurface& surface, Point origin)
{
    TextBlockStyle style { m_colour, m_halign, m_valign, m_wrap, m_ellipsis };
    draw_text_block(m_font.get(), surface, m_text, lines(), { origin.x, origin.y, width(), height() }, style);
    SkinNode::draw(surface, origin);
}

} // namespace skin
