// The list's scrolling physics driven directly, without a skin: the list's extent is a
// fixed value at each step, as the window update would report it.
#include "skin/list/ScrollPhysics.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace skin;

namespace {

// A list 200 high somewhere in the middle of many rows: no end in sight.
constexpr ScrollExtent middle { 200, 400, true, false, false };
// A list 200 high showing row 0 of many, and one showing the last row.
constexpr ScrollExtent top_end { 200, 400, true, true, false };
constexpr ScrollExtent bottom_end { 200, 400, true, false, true };

ScrollPhysics moving(double velocity)
{
    ScrollPhysics p;
    p.release(velocity, middle);
    return p;
}

} // namespace

TEST(ScrollPhysics, FrictionGrowsWithSpeedIsFiveTimesAsStrongWhenHeldAndNeverReverses)
{
    const double dt = 0.01;
    for (double v : { 1000.0, -1000.0, 37.5 }) {
        double friction = 2 * std::abs(v) + 9;
        double toward_zero = v > 0 ? -1 : 1;
        ScrollPhysics free = moving(v);
        free.damp(dt, middle, false, false);
        EXPECT_DOUBLE_EQ(free.velocity(), v + toward_zero * friction * dt) << v;
        ScrollPhysics held = moving(v);
        held.damp(dt, middle, true, true);
        EXPECT_DOUBLE_EQ(held.velocity(), v + toward_zero * 5 * friction * dt) << v;
        // A finger on a row rather than on the list does not brake harder.
        ScrollPhysics on_row = moving(v);
        on_row.damp(dt, middle, true, false);
        EXPECT_DOUBLE_EQ(on_row.velocity(), free.velocity()) << v;
    }
    ScrollPhysics slow = moving(-5);
    slow.damp(1, middle, false, false);
    EXPECT_EQ(slow.velocity(), 0);
}

TEST(ScrollPhysics, AFlingIsLimitedTo2000AndNoneWhenPulledPastAnEnd)
{
    EXPECT_DOUBLE_EQ(moving(3000).velocity(), 2000);
    EXPECT_DOUBLE_EQ(moving(-3000).velocity(), -2000);
    EXPECT_DOUBLE_EQ(moving(1234).velocity(), 1234);

    ScrollPhysics p;
    p.set_margins(10, 6);
    p.set_offset(11); // one pixel past the top margin
    p.release(900, top_end);
    EXPECT_EQ(p.velocity(), 0);
    p.release(900, middle); // past the margin but row 0 is not there: nothing is pulled
    EXPECT_DOUBLE_EQ(p.velocity(), 900);

    // The rows end 1 pixel above the bottom margin: 200 - 400 - 6 - offset = 1.
    p.set_offset(-207);
    EXPECT_DOUBLE_EQ(p.bottom_gap(bottom_end), 1);
    p.release(-900, bottom_end);
    EXPECT_EQ(p.velocity(), 0);
}

TEST(ScrollPhysics, DraggingPastAnEndShrinksTheMoveToNothingAtHalfTheHeight)
{
    ScrollPhysics p;
    EXPECT_TRUE(p.drag(50, top_end)); // at the margin: followed in full
    EXPECT_DOUBLE_EQ(p.offset(), 50);
    p.drag(20, top_end); // 50 past: scaled by 1 - 2 x 50 / 200
    EXPECT_DOUBLE_EQ(p.offset(), 60);
    p.set_offset(100); // half the height past the top
    p.drag(30, top_end);
    EXPECT_DOUBLE_EQ(p.offset(), 100);
    p.drag(-30, top_end); // back toward the margin: followed in full
    EXPECT_DOUBLE_EQ(p.offset(), 70);

    // Past the bottom: the rows end 50 above the bottom margin.
    p.set_offset(-250);
    ASSERT_DOUBLE_EQ(p.bottom_gap(bottom_end), 50);
    p.drag(-20, bottom_end);
    EXPECT_DOUBLE_EQ(p.offset(), -260);

    // A list of height 0 ignores drags, and so does a move of nothing.
    EXPECT_FALSE(p.drag(10, { 0, 400, true, true, true }));
    EXPECT_FALSE(p.drag(0, middle));
    EXPECT_DOUBLE_EQ(p.offset(), -260);
}

TEST(ScrollPhysics, TheSpringPullsBackFromPastEitherEnd)
{
    const double dt = 0.01;
    // 9 pixels past the top while moving down: friction, then (9 + 1) x 50 x dt.
    ScrollPhysics p = moving(100);
    p.set_offset(9);
    p.damp(dt, top_end, false, false);
    EXPECT_DOUBLE_EQ(p.velocity(), 100 - 209 * dt - 10 * 50 * dt);
    // Without row 0 in the window there is no end to spring from.
    ScrollPhysics q = moving(100);
    q.set_offset(9);
    q.damp(dt, middle, false, false);
    EXPECT_DOUBLE_EQ(q.velocity(), 100 - 209 * dt);
    // The rows end 9 above the bottom margin while moving up.
    ScrollPhysics r = moving(-100);
    r.set_margins(0, 6);
    r.set_offset(-215);
    r.damp(dt, bottom_end, false, false);
    EXPECT_DOUBLE_EQ(r.velocity(), -100 + 209 * dt + 10 * 50 * dt);
    // The spring only slows: it never turns the rows around.
    ScrollPhysics s = moving(10);
    s.set_offset(150);
    s.damp(dt, top_end, false, false);
    EXPECT_EQ(s.velocity(), 0);
}

TEST(ScrollPhysics, AtRestTheRowsSettleOnAMarginAt400PixelsPerSecond)
{
    ScrollPhysics p;
    p.set_margins(10, 6);
    p.set_offset(30);
    p.damp(0.01, top_end, false, false);
    EXPECT_DOUBLE_EQ(p.offset(), 26);
    p.damp(0.01, top_end, true, false); // a finger on the list holds it
    EXPECT_DOUBLE_EQ(p.offset(), 26);
    p.damp(0.1, top_end, false, false);
    EXPECT_DOUBLE_EQ(p.offset(), 10); // exactly on the margin, not past it

    // The bottom end, the rows pulled up past it: toward H - total - Bm = -206.
    p.set_offset(-220);
    p.damp(0.01, bottom_end, false, false);
    EXPECT_DOUBLE_EQ(p.offset(), -216);
    p.damp(1, bottom_end, false, false);
    EXPECT_DOUBLE_EQ(p.offset(), -206);

    // In the middle of the rows nothing settles; a moving list does not settle either.
    p.set_offset(-50);
    p.damp(1, middle, false, false);
    EXPECT_DOUBLE_EQ(p.offset(), -50);
}

TEST(ScrollPhysics, WithoutRowsTheOffsetRestsOnTheTopMargin)
{
    ScrollPhysics p = moving(500);
    p.set_margins(12, 0);
    p.set_offset(-80);
    p.damp(0.04, {}, false, false);
    EXPECT_DOUBLE_EQ(p.offset(), 12);
    EXPECT_EQ(p.velocity(), 0);
}

TEST(ScrollPhysics, AFlingPastTheTopSpringsBackAndComesToRestExactlyOnTheMargin)
{
    // Row 0 is in the window and the rows are longer than the list; 60 frames a second.
    ScrollPhysics p;
    p.set_margins(10, 0);
    p.set_offset(10);
    p.release(1500, top_end);
    double furthest = 0;
    int frames = 0;
    for (; frames < 600 && (p.velocity() != 0 || p.offset() != 10); ++frames) {
        p.advance(1 / 60.0);
        p.damp(1 / 60.0, top_end, false, false);
        furthest = std::max(furthest, p.offset());
        ASSERT_GE(p.offset(), 10) << frames; // it never overshoots back past the margin
    }
    EXPECT_GT(furthest, 20);
    EXPECT_LT(furthest, 200); // the spring stops it within the list's height
    EXPECT_LT(frames, 180);   // at rest within three seconds
    EXPECT_EQ(p.offset(), 10);
    EXPECT_EQ(p.velocity(), 0);
}
