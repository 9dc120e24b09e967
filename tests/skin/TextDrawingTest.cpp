#include "BoxFont.h"

#include "skin/draw/Drawing.h"
#include "skin/draw/SolidFill.h"
#include "skin/text/FontRegistry.h"
#include "skin/text/FreeTypeFont.h"
#include "skin/text/TextDrawing.h"

#include <gtest/gtest.h>

#include <random>

using namespace skin;

namespace {

const FreeTypeFont& font12()
{
    static FreeTypeFont f([] {
        FontSpec s;
        s.face = u"DejaVu Sans";
        return s;
    }());
    return f;
}

const Color black { 0, 0, 0, 255 };

// The bounding box of the pixels that differ from the background.
Rect ink_box(const RenderSurface& s, Pixel background)
{
    int x0 = s.width(), y0 = s.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            if (s.buffer().at(x, y) != background) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
    return x1 < 0 ? Rect {} : Rect { x0, y0, x1 - x0 + 1, y1 - y0 + 1 };
}

RenderSurface white(int w, int h)
{
    RenderSurface s(w, h);
    fill(s, { 0, 0 }, { w, h }, SolidFill(0xFFFF));
    return s;
}

} // namespace

TEST(DrawText, AlignsInTheBox)
{
    const FreeTypeFont& f = font12();
    int width = f.measure_text(u"Rain").width, line = f.line_height();
    struct Case {
        HAlign h;
        VAlign v;
        int dx, dy; // expected shift of the ink against LEFT/TOP
    } cases[] = {
        { HAlign::left, VAlign::top, 0, 0 },
        { HAlign::justify, VAlign::top, 0, 0 },
        { HAlign::center, VAlign::vcenter, (100 - width) / 2, (40 - line) / 2 },
        { HAlign::right, VAlign::bottom, 100 - width, 40 - line },
    };
    RenderSurface ref = white(140, 60);
    draw_text(&f, ref, black, u"Rain", { 10, 10 }, { 100, 40 }, HAlign::left, VAlign::top, false);
    Rect base = ink_box(ref, 0xFFFF);
    ASSERT_FALSE(base.empty());
    EXPECT_GE(base.x, 10);
    EXPECT_LE(base.x + base.width, 10 + width + 1);
    for (const Case& c : cases) {
        RenderSurface s = white(140, 60);
        draw_text(&f, s, black, u"Rain", { 10, 10 }, { 100, 40 }, c.h, c.v, false);
        Rect r = ink_box(s, 0xFFFF);
        EXPECT_EQ(r.x, base.x + c.dx) << int(c.h);
        EXPECT_EQ(r.y, base.y + c.dy) << int(c.v);
        EXPECT_EQ(r.width, base.width);
    }
}

TEST(DrawText, StaysInsideTheBoxAndTheClipAndMarksTouchedPixelsOpaque)
{
    const FreeTypeFont& f = font12();
    // On a key-coloured cache surface, untouched pixels stay the key.
    RenderSurface s(120, 30);
    fill(s, { 0, 0 }, { 120, 30 }, SolidFill(transparent_key));
    draw_text(&f, s, Color { 255, 255, 255, 255 }, u"Cloudy and very windy", { 5, 5 }, { 60, 20 }, HAlign::left, VAlign::top, false);
    Rect r = ink_box(s, transparent_key);
    ASSERT_FALSE(r.empty());
    EXPECT_GE(r.x, 5);
    EXPECT_LE(r.x + r.width, 65);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x) {
            Pixel p = s.buffer().at(x, y);
            EXPECT_TRUE(p == transparent_key || (p & opaque_bit)) << x << "," << y;
        }

    RenderSurface c = white(120, 30);
    c.push_clip({ 20, 0 }, { 10, 30 });
    draw_text(&f, c, black, u"WWWWWW", { 0, 0 }, { 120, 30 }, HAlign::left, VAlign::top, false);
    Rect cr = ink_box(c, 0xFFFF);
    EXPECT_GE(cr.x, 20);
    EXPECT_LE(cr.x + cr.width, 30);

    // Empty boxes and boxes outside the target draw nothing.
    RenderSurface e = white(20, 20);
    draw_text(&f, e, black, u"x", { 0, 0 }, { 0, 20 }, HAlign::left, VAlign::top, false);
    draw_text(&f, e, black, u"x", { 30, 0 }, { 20, 20 }, HAlign::left, VAlign::top, false);
    draw_text(&f, e, black, u"x", { -25, 0 }, { 20, 20 }, HAlign::left, VAlign::top, false);
    EXPECT_TRUE(ink_box(e, 0xFFFF).empty());
}

TEST(DrawText, EndEllipsisCutsTheTextToFit)
{
    const FreeTypeFont& f = font12();
    EXPECT_EQ(end_ellipsis(f, u"Sun", 100), u"Sun");
    int dots = f.measure_text(u"...").width;
    int edge = f.measure_text(u"Partly").width;
    EXPECT_EQ(end_ellipsis(f, u"Partly cloudy", edge + dots), u"Partly...");
    EXPECT_EQ(end_ellipsis(f, u"Partly cloudy", edge + dots - 1), u"Partl...");
    EXPECT_EQ(end_ellipsis(f, u"Partly cloudy", 1), u"...");
    EXPECT_EQ(end_ellipsis(f, u"a\U0001F600\U0001F600\U0001F600\U0001F600", f.measure_text(u"a\U0001F600").width + dots),
        u"a\U0001F600...");

    // Drawing with the ellipsis gives the same pixels as drawing the cut text.
    RenderSurface a = white(100, 20), b = white(100, 20);
    draw_text(&f, a, black, u"Partly cloudy", { 0, 0 }, { edge + dots, 20 }, HAlign::left, VAlign::top, true);
    draw_text(&f, b, black, u"Partly...", { 0, 0 }, { edge + dots, 20 }, HAlign::left, VAlign::top, false);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 100; ++x)
            ASSERT_EQ(a.buffer().at(x, y), b.buffer().at(x, y));
}

TEST(DrawText, TheScratchSurfaceOnlyGrows)
{
    const FreeTypeFont& f = font12();
    RenderSurface s = white(300, 100);
    draw_text(&f, s, black, u"WWWWWWWWWWWW", { 0, 0 }, { 250, 80 }, HAlign::left, VAlign::top, false);
    Point grown = text_scratch_size();
    EXPECT_GE(grown.x, f.measure_text(u"WWWWWWWWWWWW").width);
    EXPECT_GE(grown.y, f.line_height());
    draw_text(&f, s, black, u"x", { 0, 0 }, { 10, 10 }, HAlign::left, VAlign::top, false);
    EXPECT_EQ(text_scratch_size(), grown);
}

TEST(DrawText, AnEmptyFontHandleDrawsWithTheFallbackFont)
{
    RenderSurface s = white(100, 30);
    draw_text(nullptr, s, black, u"Snow", { 0, 0 }, { 100, 30 }, HAlign::left, VAlign::top, false);
    EXPECT_FALSE(ink_box(s, 0xFFFF).empty());
    EXPECT_GT(measure_text(nullptr, u"Snow").width, 0);
}

TEST(DrawText, TheFallbackFontComesFromTheFontFactoryOrMeasuresNothing)
{
    set_font_factory([](const FontSpec&) { return std::make_shared<BoxFont>(); });
    EXPECT_NE(dynamic_cast<const BoxFont*>(fallback_font().get()), nullptr);
    EXPECT_EQ(measure_text(nullptr, u"Snow").width, 4 * 6);
    RenderSurface boxes = white(100, 30);
    draw_text(nullptr, boxes, black, u"Snow", { 0, 0 }, { 100, 30 }, HAlign::left, VAlign::top, false);
    EXPECT_EQ(ink_box(boxes, 0xFFFF), (Rect { 0, 0, 24, 10 }));

    // A factory that makes no font: text measures and draws nothing, and nothing fails.
    set_font_factory([](const FontSpec&) { return SharedFont(); });
    ASSERT_NE(fallback_font(), nullptr);
    TextExtent e = measure_text(nullptr, u"Snow");
    EXPECT_EQ(e.width, 0);
    EXPECT_EQ(e.right_edges.size(), 4u);
    RenderSurface none = white(100, 30);
    draw_text(nullptr, none, black, u"Snow", { 0, 0 }, { 100, 30 }, HAlign::left, VAlign::top, true);
    EXPECT_TRUE(ink_box(none, 0xFFFF).empty());
    install_freetype_fonts();
}

TEST(DrawText, AnyTextInAnyBoxStaysInsideTheBoxAndTheClip)
{
    const FreeTypeFont& f = font12();
    std::mt19937 gen(5);
    auto any = [&](int lo, int hi) { return lo + int(gen() % unsigned(hi - lo + 1)); };
    const char16_t pool[] = { u'a', u'W', u' ', u'\n', u'\t', 0x200B, 0x2026, 0x00B0, 0xD83D, 0xDE00, 0xDC00, 0xFFFF, 0x0416 };
    for (int round = 0; round < 400; ++round) {
        std::u16string text;
        for (int n = any(0, 30); n > 0; --n)
            text += pool[gen() % std::size(pool)];
        RenderSurface s = white(60, 40);
        s.push_clip({ any(-10, 50), any(-10, 30) }, { any(0, 70), any(0, 50) });
        Rect box { any(-20, 50), any(-20, 30), any(-5, 80), any(-5, 50) };
        Rect allowed = s.area().intersected(box);
        draw_text(&f, s, black, text, { box.x, box.y }, { box.width, box.height }, HAlign(any(0, 3)), VAlign(any(0, 2)), any(0, 1));
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 60; ++x) {
                bool inside = x >= allowed.x && x < allowed.x + allowed.width && y >= allowed.y && y < allowed.y + allowed.height;
                if (!inside) {
                    ASSERT_EQ(s.buffer().at(x, y), 0xFFFF) << "round " << round;
                }
            }
        }
    }
}
