// A picture of the skin ("image"), with an optional mask or constant alpha, growing to
// the picture's size and keeping its proportions when asked.
#pragma once

#include "skin/draw/PictureRef.h"
#include "skin/nodes/SkinNode.h"

namespace skin {

class ImageNode : public SkinNode {
public:
    void load(const Properties& properties, NodeBody body) override;
    void draw(RenderSurface& surface, Point origin) override;
    void measure_x(Measure& measure) override;
    void measure_y(Measure& measure) override;

    const PictureRef& picture() const { return m_src; }
    const PictureRef& mask() const { return m_mask; }
    // The mask is used only when its picture has the size of the picture.
    bool mask_usable() const;
    int alpha() const { return m_alpha; }
    bool grow() const { return m_grow; }
    bool save_aspect_ratio() const { return m_save_aspect_ratio; }
    // A picture set by the program (a forecast's condition picture, for instance).
    void set_picture(const PictureRef& picture);

private:
    PictureRef m_src;
    PictureRef m_mask;
    int m_alpha { -1 };
    bool m_grow { false };
    bool m_save_aspect_ratio { false };
};

} // namespace skin
