#include "skin/draw/Blenders.h"
#include "skin/draw/MaskBlender.h"
#include "skin/draw/PixelRules.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

using namespace skin;

namespace {

struct Kind {
    const char* name;
    std::function<BlenderPtr()> make;
    std::function<Pixel(Pixel, Pixel)> rule; // written out independently of the blenders
};

Pixel add(Pixel a, Pixel b) { return Pixel(a + b); }

std::vector<Kind> kinds()
{
    auto key = [](Pixel s) { return s == 0xF81F; };
    auto opaque = [](Pixel s) { return (s & 0x20) != 0; };
    return {
        { "opaque", [] { return make_opaque_copy(); }, [](Pixel s, Pixel) { return s; } },
        { "level0", [] { return make_level_blender(0); }, [=](Pixel s, Pixel d) { return key(s) ? d : s; } },
        { "level1", [] { return make_level_blender(1); },
            [=](Pixel s, Pixel d) { return key(s) ? d : opaque(s) ? s : add(s, (d >> 2) & 0x39E7); } },
        { "level2", [] { return make_level_blender(2); },
            [=](Pixel s, Pixel d) { return key(s) ? d : opaque(s) ? s : add(s, (d >> 1) & 0x7BEF); } },
        { "level3", [] { return make_level_blender(3); },
            [=](Pixel s, Pixel d) { return key(s) ? d : opaque(s) ? s : add(add(s, (d >> 2) & 0x39E7), (d >> 1) & 0x7BEF); } },
        { "level4", [] { return make_level_blender(4); }, [=](Pixel s, Pixel d) { return opaque(s) ? s : d; } },
        { "text_merge", [] { return make_text_merge(); }, [](Pixel s, Pixel d) { return s == d ? s : Pixel(s | 0x20); } },
        { "modulate", [] { return make_colour_modulate(128, 64, 256, false); },
            [](Pixel s, Pixel) { return Pixel((((s >> 11) * 128 >> 8) << 11) | ((((s >> 5) & 63) * 64 >> 8) << 5) | (s & 31)); } },
        { "modulate_or", [] { return make_colour_modulate(0, 256, 32, true); },
            [](Pixel s, Pixel d) { return Pixel(d | ((((s >> 5) & 63)) << 5) | ((s & 31) * 32 >> 8)); } },
    };
}

std::vector<Pixel> random_pixels(size_t n, unsigned seed)
{
    std::mt19937 gen(seed);
    std::vector<Pixel> v(n);
    for (auto& p : v) {
        unsigned r = gen();
        // Plenty of keys, opaque and translucent pixels.
        p = (r & 7) == 0 ? transparent_key : Pixel(r >> 8);
    }
    return v;
}

} // namespace

TEST(Blender, EveryKindAppliesItsRuleInAllFourRunsAtEveryAlignment)
{
    auto source = random_pixels(300, 1);
    auto under = random_pixels(300, 2);
    for (const Kind& kind : kinds()) {
        SCOPED_TRACE(kind.name);
        BlenderPtr b = kind.make()->clone();
        for (int offset = 0; offset < 3; ++offset) {
            for (int count = 0; count <= 67; ++count) {
                // 1:1
                auto t = under;
                b->copy_run(t.data() + offset, source.data() + 1, count);
                for (int i = 0; i < 300; ++i) {
                    Pixel want = (i >= offset && i < offset + count) ? kind.rule(source[size_t(i - offset + 1)], under[size_t(i)]) : under[size_t(i)];
                    ASSERT_EQ(t[size_t(i)], want) << "run offset " << offset << " count " << count << " at " << i;
                }
                // 22.10 stepping
                t = under;
                int step = 1024 * 3 / 2, start = 700;
                b->copy_stepped(t.data() + offset, source.data(), count, start, step);
                for (int i = 0; i < count; ++i)
                    ASSERT_EQ(t[size_t(offset + i)], kind.rule(source[size_t((start + i * step) >> 10)], under[size_t(offset + i)]));
                // shifted index
                for (int shift = 0; shift <= 2; ++shift) {
                    t = under;
                    b->copy_shifted(t.data() + offset, source.data(), count, 5, shift);
                    for (int i = 0; i < count; ++i)
                        ASSERT_EQ(t[size_t(offset + i)], kind.rule(source[size_t((5 + i) >> shift)], under[size_t(offset + i)]));
                }
                // tiled, wrapping from 13 back to 4
                for (int shift = 0; shift <= 1; ++shift) {
                    t = under;
                    b->copy_tiled(t.data() + offset, source.data(), count, 9, shift, 13, 4);
                    int i_src = 9;
                    for (int i = 0; i < count; ++i) {
                        ASSERT_EQ(t[size_t(offset + i)], kind.rule(source[size_t(i_src >> shift)], under[size_t(offset + i)]));
                        if (++i_src == 13)
                            i_src = 4;
                    }
                    EXPECT_EQ(t[size_t(offset + count)], under[size_t(offset + count)]);
                }
            }
        }
    }
}

TEST(Blender, ExamplesOfTheLevels)
{
    struct Case {
        int alpha;
        Pixel source, target, want;
    } cases[] = {
        { 100, 0x0000, 0xFFFF, 0x39E7 }, // a quarter of white under a translucent black
        { 150, 0x0000, 0xFFFF, 0x7BEF }, // a half
        { 200, 0x0000, 0xFFFF, 0xB5D6 }, // three quarters: 0x39E7 + 0x7BEF
        { 30, 0x0000, 0xFFFF, 0x0000 },  // level 0 copies translucent pixels as they are
        { 255, 0x0020, 0x1234, 0x0020 }, // opaque pixels always win
        { 100, 0x1000, 0x8410, 0x1000 + 0x2104 },
    };
    for (const Case& c : cases) {
        Pixel t = c.target;
        make_alpha_blender(c.alpha)->copy_run(&t, &c.source, 1);
        EXPECT_EQ(t, c.want) << "alpha " << c.alpha;
    }
}

TEST(Blender, AlphaPicksTheLevelByDivisionClamped)
{
    int alphas[] = { -5, 0, 63, 64, 127, 128, 191, 192, 255, 256, 400 };
    int levels[] = { 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4 };
    for (size_t i = 0; i < std::size(alphas); ++i)
        EXPECT_EQ(alpha_level(alphas[i]), levels[i]) << alphas[i];
}

TEST(Blender, TheKeyNeverChangesTheTargetUnderAnyLevel)
{
    const Pixel key = transparent_key;
    for (int level = 0; level <= 4; ++level) {
        for (Pixel d : { Pixel(0x0000), Pixel(0xFFFF), Pixel(0x1234), Pixel(0xF81F) }) {
            Pixel t = d;
            make_level_blender(level)->copy_run(&t, &key, 1);
            EXPECT_EQ(t, d) << "level " << level;
        }
    }
    // Level 4 drops translucent pixels too.
    Pixel translucent = 0x1000, t = 0xABCD;
    make_level_blender(4)->copy_run(&t, &translucent, 1);
    EXPECT_EQ(t, 0xABCD);
}

TEST(Blender, TextMergeMarksOnlyChangedPixelsOpaque)
{
    Pixel scratch[3] = { 0x1234, 0x4000, 0xF81F };
    Pixel target[3] = { 0x1234, 0x0000, 0xF81F };
    make_text_merge()->copy_run(target, scratch, 3);
    EXPECT_EQ(target[0], 0x1234); // untouched, opaque bit stays clear
    EXPECT_EQ(target[1], 0x4020);
    EXPECT_EQ(target[2], 0xF81F);
}

TEST(Blender, MaskWeighsSourceAgainstTarget)
{
    EXPECT_EQ(MaskBlender::mix(0xFFFF, 0x0000, 0x07E0), 0xFFFF); // full green: the source
    EXPECT_EQ(MaskBlender::mix(0xFFFF, 0x1234, 0x0000), 0x1234); // black: the target
    EXPECT_EQ(MaskBlender::mix(0xF81F, 0x1234, 0xFFFF), 0x1234); // the key stays transparent
    Pixel half = MaskBlender::mix(0xFFFF, 0x0000, 0x0400);        // green 32 of 63
    EXPECT_NEAR(half >> 11, 16, 1);

    // Runs find the mask pixel at the same place as the source pixel.
    std::vector<Pixel> src = { 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF };
    std::vector<Pixel> mask = { 0x07E0, 0x0000, 0x07E0, 0x0000 };
    PixelBuffer sb { 4, 1, 8, reinterpret_cast<uint8_t*>(src.data()) };
    PixelBuffer mb { 4, 1, 8, reinterpret_cast<uint8_t*>(mask.data()) };
    auto b = make_mask_blender(sb, mb);
    std::vector<Pixel> t(4, 0x0000);
    b->copy_shifted(t.data(), src.data(), 4, 0, 1); // source 0, 0, 1, 1
    EXPECT_EQ(t, (std::vector<Pixel> { 0xFFFF, 0xFFFF, 0x0000, 0x0000 }));
}
