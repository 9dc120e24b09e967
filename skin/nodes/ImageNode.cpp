#include "skin/nodes/ImageNode.h"

#include "skin/draw/Blenders.h"
#include "skin/draw/ImageDrawing.h"
#include "skin/file/Properties.h"

#include <algorithm>

namespace skin {

void ImageNode::load(const Properties& properties, NodeBody body)
{
    SkinNode::load(properties, body);
    m_src = properties.get_picture(body, u"src", {});
    m_mask = properties.get_picture(body, u"mask", {});
    m_alpha = properties.get_integer(body, u"alpha", -1);
    m_grow = properties.get_integer(body, u"grow", 0) != 0;
    m_save_aspect_ratio = properties.get_integer(body, u"save_aspect_ratio", 0) != 0;
}

bool ImageNode::mask_usable() const
{
    return m_mask.picture && m_src.picture && m_mask.picture->width() == m_src.picture->width()
        && m_mask.picture->height() == m_src.picture->height();
}

void ImageNode::set_picture(const PictureRef& picture)
{
    if (m_src == picture)
        return;
    bool resized = picture.width() != m_src.width() || picture.height() != m_src.height();
    m_src = picture;
    if (m_grow && resized)
        invalidate();
    else
        mark_dirty();
}

void ImageNode::measure_x(Measure& m)
{
    SkinNode::measure_x(m);
    if (m_grow) {
        int pw = m_src.width();
        m.wanted = std::max(m.wanted, pw);
        m.minimum = std::max(m.minimum, pw);
    }
}

void ImageNode::measure_y(Measure& m)
{
    SkinNode::measure_y(m);
    if (m_grow) {
        int pw = m_src.width(), ph = m_src.height();
        int h = m_save_aspect_ratio && width() < pw && pw > 0 ? int(int64_t(width()) * ph / pw) : ph;
        m.wanted = std::max(m.wanted, h);
        m.minimum = std::max(m.minimum, h);
    }
}

void ImageNode::draw(RenderSurface& surface, Point origin)
{
    const Blender& blender = m_alpha == -1 ? shared_opaque_copy() : shared_level_blender(alpha_level(m_alpha));
    draw_image(surface, origin, size(), m_src, blender, m_save_aspect_ratio, mask_usable() ? &m_mask : nullptr);
    SkinNode::draw(surface, origin);
}

} // namespace skin
