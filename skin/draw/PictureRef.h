// The value of a picture attribute: a rectangle of a shared picture divided into nine
// parts by four corner points (already scaled by the skin's scale shift).
#pragma once

#include "skin/draw/Geometry.h"
#include "skin/draw/Picture.h"

namespace skin {

struct PictureRef {
    // (p0) top-left of the source rectangle, (p1)/(p2) corners of the stretchable
    // middle, (p3) bottom-right (exclusive).
    Point p0, p1, p2, p3;
    SharedPicture picture;
    uint8_t flag { 0 }; // carried along; drawing does not use it
    int scale_shift { 0 };

    // A whole picture: corners (0,0), (0,0), (w,h), (w,h).
    static PictureRef whole(SharedPicture picture, int scale_shift = 0)
    {
        PictureRef r;
        if (picture) {
            r.p2 = r.p3 = { picture->width(), picture->height() };
        }
        r.picture = std::move(picture);
        r.scale_shift = scale_shift;
        return r;
    }
    int width() const { return p3.x - p0.x; }
    int height() const { return p3.y - p0.y; }
    bool empty() const { return !picture; }

    friend bool operator==(const PictureRef& a, const PictureRef& b)
    {
        return a.p0 == b.p0 && a.p1 == b.p1 && a.p2 == b.p2 && a.p3 == b.p3 && a.picture == b.picture
            && a.scale_shift == b.scale_shift;
    }
};

} // namespace skin
