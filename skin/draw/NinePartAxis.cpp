#include "skin/draw/NinePartAxis.h"

#include <algorithm>

namespace skin {

NinePartAxis plan_nine_part_axis(int position, int length, int c0, int c1, int c2, int c3, int lo, int hi)
{
    NinePartAxis a;
    int b = std::max(length, 0);
    int s = c1 - c0;
    int e = c3 - c2;
    int end_source = c2;
    if (s + e < b) {
        a.start = s;
        a.end = e;
        a.middle = b - s - e;
    } else {
        // Too small for both fixed parts: they share the room and the middle keeps a pixel.
        int half = b / 2;
        int m = (b - 1) / 2 + (s < half ? half - s : 0);
        a.end = std::min(e, m);
        end_source = c3 - a.end;
        a.start = std::min(s, half) + (e < m ? m - e : 0);
        a.middle = b - a.start - a.end;
    }
    a.tile_begin = c1;
    a.tile_end = c2;

    int period = c2 - c1;
    int parts[3][2] = { { a.start, c0 }, { a.middle, c1 }, { a.end, end_source } };
    int cursor = position;
    for (int i = 0; i < 3; ++i) {
        NinePartPiece& p = a.pieces[size_t(i)];
        int from = std::max(cursor, lo);
        int to = std::min(cursor + parts[i][0], hi);
        p.tiled = i == 1;
        if (to > from) {
            int skipped = from - cursor;
            p.target = from;
            p.count = to - from;
            if (p.tiled)
                p.source = period > 0 ? c1 + skipped % period : c1;
            else
                p.source = parts[i][1] + skipped;
        } else {
            p.target = from;
            p.count = 0;
            p.source = parts[i][1];
        }
        cursor += parts[i][0];
    }
    return a;
}

} // namespace skin
