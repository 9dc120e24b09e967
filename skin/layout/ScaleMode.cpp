#include "skin/layout/ScaleMode.h"

#include <algorithm>

namespace skin {

ScaleMode parse_scale_mode(std::u16string_view text)
{
    static constexpr std::u16string_view names[] = {
        u"MIN_SIDE", u"BOTH_SIDE", u"MAX_SIDE", u"RATIO", u"CENTER",
        u"MIN_SIDE_NO_SIZE", u"MAX_SIDE_NO_SIZE", u"BOTH_SIDE_NO_SIZE", u"CENTER_NO_SIZE",
    };
    for (int i = 0; i < 9; ++i) {
        if (text == names[i])
            return ScaleMode(i);
    }
    return both_side;
}

int scale_size(int mode, int bmin, int bmax, int wanted, int room)
{
    int e = room - bmin - bmax;
    int w = wanted;
    if (mode == both_side || mode == both_side_no_size)
        w = e;
    if (mode >= min_side && mode <= center) {
        int limit = mode == max_side ? room - bmax : mode == min_side ? room - bmin : e;
        w = std::min(w, limit);
    }
    return std::max(w, 0);
}

int scale_offset(int mode, int bmin, int bmax, int size, int room)
{
    if (mode == max_side || mode == max_side_no_size) {
        int d = room - size - bmax;
        return d > 0 ? d : 0;
    }
    if (mode == center || mode == center_no_size) {
        int half = (room - bmin - size - bmax) / 2;
        return half >= 1 ? bmin + half : bmin;
    }
    return bmin;
}

int scale_contribution(int mode, int bmin, int bmax, int wanted)
{
    return mode >= min_side && mode <= center ? bmin + wanted + bmax : 0;
}

} // namespace skin
