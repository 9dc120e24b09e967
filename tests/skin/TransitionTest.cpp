#include "skin/draw/Drawing.h"
#include "skin/draw/SolidFill.h"
#include "skin/draw/Transition.h"

#include <gtest/gtest.h>

using namespace skin;

namespace {

// A surface whose pixel tells its column: value x + 1 (form) or 1000 + x (background).
RenderSurface columns_surface(int w, int h, int base)
{
    RenderSurface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            s.buffer().at(x, y) = Pixel(base + x);
    return s;
}

} // namespace

TEST(Transition, NamesAndSpeeds)
{
    EXPECT_EQ(transition_kind(u"scale"), TransitionKind::scale);
    EXPECT_EQ(transition_kind(u"pop"), TransitionKind::pop);
    EXPECT_EQ(transition_kind(u"flip"), TransitionKind::flip);
    EXPECT_EQ(transition_kind(u"top"), TransitionKind::top);
    EXPECT_FALSE(transition_kind(u"Flip").has_value());
    EXPECT_FALSE(transition_kind(u"").has_value());
    EXPECT_EQ(transition_speed(TransitionKind::pop), 0.5);
    EXPECT_EQ(transition_speed(TransitionKind::right), 1.0);
}

TEST(Transition, ScaleAndPopSizes)
{
    EXPECT_DOUBLE_EQ(transition_scale(TransitionKind::scale, 0.5), 0.25);
    EXPECT_DOUBLE_EQ(transition_scale(TransitionKind::pop, 0.0), 0.0);
    EXPECT_NEAR(transition_scale(TransitionKind::pop, 1.0), 1.0, 1e-12);
    double peak = 0;
    for (double t = 0; t <= 1.0; t += 0.01)
        peak = std::max(peak, transition_scale(TransitionKind::pop, t));
    EXPECT_GT(peak, 1.05); // it overshoots before settling

    RenderSurface background = columns_surface(100, 40, 1000), form = columns_surface(100, 40, 1);
    RenderSurface target(100, 40);
    draw_transition(TransitionKind::scale, target, { 0, 0 }, { 100, 40 }, background, form, 0.5);
    // 25 x 10 centred at (37, 15): the form's columns stepped by 4.
    EXPECT_EQ(target.buffer().at(36, 20), 1036);
    EXPECT_EQ(target.buffer().at(37, 20), 1);
    EXPECT_EQ(target.buffer().at(38, 20), 5);
    EXPECT_EQ(target.buffer().at(61, 24), 97);
    EXPECT_EQ(target.buffer().at(62, 20), 1062);
    EXPECT_EQ(target.buffer().at(40, 14), 1040);
    EXPECT_EQ(target.buffer().at(40, 25), 1040);
}

TEST(Transition, SlidesPushTheBackgroundOut)
{
    RenderSurface background = columns_surface(100, 40, 1000), form = columns_surface(100, 40, 1);
    struct Case {
        TransitionKind kind;
        Point probe;
        Pixel want;
    } cases[] = {
        { TransitionKind::right, { 0, 0 }, 1025 }, // d = 75: background at -25
        { TransitionKind::right, { 75, 0 }, 1 },
        { TransitionKind::left, { 24, 0 }, 100 },  // d = -75: the form's last column
        { TransitionKind::left, { 25, 0 }, 1000 }, // background at +25
        { TransitionKind::bottom, { 3, 29 }, 1003 },
        { TransitionKind::bottom, { 3, 30 }, 4 },
        { TransitionKind::top, { 3, 9 }, 4 },
        { TransitionKind::top, { 3, 10 }, 1003 },
    };
    for (const Case& c : cases) {
        RenderSurface target(140, 40);
        fill(target, { 0, 0 }, { 140, 40 }, SolidFill(7));
        draw_transition(c.kind, target, { 0, 0 }, { 100, 40 }, background, form, 0.25);
        EXPECT_EQ(target.buffer().at(c.probe.x, c.probe.y), c.want) << int(c.kind) << " at " << c.probe.x << "," << c.probe.y;
        EXPECT_EQ(target.buffer().at(120, 5), 7); // nothing outside the form's rectangle
        EXPECT_EQ(target.clip_depth(), 0);
    }
    EXPECT_EQ(slide_offset(TransitionKind::right, 1.0, { 100, 40 }), (Point { 0, 0 }));
    EXPECT_EQ(slide_offset(TransitionKind::top, 0.0, { 100, 40 }), (Point { 0, -40 }));
}

TEST(Transition, FlipTurnsFromTheBackgroundToTheFormWithPerspective)
{
    RenderSurface background = columns_surface(80, 60, 1000), form = columns_surface(80, 60, 1);
    auto frame = [&](double t) {
        RenderSurface target(80, 60);
        draw_transition(TransitionKind::flip, target, { 0, 0 }, { 80, 60 }, background, form, t);
        return target;
    };
    RenderSurface start = frame(0.0), end = frame(1.0);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x) {
            ASSERT_EQ(start.buffer().at(x, y), 1000 + x);
            ASSERT_EQ(end.buffer().at(x, y), 1 + x);
        }
    // Edge-on halfway: almost nothing but the black behind the card.
    RenderSurface middle = frame(0.5);
    int card = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x)
            card += middle.buffer().at(x, y) != 0;
    EXPECT_LT(card, 60 * 4);

    // Part-way turned: the card is narrower than the screen and one edge is lower.
    RenderSurface turning = frame(0.75);
    int left = 80, right = -1;
    for (int x = 0; x < 80; ++x)
        if (turning.buffer().at(x, 30) != 0) {
            left = std::min(left, x);
            right = std::max(right, x);
        }
    ASSERT_LT(left, right);
    EXPECT_GT(left + (79 - right), 8);
    auto column_height = [&](int x) {
        int n = 0;
        for (int y = 0; y < 60; ++y)
            n += turning.buffer().at(x, y) != 0;
        return n;
    };
    EXPECT_NE(column_height(left + 1), column_height(right - 1));
    EXPECT_LT(turning.buffer().at(left, 30), turning.buffer().at(right, 30)); // not mirrored
}
