#include "skin/draw/Blenders.h"
#include "skin/draw/Dim.h"
#include "skin/draw/Drawing.h"
#include "skin/draw/NinePartAxis.h"
#include "skin/draw/SolidFill.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using namespace skin;

namespace {

// A picture whose pixel (x, y) is 100 * y + x + 1: every source pixel tells where it came from.
SharedPicture numbered_picture(int width, int height)
{
    auto p = std::make_shared<Picture>(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            p->pixels().at(x, y) = Pixel(100 * y + x + 1);
    return p;
}

std::vector<Pixel> row_of(const RenderSurface& s, int y)
{
    return { s.buffer().row(y), s.buffer().row(y) + s.width() };
}

// Source column (0-based) of every pixel of row 0; -1 where nothing was drawn.
std::vector<int> columns(const RenderSurface& s, int y = 0)
{
    std::vector<int> v;
    for (Pixel p : row_of(s, y))
        v.push_back(p == 0 ? -1 : (p - 1) % 100);
    return v;
}

PictureRef strip_ref(SharedPicture p, int c0, int c1, int c2, int c3, int shift = 0)
{
    PictureRef r;
    r.picture = std::move(p);
    r.p0 = { c0, 0 };
    r.p1 = { c1, 0 };
    r.p2 = { c2, 1 << shift };
    r.p3 = { c3, 1 << shift };
    r.scale_shift = shift;
    return r;
}

} // namespace

TEST(NinePart, SplitsAWideEnoughAxisIntoTheFixedPartsAndTheMiddle)
{
    NinePartAxis a = plan_nine_part_axis(0, 12, 0, 5, 15, 20, 0, 12);
    EXPECT_EQ(a.start, 5);
    EXPECT_EQ(a.middle, 2);
    EXPECT_EQ(a.end, 5);

    RenderSurface s(12, 1);
    draw_picture(s, { 0, 0 }, { 12, 1 }, strip_ref(numbered_picture(20, 1), 0, 5, 15, 20), *make_opaque_copy());
    EXPECT_EQ(columns(s), (std::vector<int> { 0, 1, 2, 3, 4, 5, 6, 15, 16, 17, 18, 19 }));
}

TEST(NinePart, ANarrowAxisSharesTheRoomAndKeepsOneMiddlePixel)
{
    NinePartAxis a = plan_nine_part_axis(0, 8, 0, 5, 15, 20, 0, 8);
    EXPECT_EQ(a.start, 4);
    EXPECT_EQ(a.middle, 1);
    EXPECT_EQ(a.end, 3);
    EXPECT_EQ(a.pieces[2].source, 17);

    RenderSurface s(8, 1);
    draw_picture(s, { 0, 0 }, { 8, 1 }, strip_ref(numbered_picture(20, 1), 0, 5, 15, 20), *make_opaque_copy());
    EXPECT_EQ(columns(s), (std::vector<int> { 0, 1, 2, 3, 5, 17, 18, 19 }));

    // Uneven fixed parts.
    struct Case {
        int length, s, e, start, middle, end;
    } cases[] = { { 8, 7, 1, 6, 1, 1 }, { 8, 1, 7, 1, 1, 6 }, { 1, 5, 5, 0, 1, 0 }, { 0, 5, 5, 0, 0, 0 }, { 9, 5, 5, 4, 1, 4 } };
    for (const Case& c : cases) {
        NinePartAxis p = plan_nine_part_axis(0, c.length, 0, c.s, 20 - c.e, 20, 0, c.length);
        EXPECT_EQ(p.start, c.start) << c.length << " " << c.s << " " << c.e;
        EXPECT_EQ(p.middle, c.middle) << c.length << " " << c.s << " " << c.e;
        EXPECT_EQ(p.end, c.end) << c.length << " " << c.s << " " << c.e;
        EXPECT_EQ(p.start + p.middle + p.end, c.length);
    }
}

TEST(NinePart, ClippingCutsFromBothEndsAndMovesTheTilePhase)
{
    auto picture = numbered_picture(20, 1);
    auto ref = strip_ref(picture, 0, 5, 15, 20);
    // 30 wide: start 5, middle 20 tiling [5, 15), end 5.
    RenderSurface full(30, 1);
    draw_picture(full, { 0, 0 }, { 30, 1 }, ref, *make_opaque_copy());
    std::vector<int> want = { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19 };
    ASSERT_EQ(columns(full), want);

    // A clip starting inside the middle continues the tile where it would have been.
    RenderSurface s(30, 1);
    s.push_clip({ 8, 0 }, { 19, 1 });
    draw_picture(s, { 0, 0 }, { 30, 1 }, ref, *make_opaque_copy());
    auto got = columns(s);
    EXPECT_EQ(got[7], -1);
    EXPECT_EQ(got[8], 8);
    EXPECT_EQ(got[18], 8);
    EXPECT_EQ(got[26], 16);
    EXPECT_EQ(got[27], -1);

    // Every clip range, including those that end inside the fixed parts, draws exactly
    // the unclipped pixels inside it.
    for (int lo = -2; lo <= 31; ++lo) {
        for (int hi = lo; hi <= 32; ++hi) {
            RenderSurface c(30, 1);
            c.push_clip({ lo, 0 }, { hi - lo, 1 });
            draw_picture(c, { 0, 0 }, { 30, 1 }, ref, *make_opaque_copy());
            auto cols = columns(c);
            for (int x = 0; x < 30; ++x)
                ASSERT_EQ(cols[size_t(x)], (x >= lo && x < hi) ? want[size_t(x)] : -1) << lo << ".." << hi << " at " << x;
        }
    }

    // A picture drawn at a negative position clips the same way.
    RenderSurface shifted(10, 1);
    draw_picture(shifted, { -7, 0 }, { 30, 1 }, ref, *make_opaque_copy());
    EXPECT_EQ(columns(shifted), (std::vector<int>(want.begin() + 7, want.begin() + 17)));
}

TEST(NinePart, RowsAreStartMiddleAndEndToo)
{
    auto picture = numbered_picture(3, 3);
    PictureRef ref;
    ref.picture = picture;
    ref.p0 = { 0, 0 };
    ref.p1 = { 1, 1 };
    ref.p2 = { 2, 2 };
    ref.p3 = { 3, 3 };
    RenderSurface s(5, 5);
    draw_picture(s, { 0, 0 }, { 5, 5 }, ref, *make_opaque_copy());
    std::vector<Pixel> top = { 1, 2, 2, 2, 3 }, middle = { 101, 102, 102, 102, 103 }, bottom = { 201, 202, 202, 202, 203 };
    EXPECT_EQ(row_of(s, 0), top);
    EXPECT_EQ(row_of(s, 2), middle);
    EXPECT_EQ(row_of(s, 3), middle);
    EXPECT_EQ(row_of(s, 4), bottom);

    // Clipped rows keep the tile phase of the rows as well.
    auto tall = numbered_picture(1, 4);
    PictureRef t;
    t.picture = tall;
    t.p1 = { 0, 1 };
    t.p2 = { 1, 3 };
    t.p3 = { 1, 4 };
    RenderSurface col(1, 8);
    col.push_clip({ 0, 2 }, { 1, 5 });
    draw_picture(col, { 0, 0 }, { 1, 8 }, t, *make_opaque_copy());
    std::vector<Pixel> got;
    for (int y = 0; y < 8; ++y)
        got.push_back(col.buffer().at(0, y));
    // rows: start 0; middle 1,2,1,2,1,2; end 3 -> clipped to rows 2..6
    EXPECT_EQ(got, (std::vector<Pixel> { 0, 0, 201, 101, 201, 101, 201, 0 }));
}

TEST(NinePart, ScaleShiftOneDoublesPixelsWithScaledCorners)
{
    auto picture = numbered_picture(3, 2);
    // Whole picture on a 2x screen.
    PictureRef whole = PictureRef::whole(picture, 1);
    whole.p2 = whole.p3 = { 6, 4 };
    RenderSurface s(6, 4);
    draw_picture(s, { 0, 0 }, { 6, 4 }, whole, *make_opaque_copy());
    EXPECT_EQ(row_of(s, 0), (std::vector<Pixel> { 1, 1, 2, 2, 3, 3 }));
    EXPECT_EQ(row_of(s, 1), (std::vector<Pixel> { 1, 1, 2, 2, 3, 3 }));
    EXPECT_EQ(row_of(s, 3), (std::vector<Pixel> { 101, 101, 102, 102, 103, 103 }));

    // Nine parts at shift 1: fixed parts of two screen pixels, the middle tiles its two.
    RenderSurface wide(10, 2);
    draw_picture(wide, { 0, 0 }, { 10, 2 }, strip_ref(picture, 0, 2, 4, 6, 1), *make_opaque_copy());
    EXPECT_EQ(row_of(wide, 0), (std::vector<Pixel> { 1, 1, 2, 2, 2, 2, 2, 2, 3, 3 }));

    // An odd clip start lands on the second half of a doubled pixel.
    RenderSurface clipped(6, 4);
    clipped.push_clip({ 3, 0 }, { 3, 4 });
    draw_picture(clipped, { 0, 0 }, { 6, 4 }, whole, *make_opaque_copy());
    EXPECT_EQ(row_of(clipped, 0), (std::vector<Pixel> { 0, 0, 0, 2, 3, 3 }));
}

TEST(NinePart, CornersOutsideThePictureNeverReadOutsideIt)
{
    auto picture = numbered_picture(4, 4);
    PictureRef bad;
    bad.picture = picture;
    bad.p0 = { -5, -5 };
    bad.p1 = { 9, 1 };
    bad.p2 = { 3, 50 };
    bad.p3 = { 70, 70 };
    RenderSurface s(16, 16);
    draw_picture(s, { 0, 0 }, { 16, 16 }, bad, *make_opaque_copy());
    for (int y = 0; y < 16; ++y)
        for (Pixel p : row_of(s, y))
            EXPECT_TRUE(p == 0 || (p % 100 >= 1 && p % 100 <= 4 && p / 100 <= 3));
    // Nothing for empty or negative sizes, or pictures outside the target.
    RenderSurface t(4, 4);
    auto whole = PictureRef::whole(picture);
    draw_picture(t, { 0, 0 }, { -4, 4 }, whole, *make_opaque_copy());
    draw_picture(t, { 0, 0 }, { 4, 0 }, whole, *make_opaque_copy());
    draw_picture(t, { 4, 0 }, { 4, 4 }, whole, *make_opaque_copy());
    draw_picture(t, { -4, -4 }, { 4, 4 }, whole, *make_opaque_copy());
    for (int y = 0; y < 4; ++y)
        EXPECT_EQ(row_of(t, y), std::vector<Pixel>(4, 0));
}

TEST(Fill, SolidFillAndDimStayInsideTheClippedRectangle)
{
    RenderSurface s(7, 5);
    fill(s, { -2, -2 }, { 20, 20 }, SolidFill(0xFFFF));
    s.push_clip({ 1, 1 }, { 4, 3 });
    fill(s, { 2, 0 }, { 10, 2 }, Dim(128));
    s.pop_clip();
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(s.buffer().at(x, y), (y == 1 && x >= 2 && x < 5) ? 0x7BEF : 0xFFFF) << x << "," << y;
    fill(s, { 0, 0 }, { 0, 5 }, SolidFill(0));
    fill(s, { 0, 0 }, { 5, -1 }, SolidFill(0));
    EXPECT_EQ(s.buffer().at(0, 0), 0xFFFF);
}

TEST(Fill, DimFactorsAndTheTwoPixelWordPath)
{
    EXPECT_EQ(Dim(0).factor(), 0);
    EXPECT_EQ(Dim(7).factor(), 0);
    EXPECT_EQ(Dim(8).factor(), 1);
    EXPECT_EQ(Dim(128).factor(), 8);
    EXPECT_EQ(Dim(255).factor(), 16);
    EXPECT_EQ(Dim(1000).factor(), 16);
    EXPECT_EQ(Dim(-100).factor(), 0);
    EXPECT_EQ(Dim::dim_pixel(0xFFFF, 16), 0xFFFF);
    EXPECT_EQ(Dim::dim_pixel(0xFFFF, 0), 0x0000);
    EXPECT_EQ(Dim::dim_pixel(0xFFFF, 1), 0x0861);
    EXPECT_EQ(Dim::dim_pixel(0xFFFF, 12), 0xB5D6);
    // Every channel stays within its bits and never exceeds the original.
    for (int k = 0; k <= 16; ++k) {
        for (int p = 0; p < 0x10000; p += 7) {
            Pixel d = Dim::dim_pixel(Pixel(p), k);
            EXPECT_LE(d >> 11, p >> 11);
            EXPECT_LE((d >> 5) & 63, (p >> 5) & 63);
            EXPECT_LE(d & 31, p & 31);
        }
    }
    // Odd starts and lengths give the same pixels as the single-pixel rule.
    std::mt19937 gen(3);
    std::vector<Pixel> base(80);
    for (auto& p : base)
        p = Pixel(gen());
    for (int alpha : { 8, 100, 200 }) {
        for (int offset = 0; offset < 3; ++offset) {
            for (int count = 0; count <= 67; ++count) {
                auto row = base;
                Dim(alpha).apply(row.data() + offset, count);
                for (int i = 0; i < 80; ++i) {
                    bool inside = i >= offset && i < offset + count;
                    ASSERT_EQ(row[size_t(i)], inside ? Dim::dim_pixel(base[size_t(i)], Dim(alpha).factor()) : base[size_t(i)]);
                }
            }
        }
    }
}

TEST(Blit, CopiesTheSourceClippedToTheTarget)
{
    RenderSurface source(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            source.buffer().at(x, y) = Pixel(10 * y + x + 1);
    source.buffer().at(3, 3) = transparent_key;
    RenderSurface target(5, 5);
    blit(target, { -2, -1 }, source, *make_opaque_copy());
    EXPECT_EQ(row_of(target, 0), (std::vector<Pixel> { 13, 14, 0, 0, 0 }));
    EXPECT_EQ(row_of(target, 2), (std::vector<Pixel> { 33, transparent_key, 0, 0, 0 })); // copied as it is
    EXPECT_EQ(row_of(target, 3), (std::vector<Pixel> { 0, 0, 0, 0, 0 }));

    RenderSurface keyed(5, 5);
    fill(keyed, { 0, 0 }, { 5, 5 }, SolidFill(7));
    blit(keyed, { 2, 2 }, source, *make_level_blender(0));
    EXPECT_EQ(row_of(keyed, 4), (std::vector<Pixel> { 7, 7, 21, 22, 23 }));
    EXPECT_EQ(row_of(keyed, 1), (std::vector<Pixel>(5, 7)));

    // A clipped source copies only its drawing area.
    source.push_clip({ 1, 1 }, { 2, 2 });
    RenderSurface small(3, 3);
    blit(small, { 0, 0 }, source, *make_opaque_copy());
    EXPECT_EQ(row_of(small, 0), (std::vector<Pixel> { 12, 13, 0 }));
    EXPECT_EQ(row_of(small, 1), (std::vector<Pixel> { 22, 23, 0 }));
}

TEST(Blit, ScaledStepsThroughTheSourceInFixedPoint)
{
    RenderSurface source(2, 2);
    source.buffer().at(0, 0) = 1;
    source.buffer().at(1, 0) = 2;
    source.buffer().at(0, 1) = 3;
    source.buffer().at(1, 1) = 4;
    RenderSurface big(4, 4);
    blit_scaled(big, { 0, 0 }, { 4, 4 }, source, *make_opaque_copy());
    EXPECT_EQ(row_of(big, 0), (std::vector<Pixel> { 1, 1, 2, 2 }));
    EXPECT_EQ(row_of(big, 3), (std::vector<Pixel> { 3, 3, 4, 4 }));

    RenderSurface small(1, 1);
    blit_scaled(small, { 0, 0 }, { 1, 1 }, big, *make_opaque_copy());
    EXPECT_EQ(small.buffer().at(0, 0), 1);

    // 4 -> 3 steps by 1365/1024: sources 0, 1, 2. Clipped at the left it starts mid-way.
    RenderSurface wide(4, 1);
    for (int x = 0; x < 4; ++x)
        wide.buffer().at(x, 0) = Pixel(x + 1);
    RenderSurface three(3, 1);
    blit_scaled(three, { 0, 0 }, { 3, 1 }, wide, *make_opaque_copy());
    EXPECT_EQ(row_of(three, 0), (std::vector<Pixel> { 1, 2, 3 }));
    RenderSurface part(3, 1);
    blit_scaled(part, { -1, 0 }, { 3, 1 }, wide, *make_opaque_copy());
    EXPECT_EQ(row_of(part, 0), (std::vector<Pixel> { 2, 3, 0 }));
}

TEST(Drawing, RandomRectanglesCornersAndClipsNeverTouchPixelsOutsideTheDrawingArea)
{
    std::mt19937 gen(11);
    auto any = [&](int lo, int hi) { return lo + int(gen() % unsigned(hi - lo + 1)); };
    auto picture = numbered_picture(9, 7);
    const Pixel guard = 0xABCD;
    for (int round = 0; round < 3000; ++round) {
        RenderSurface s(any(1, 40), any(1, 30));
        fill(s, { 0, 0 }, s.size(), SolidFill(guard));
        Point clip_at { any(-10, 40), any(-10, 30) }, clip_size { any(-5, 40), any(-5, 30) };
        s.push_clip(clip_at, clip_size);
        Rect area = s.area();
        PictureRef ref;
        ref.picture = picture;
        ref.scale_shift = any(0, 2);
        ref.p0 = { any(-3, 30), any(-3, 30) };
        ref.p1 = { any(-3, 30), any(-3, 30) };
        ref.p2 = { any(-3, 30), any(-3, 30) };
        ref.p3 = { any(-3, 40), any(-3, 40) };
        Point at { any(-50, 50), any(-50, 50) }, size { any(-5, 80), any(-5, 80) };
        switch (round % 4) {
        case 0:
            draw_picture(s, at, size, ref, *make_level_blender(round % 5));
            break;
        case 1:
            fill(s, at, size, Dim(any(0, 255)));
            break;
        case 2: {
            RenderSurface source(any(1, 20), any(1, 20));
            blit_scaled(s, at, size, source, *make_opaque_copy());
            break;
        }
        default: {
            RenderSurface source(any(1, 20), any(1, 20));
            blit(s, at, source, *make_opaque_copy());
        }
        }
        s.pop_clip();
        for (int y = 0; y < s.height(); ++y) {
            for (int x = 0; x < s.width(); ++x) {
                bool inside = x >= area.x && x < area.x + area.width && y >= area.y && y < area.y + area.height;
                if (!inside) {
                    ASSERT_EQ(s.buffer().at(x, y), guard) << "round " << round << " at " << x << "," << y;
                }
            }
        }
    }
}
