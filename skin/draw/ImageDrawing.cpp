#include "skin/draw/ImageDrawing.h"

#include "skin/draw/Blenders.h"
#include "skin/draw/Drawing.h"

#include <algorithm>

namespace skin {

namespace {

// The picture scaled down to fit the node, centred, keeping its proportions.
Rect shrunk(Point origin, Point size, int pw, int ph)
{
    double scale = int64_t(size.x) * ph < int64_t(size.y) * pw ? double(size.x) / pw : double(size.y) / ph;
    Point scaled { int(pw * scale), int(ph * scale) };
    return { origin.x + (size.x - scaled.x) / 2, origin.y + (size.y - scaled.y) / 2, scaled.x, scaled.y };
}

} // namespace

void draw_image(RenderSurface& target, Point origin, Point size, const PictureRef& picture, const Blender& given,
    bool save_aspect_ratio, const PictureRef* mask)
{
    if (mask && (!mask->picture || !picture.picture || mask->picture->width() != picture.picture->width()
                    || mask->picture->height() != picture.picture->height()))
        mask = nullptr;
    // Runs read the picture itself: the mask pixel lies at the same place in the mask.
    BlenderPtr masked = mask ? make_mask_blender(picture.picture->pixels(), mask->picture->pixels()) : nullptr;
    const Blender& blender = masked ? *masked : given;
    int pw = picture.width(), ph = picture.height();
    if (!save_aspect_ratio || pw <= 0 || ph <= 0) {
        draw_picture(target, origin, size, picture, blender);
        return;
    }
    if (size.x <= 0 || size.y <= 0)
        return;
    if (size.x < pw || size.y < ph) {
        Rect to = shrunk(origin, size, pw, ph);
        if (to.empty())
            return;
        if (mask) {
            // Picture and mask at their own size on surfaces of one pitch, then scaled together.
            RenderSurface source(pw, ph), weights(pw, ph);
            PictureRef mask_ref = *mask;
            mask_ref.p0 = picture.p0;
            mask_ref.p1 = picture.p1;
            mask_ref.p2 = picture.p2;
            mask_ref.p3 = picture.p3;
            draw_picture(source, { 0, 0 }, { pw, ph }, picture, shared_opaque_copy());
            draw_picture(weights, { 0, 0 }, { pw, ph }, mask_ref, shared_opaque_copy());
            blit_scaled(target, { to.x, to.y }, { to.width, to.height }, source, *make_mask_blender(source.buffer(), weights.buffer()));
            return;
        }
        // The temporary only grows; a view of its corner holds this picture.
        static RenderSurface temporary;
        if (temporary.width() < pw || temporary.height() < ph)
            temporary.recreate(std::max(temporary.width(), pw), std::max(temporary.height(), ph));
        RenderSurface view = temporary.sub_surface({ 0, 0, pw, ph });
        draw_picture(view, { 0, 0 }, { pw, ph }, picture, shared_opaque_copy());
        // The node's blender, so that key and translucent pixels stay what they are.
        blit_scaled(target, { to.x, to.y }, { to.width, to.height }, view, blender);
        return;
    }
    // Enlarge by the largest power of two up to 16 that still fits.
    int i = 0;
    while (i < 4 && (pw << (i + 1)) <= size.x && (ph << (i + 1)) <= size.y)
        ++i;
    PictureRef big = picture;
    auto times = [i](Point p) { return Point { p.x << i, p.y << i }; };
    big.p0 = times(picture.p0);
    big.p1 = times(picture.p1);
    big.p2 = times(picture.p2);
    big.p3 = times(picture.p3);
    // The corners already carry the skin's scale shift: the enlargement adds to it.
    big.scale_shift = picture.scale_shift + i;
    Point enlarged { pw << i, ph << i };
    draw_picture(target, { origin.x + (size.x - enlarged.x) / 2, origin.y + (size.y - enlarged.y) / 2 }, enlarged, big, blender);
}

} // namespace skin
