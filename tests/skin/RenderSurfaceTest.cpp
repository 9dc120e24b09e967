#include "skin/draw/RenderSurface.h"

#include "runtime/Registry.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

using namespace skin;

TEST(RenderSurface, SizesBeyondAScreensUseAreRefusedAndLeaveTheSurfaceEmpty)
{
    struct Case {
        int width, height;
        bool made;
    } cases[] = {
        { RenderSurface::max_side, 16, true },
        { 4096, 8192, true }, // 32 M pixels exactly
        { 1, RenderSurface::max_side + 1, false },
        { 8192, 4097, false },
        { 65535, 40000, false }, // the fuzzer's 5.24 GB
    };
    for (const Case& c : cases) {
        RenderSurface s(10, 10);
        int64_t refused = RenderSurface::refused_count();
        EXPECT_TRUE(s.recreate(c.width, c.height)) << c.width << " x " << c.height;
        EXPECT_EQ(s.size(), (c.made ? Point { c.width, c.height } : Point { 0, 0 })) << c.width << " x " << c.height;
        EXPECT_EQ(s.buffer().first_row != nullptr, c.made) << c.width << " x " << c.height;
        EXPECT_EQ(RenderSurface::refused_count(), refused + (c.made ? 0 : 1)) << c.width << " x " << c.height;
    }
}

TEST(RenderSurface, RecreateReportsChangesAndKeepsThePixelCount)
{
    int64_t before = RenderSurface::pixel_count();
    RenderSurface s;
    EXPECT_FALSE(s.recreate(0, 0)); // no buffer and 0 x 0 is unchanged
    EXPECT_TRUE(s.recreate(10, 3));
    EXPECT_EQ(s.buffer().pitch, 20);
    EXPECT_EQ(RenderSurface::pixel_count(), before + 30);
    EXPECT_FALSE(s.recreate(10, 3));
    EXPECT_TRUE(s.recreate(5, 5));
    EXPECT_EQ(s.buffer().pitch, 12);
    EXPECT_EQ(RenderSurface::pixel_count(), before + 25);
    {
        RenderSurface other(4, 4);
        EXPECT_EQ(RenderSurface::pixel_count(), before + 41);
        RenderSurface moved(std::move(other));
        EXPECT_EQ(RenderSurface::pixel_count(), before + 41);
        s = std::move(moved);
        EXPECT_EQ(RenderSurface::pixel_count(), before + 16);
    }
    EXPECT_EQ(s.width(), 4);
    s.release();
    EXPECT_EQ(RenderSurface::pixel_count(), before);
    EXPECT_EQ(s.width(), 0);

    // A view of another buffer owns nothing.
    RenderSurface owner(8, 2);
    RenderSurface view(owner.buffer());
    EXPECT_FALSE(view.owns_buffer());
    EXPECT_EQ(RenderSurface::pixel_count(), before + 16);
}

TEST(RenderSurface, ASubSurfaceDrawsIntoPartOfItsParent)
{
    RenderSurface parent(10, 8);
    RenderSurface part = parent.sub_surface({ 3, 2, 20, 4 });
    EXPECT_FALSE(part.owns_buffer());
    EXPECT_EQ(part.size(), (Point { 7, 4 }));
    part.buffer().at(0, 0) = 1;
    part.buffer().at(6, 3) = 2;
    EXPECT_EQ(parent.buffer().at(3, 2), 1);
    EXPECT_EQ(parent.buffer().at(9, 5), 2);
    EXPECT_EQ(parent.sub_surface({ 12, 0, 4, 4 }).width(), 0);
}

TEST(RenderSurface, ClipsNestAsIntersections)
{
    RenderSurface s(100, 50);
    EXPECT_EQ(s.area(), (Rect { 0, 0, 100, 50 }));
    s.push_clip({ 10, 10 }, { 50, 50 });
    EXPECT_EQ(s.area(), (Rect { 10, 10, 50, 40 }));
    s.push_clip({ -5, 20 }, { 30, 5 });
    EXPECT_EQ(s.area(), (Rect { 10, 20, 15, 5 }));
    EXPECT_EQ(s.clip_depth(), 2);
    s.push_clip({ 90, 0 }, { 5, 5 });
    EXPECT_TRUE(s.area().empty());
    s.pop_clip();
    s.pop_clip();
    EXPECT_EQ(s.area(), (Rect { 10, 10, 50, 40 }));
    s.pop_clip();
    s.pop_clip(); // one too many is harmless
    EXPECT_EQ(s.clip_depth(), 0);
    EXPECT_EQ(s.area(), (Rect { 0, 0, 100, 50 }));
}

TEST(RenderSurface, ResizeUnderAClipIsFatal)
{
    std::string log = std::string(std::getenv("NALO_TEMP")) + "/skin_render_tests.txt";
    auto result = test_support::run_in_child([] {
        runtime::write_number(u"HKEY_CURRENT_USER\\Software\\NALO", u"Log", 1);
        RenderSurface s(4, 4);
        s.push_clip({ 0, 0 }, { 2, 2 });
        s.recreate(4, 4); // unchanged: allowed
        s.recreate(8, 8);
        std::_Exit(42); // not reached
    });
    runtime::write_number(u"HKEY_CURRENT_USER\\Software\\NALO", u"Log", 0);
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.exit_code, 0); // the fatal-error routine ends the process with 0
    EXPECT_NE(test_support::read_utf16_file(log).find("Gluck: Clip is in effect, cannot resize @ RenderSurface::recreate\n"), std::string::npos);
}

TEST(PixelBuffer, PitchIsComputedWithoutOverflow)
{
    EXPECT_EQ(PixelBuffer::pitch_for(1), 4);
    EXPECT_EQ(PixelBuffer::pitch_for(3), 8);
    EXPECT_EQ(PixelBuffer::pitch_for(0), 0);
    EXPECT_EQ(PixelBuffer::pitch_for(-7), 0);
    int widest = PixelBuffer::pitch_for(PixelBuffer::max_width);
    EXPECT_GE(widest, 2 * PixelBuffer::max_width);
    EXPECT_EQ(widest % 4, 0);
    // Wider than any pitch an int holds: the widest buffer's pitch, never a wrapped value.
    EXPECT_EQ(PixelBuffer::pitch_for(INT_MAX), widest);
    EXPECT_EQ(PixelBuffer::pitch_for(PixelBuffer::max_width + 1), widest);
}
