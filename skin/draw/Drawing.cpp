#include "skin/draw/Drawing.h"

#include "skin/draw/NinePartAxis.h"

#include <algorithm>

namespace skin {

namespace {

// The target rectangle within the drawing area, or an empty one.
Rect clipped(const RenderSurface& target, Point origin, Point size)
{
    if (size.x <= 0 || size.y <= 0 || !target.buffer().first_row)
        return {};
    return target.area().intersected({ origin.x, origin.y, size.x, size.y });
}

} // namespace

void fill(RenderSurface& surface, Point origin, Point size, const RowOperation& operation)
{
    Rect r = clipped(surface, origin, size);
    if (r.empty())
        return;
    const PixelBuffer& b = surface.buffer();
    for (int y = r.y; y < r.y + r.height; ++y)
        operation.apply(b.row(y) + r.x, r.width);
}

void blit(RenderSurface& target, Point origin, const RenderSurface& source, const Blender& blender)
{
    const Rect& from = source.area();
    if (!source.buffer().first_row || from.empty())
        return;
    Rect r = clipped(target, origin, { from.width, from.height });
    if (r.empty())
        return;
    const PixelBuffer& t = target.buffer();
    const PixelBuffer& s = source.buffer();
    int dx = r.x - origin.x, dy = r.y - origin.y;
    for (int y = 0; y < r.height; ++y)
        blender.copy_run(t.row(r.y + y) + r.x, s.row(from.y + dy + y) + from.x + dx, r.width);
}

void blit_scaled(RenderSurface& target, Point origin, Point size, const RenderSurface& source, const Blender& blender)
{
    const Rect& from = source.area();
    if (!source.buffer().first_row || from.empty())
        return;
    Rect r = clipped(target, origin, size);
    if (r.empty())
        return;
    int step_x = int((int64_t(from.width) << 10) / size.x);
    int step_y = int((int64_t(from.height) << 10) / size.y);
    const PixelBuffer& t = target.buffer();
    const PixelBuffer& s = source.buffer();
    int start_x = (r.x - origin.x) * step_x;
    for (int y = r.y; y < r.y + r.height; ++y) {
        int sy = int((int64_t(y - origin.y) * step_y) >> 10);
        blender.copy_stepped(t.row(y) + r.x, s.row(from.y + sy) + from.x, r.width, start_x, step_x);
    }
}

void draw_picture(RenderSurface& target, Point origin, Point size, const PictureRef& ref, const Blender& blender)
{
    if (!ref.picture)
        return;
    Rect r = clipped(target, origin, size);
    if (r.empty())
        return;
    PixelBuffer s = ref.picture->pixels();
    if (!s.first_row || s.width <= 0 || s.height <= 0)
        return;
    int shift = std::clamp(ref.scale_shift, 0, 8);

    // Corners that lie outside the picture, or out of order, are pulled in: no source
    // index may leave the picture.
    auto axis = [&](int p, int len, int c0, int c1, int c2, int c3, int extent, int lo, int hi) {
        c0 = std::clamp(c0, 0, extent);
        c1 = std::clamp(c1, c0, extent);
        c2 = std::clamp(c2, c1, extent);
        c3 = std::clamp(c3, c2, extent);
        return plan_nine_part_axis(p, len, c0, c1, c2, c3, lo, hi);
    };
    NinePartAxis ax = axis(origin.x, size.x, ref.p0.x, ref.p1.x, ref.p2.x, ref.p3.x, s.width << shift, r.x, r.x + r.width);
    NinePartAxis ay = axis(origin.y, size.y, ref.p0.y, ref.p1.y, ref.p2.y, ref.p3.y, s.height << shift, r.y, r.y + r.height);

    const PixelBuffer& t = target.buffer();
    int period_x = ax.tile_end - ax.tile_begin;
    int period_y = ay.tile_end - ay.tile_begin;
    for (const NinePartPiece& row_piece : ay.pieces) {
        if (row_piece.count <= 0 || (row_piece.tiled && period_y <= 0))
            continue;
        int index = row_piece.source;
        for (int k = 0; k < row_piece.count; ++k) {
            const Pixel* source_row = s.row(index >> shift);
            Pixel* target_row = t.row(row_piece.target + k);
            for (const NinePartPiece& p : ax.pieces) {
                if (p.count <= 0)
                    continue;
                if (!p.tiled)
                    blender.copy_shifted(target_row + p.target, source_row, p.count, p.source, shift);
                else if (period_x > 0)
                    blender.copy_tiled(target_row + p.target, source_row, p.count, p.source, shift, ax.tile_end, ax.tile_begin);
            }
            if (++index >= ay.tile_end && row_piece.tiled)
                index = ay.tile_begin;
        }
    }
}

} // namespace skin
