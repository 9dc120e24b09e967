#include "BoxFont.h"

#include "skin/draw/Blenders.h"
#include "skin/draw/Drawing.h"
#include "skin/draw/ImageDrawing.h"
#include "skin/draw/SolidFill.h"
#include "skin/text/TextBlock.h"

#include <gtest/gtest.h>

using namespace skin;

namespace {

SharedPicture numbered(int w, int h)
{
    auto p = std::make_shared<Picture>(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p->pixels().at(x, y) = Pixel(100 * y + x + 1);
    return p;
}

// The first and last rows that hold a pixel other than the background.
std::pair<int, int> ink_rows(const RenderSurface& s, Pixel background = 0)
{
    int first = -1, last = -1;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            if (s.buffer().at(x, y) != background) {
                if (first < 0)
                    first = y;
                last = y;
            }
    return { first, last };
}

std::vector<TextLine> spans(int n)
{
    std::vector<TextLine> v;
    for (int i = 0; i < n; ++i)
        v.push_back({ size_t(i) * 3, 2 });
    return v;
}

const Color white { 255, 255, 255, 255 };

} // namespace

TEST(ImageDrawing, WithoutAspectRatioThePictureFillsTheRectangle)
{
    auto p = numbered(4, 2);
    RenderSurface a(10, 6), b(10, 6);
    auto copy = make_opaque_copy();
    draw_image(a, { 1, 1 }, { 8, 4 }, PictureRef::whole(p), *copy, false);
    draw_picture(b, { 1, 1 }, { 8, 4 }, PictureRef::whole(p), *copy);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(a.buffer().at(x, y), b.buffer().at(x, y));
    EXPECT_EQ(a.buffer().at(8, 4), 104); // the whole picture is the middle: it repeats
}

TEST(ImageDrawing, ShrinksToFitKeepingTheProportionsCentred)
{
    auto p = numbered(40, 20);
    p->pixels().at(2, 0) = transparent_key;
    RenderSurface s(20, 20);
    fill(s, { 0, 0 }, { 20, 20 }, SolidFill(7));
    // 20 x 400 < 20 x 800: the width decides, scale 0.5, 20 x 10 at (0, 5).
    draw_image(s, { 0, 0 }, { 20, 20 }, PictureRef::whole(p), *make_level_blender(0), true);
    EXPECT_EQ(ink_rows(s, 7), (std::pair<int, int> { 5, 14 }));
    EXPECT_EQ(s.buffer().at(0, 5), 1);
    EXPECT_EQ(s.buffer().at(1, 5), 7); // the key stays transparent
    EXPECT_EQ(s.buffer().at(2, 5), 5);
    EXPECT_EQ(s.buffer().at(0, 6), 201);

    // Lower than the picture: the height decides.
    RenderSurface tall(30, 10);
    draw_image(tall, { 0, 0 }, { 30, 10 }, PictureRef::whole(numbered(40, 20)), *make_opaque_copy(), true);
    EXPECT_EQ(tall.buffer().at(4, 0), 0);   // 20 x 10 centred: columns 5..24
    EXPECT_EQ(tall.buffer().at(5, 0), 1);
    EXPECT_EQ(tall.buffer().at(24, 9), 1839);
    EXPECT_EQ(tall.buffer().at(25, 9), 0);

    // A smaller picture after a larger one scales only its own pixels.
    RenderSurface small(5, 5);
    draw_image(small, { 0, 0 }, { 5, 5 }, PictureRef::whole(numbered(10, 10)), *make_opaque_copy(), true);
    EXPECT_EQ(small.buffer().at(0, 0), 1);
    EXPECT_EQ(small.buffer().at(4, 4), 809); // every second pixel: source 8, 8
}

TEST(ImageDrawing, EnlargesByThePowerOfTwoThatFits)
{
    auto p = numbered(10, 5);
    RenderSurface s(45, 30);
    // 40 x 20 fits, 80 x 40 does not: four times, at (2, 5).
    draw_image(s, { 0, 0 }, { 45, 30 }, PictureRef::whole(p), *make_opaque_copy(), true);
    EXPECT_EQ(ink_rows(s), (std::pair<int, int> { 5, 24 }));
    EXPECT_EQ(s.buffer().at(1, 5), 0);
    EXPECT_EQ(s.buffer().at(2, 5), 1);
    EXPECT_EQ(s.buffer().at(5, 8), 1);
    EXPECT_EQ(s.buffer().at(6, 9), 102);
    EXPECT_EQ(s.buffer().at(41, 24), 410);

    // Exactly the node's size: drawn as it is.
    RenderSurface same(10, 5);
    draw_image(same, { 0, 0 }, { 10, 5 }, PictureRef::whole(p), *make_opaque_copy(), true);
    EXPECT_EQ(same.buffer().at(9, 4), 410);

    // A picture of a 2x skin: its corners are doubled already and the enlargement adds on.
    PictureRef doubled = PictureRef::whole(numbered(5, 3), 1);
    doubled.p2 = doubled.p3 = { 10, 6 };
    RenderSurface big(20, 12);
    draw_image(big, { 0, 0 }, { 20, 12 }, doubled, *make_opaque_copy(), true);
    EXPECT_EQ(big.buffer().at(3, 0), 1);
    EXPECT_EQ(big.buffer().at(4, 0), 2);
    EXPECT_EQ(big.buffer().at(19, 11), 205);
}

TEST(TextBlock, AlignsTheBlockAndDrawsEachLineInItsBox)
{
    BoxFont font;
    std::u16string text = u"ab cd ef gh ij kl";
    struct Case {
        VAlign valign;
        int lines, height;
        std::pair<int, int> rows;
    } cases[] = {
        { VAlign::top, 3, 50, { 0, 29 } },
        { VAlign::vcenter, 3, 50, { 10, 39 } },
        { VAlign::bottom, 3, 50, { 20, 49 } },
        { VAlign::vcenter, 3, 31, { 0, 29 } },  // (31 - 30) / 2 is 0: no move
        { VAlign::bottom, 4, 35, { 0, 34 } },   // the block moves up, the clip cuts it
        { VAlign::top, 6, 35, { 0, 34 } },      // stops after the line that starts at 30
    };
    for (const Case& c : cases) {
        RenderSurface s(40, 60);
        TextBlockStyle style { white, HAlign::left, c.valign, false, false };
        draw_text_block(&font, s, text, spans(c.lines), { 0, 0, 40, c.height }, style);
        EXPECT_EQ(ink_rows(s), c.rows) << int(c.valign) << " " << c.lines << " " << c.height;
    }

    // Each line keeps the halign inside the node's width.
    RenderSurface s(40, 20);
    draw_text_block(&font, s, text, spans(1), { 5, 0, 30, 20 }, { white, HAlign::right, VAlign::top, false, false });
    EXPECT_EQ(s.buffer().at(22, 0), 0);
    EXPECT_NE(s.buffer().at(23, 0), 0);
    EXPECT_NE(s.buffer().at(34, 0), 0);
    EXPECT_EQ(s.buffer().at(35, 0), 0);
}

TEST(TextBlock, WrapWithEllipsisStopsBeforeALineThatDoesNotFitAndEndsWithOneEllipsis)
{
    BoxFont font;
    std::u16string text = u"ab cd ef gh ij kl";
    RenderSurface s(40, 40);
    draw_text_block(&font, s, text, spans(6), { 0, 0, 40, 35 }, { white, HAlign::left, VAlign::top, true, true });
    // Lines at 0, 10 and 20; the fourth would end at 40 > 35. The ellipsis sits at the
    // bottom of the whole box (rows 25..34), three pixels wide.
    EXPECT_EQ(ink_rows(s), (std::pair<int, int> { 0, 34 }));
    EXPECT_NE(s.buffer().at(2, 34), 0);
    EXPECT_EQ(s.buffer().at(3, 34), 0);
    EXPECT_EQ(s.buffer().at(6, 34), 0);

    // Everything fits: no ellipsis.
    RenderSurface fits(40, 40);
    draw_text_block(&font, fits, text, spans(3), { 0, 0, 40, 35 }, { white, HAlign::left, VAlign::top, true, true });
    EXPECT_EQ(ink_rows(fits), (std::pair<int, int> { 0, 29 }));

    // Without wrap the partly visible line is drawn and no ellipsis character appears.
    RenderSurface plain(40, 40);
    draw_text_block(&font, plain, text, spans(6), { 0, 0, 40, 35 }, { white, HAlign::left, VAlign::top, false, true });
    EXPECT_NE(plain.buffer().at(3, 34), 0);
}

TEST(ImageDrawing, AMaskWeighsThePictureInEveryMode)
{
    auto white_picture = std::make_shared<Picture>(4, 2);
    auto mask = std::make_shared<Picture>(4, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            white_picture->pixels().at(x, y) = 0xFFFF;
            mask->pixels().at(x, y) = x < 2 ? 0x07E0 : 0x0000; // the left half shows
        }
    PictureRef mask_ref = PictureRef::whole(mask);
    struct Case {
        Point size;
        bool aspect;
        Point shown, hidden;
    } cases[] = {
        { { 4, 2 }, false, { 1, 1 }, { 2, 1 } },
        { { 2, 1 }, true, { 0, 0 }, { 1, 0 } }, // shrunk to half
        { { 8, 4 }, true, { 3, 3 }, { 4, 3 } }, // enlarged twice
    };
    for (const Case& c : cases) {
        RenderSurface s(8, 4);
        draw_image(s, { 0, 0 }, c.size, PictureRef::whole(white_picture), *make_opaque_copy(), c.aspect, &mask_ref);
        EXPECT_EQ(s.buffer().at(c.shown.x, c.shown.y), 0xFFFF) << c.size.x;
        EXPECT_EQ(s.buffer().at(c.hidden.x, c.hidden.y), 0x0000) << c.size.x;
    }
    // A mask of another size is not used.
    auto other = std::make_shared<Picture>(3, 2);
    PictureRef other_ref = PictureRef::whole(other);
    RenderSurface s(4, 2);
    draw_image(s, { 0, 0 }, { 4, 2 }, PictureRef::whole(white_picture), *make_opaque_copy(), false, &other_ref);
    EXPECT_EQ(s.buffer().at(3, 1), 0xFFFF);
}
