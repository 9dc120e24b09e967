// The form stack on small skins of plain colours: which forms show, the dimmed picture
// under a dims-below form, the transition level, show and hide animations and a show
// animation reversed by an early removal.
#include "skin/SkinTestSupport.h"

#include "framework/FormStack.h"

#include "skin/draw/Dim.h"
#include "skin/nodes/FormNode.h"
#include "skin/nodes/NodeVisibilityAnimation.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace framework;
using skin::Pixel;

namespace {

constexpr int W = 40, H = 30;

Pixel colour(uint8_t r, uint8_t g, uint8_t b) { return Pixel(skin::to_565({ r, g, b, 255 }) | skin::opaque_bit); }

class Stack : public ::testing::Test {
protected:
    void SetUp() override
    {
        skin_test::ensure_node_types();
        std::string folder = test_support::scratch_folder("form-stack");
        std::string path = skin_test::compile(folder, "forms",
            "<skin>"
            "<node name=\"Red\"><node type=\"color\" color=\"#FF0000\"/></node>"
            "<node name=\"Green\"><node type=\"color\" color=\"#00FF00\"/></node>"
            // A pop-up: a blue box in the middle, nothing around it.
            "<node name=\"Blue\" visibility_animation=\"scale\">"
            "  <node type=\"color\" color=\"#0000FF\" anchor_x=\"CENTER\" anchor_y=\"CENTER\" design_size=\"10 10\"/></node>"
            "<node name=\"Slide\" visibility_animation=\"right\"><node type=\"color\" color=\"#FFFFFF\"/></node>"
            "</skin>");
        ASSERT_TRUE(skin.load_skin(skin_test::u16(path), skin::ScreenInfo::make(W, H, 96)));
        red.build(skin, u"Red");
        green.build(skin, u"Green");
        blue.build(skin, u"Blue");
        slide.build(skin, u"Slide");
        target.recreate(W, H);
    }
    Pixel at(int x, int y) const { return target.buffer().at(x, y); }
    // Frames until nothing more changes; the count of drawn frames.
    int settle(FormStack& stack, int limit = 40)
    {
        int drawn = 0;
        for (int i = 0; i < limit; ++i) {
            stack.life_cycle(0.04);
            if (!stack.frame(target, false))
                return drawn;
            ++drawn;
        }
        return drawn;
    }

    skin::PropertiesImpl skin;
    skin::FormNode red, green, blue, slide;
    skin::RenderSurface target;
};

} // namespace

TEST_F(Stack, PushWithoutDimsHidesTheFormBelowAndRemovalShowsItAgain)
{
    FormStack stack(W, H);
    stack.push(red, false, false);
    EXPECT_TRUE(red.visible());
    EXPECT_TRUE(stack.frame(target, false));
    EXPECT_EQ(at(5, 5), colour(255, 0, 0));
    EXPECT_FALSE(stack.frame(target, false)) << "nothing changed, nothing drawn";

    stack.push(green, false, true); // no animation defined: animate changes nothing
    EXPECT_FALSE(red.visible());
    EXPECT_TRUE(green.visible());
    EXPECT_EQ(stack.top(), &green);
    EXPECT_FALSE(stack.animating());
    EXPECT_TRUE(stack.frame(target, false));
    EXPECT_EQ(at(5, 5), colour(0, 255, 0));
    EXPECT_EQ(stack.transition_level(), 256);

    EXPECT_TRUE(stack.remove(green, false));
    EXPECT_FALSE(stack.remove(green, false)) << "not on the stack any more";
    EXPECT_FALSE(green.visible());
    EXPECT_TRUE(red.visible());
    EXPECT_TRUE(stack.frame(target, false));
    EXPECT_EQ(at(5, 5), colour(255, 0, 0));
}

TEST_F(Stack, DimsBelowDrawsTheFormsUnderADimmedPictureAndTheLevelMovesBy16)
{
    FormStack stack(W, H);
    stack.push(red, false, false);
    stack.frame(target, false);
    stack.push(blue, true, false);
    EXPECT_TRUE(red.visible()) << "a dimming form keeps the form below on the screen";
    std::vector<int> levels;
    for (int i = 0; i < 10; ++i) {
        stack.life_cycle(0.04);
        stack.frame(target, false);
        levels.push_back(stack.transition_level());
    }
    EXPECT_EQ(levels, (std::vector<int> { 240, 224, 208, 192, 176, 160, 144, 128, 128, 128 }));
    EXPECT_EQ(at(1, 1), skin::Dim::dim_pixel(colour(255, 0, 0), 8)) << "half as bright at 128";
    EXPECT_EQ(at(W / 2, H / 2), colour(0, 0, 255));
    EXPECT_FALSE(stack.frame(target, false));

    // The picture below follows a change of the form under the dimming one.
    static_cast<skin::SkinNode&>(red.child(0)).mark_dirty();
    EXPECT_TRUE(stack.frame(target, false));

    // Leaving, the dimming form lets the screen brighten step by step.
    stack.remove(blue, false);
    levels.clear();
    for (int i = 0; i < 9; ++i) {
        stack.life_cycle(0.04);
        stack.frame(target, false);
        levels.push_back(stack.transition_level());
        if (i == 0) {
            EXPECT_EQ(at(1, 1), skin::Dim::dim_pixel(colour(255, 0, 0), 9)) << "the whole frame at 144";
        }
    }
    EXPECT_EQ(levels, (std::vector<int> { 144, 160, 176, 192, 208, 224, 240, 256, 256 }));
    EXPECT_EQ(at(1, 1), colour(255, 0, 0));
}

TEST_F(Stack, RemovingALowerFormTakesItOutAtOnce)
{
    FormStack stack(W, H);
    stack.push(red, false, false);
    stack.push(green, false, false);
    stack.push(blue, true, false);
    EXPECT_FALSE(red.visible());
    EXPECT_TRUE(green.visible());
    settle(stack);
    EXPECT_TRUE(stack.remove(green, true));
    EXPECT_FALSE(green.visible());
    EXPECT_TRUE(stack.closing().empty()) << "only the top form leaves with an animation";
    EXPECT_EQ(stack.top(), &blue);
    EXPECT_TRUE(red.visible()) << "now directly under the dimming form";
    stack.frame(target, true);
    EXPECT_EQ(at(1, 1), skin::Dim::dim_pixel(colour(255, 0, 0), 8));
    ASSERT_EQ(stack.entries().size(), 2u);
    EXPECT_EQ(stack.entries()[0].form, &red);
}

TEST_F(Stack, ShowAndHideAnimationsDrawTheFrameUntilTheyEnd)
{
    FormStack stack(W, H);
    stack.push(red, false, false);
    settle(stack);
    stack.push(blue, true, true);
    ASSERT_TRUE(blue.visibility_animation());
    EXPECT_TRUE(stack.animating());
    EXPECT_EQ(blue.visibility_animation()->direction(), 1);
    int frames = 0;
    while (stack.animating() && frames < 50) {
        stack.life_cycle(0.04);
        if (stack.animating()) {
            EXPECT_EQ(stack.transition_level(), 256) << "the level waits for the animation";
        }
        EXPECT_TRUE(stack.frame(target, false));
        ++frames;
    }
    EXPECT_EQ(frames, 5) << "0.2 s at 0.04 s a frame";

    settle(stack);
    EXPECT_TRUE(stack.remove(blue, true));
    EXPECT_EQ(stack.closing().size(), 1u);
    EXPECT_TRUE(blue.visible()) << "it draws its hide animation";
    EXPECT_EQ(blue.visibility_animation()->direction(), -1);
    frames = 0;
    while (stack.animating() && frames < 50) {
        stack.life_cycle(0.04);
        stack.frame(target, false);
        ++frames;
    }
    EXPECT_EQ(frames, 5) << "as long as it took to open";
    EXPECT_FALSE(blue.visible());
    EXPECT_TRUE(stack.closing().empty());
}

TEST_F(Stack, AnEarlyRemovalReversesTheShowAnimationFromWhereItStands)
{
    FormStack stack(W, H);
    stack.push(red, false, false);
    settle(stack);
    stack.push(slide, false, true);
    auto* animation = dynamic_cast<skin::NodeVisibilityAnimation*>(slide.visibility_animation());
    ASSERT_TRUE(animation);
    stack.life_cycle(0.04);
    stack.frame(target, false);
    stack.life_cycle(0.04);
    stack.frame(target, false);
    EXPECT_NEAR(animation->animation().progress(), 0.4, 1e-9);
    // The slide covers the red form from the right: the left edge still shows red.
    EXPECT_EQ(at(0, 5), colour(255, 0, 0));
    EXPECT_EQ(at(W - 1, 5), colour(255, 255, 255));

    EXPECT_TRUE(stack.remove(slide, true));
    EXPECT_TRUE(red.visible());
    EXPECT_EQ(animation->direction(), -1) << "the same animation turned round, not a new one";
    EXPECT_NEAR(animation->animation().progress(), 0.4, 1e-9);
    int frames = 0;
    while (stack.animating() && frames < 50) {
        stack.life_cycle(0.04);
        stack.frame(target, false);
        ++frames;
    }
    EXPECT_EQ(frames, 2) << "back in the two frames it took";
    EXPECT_FALSE(slide.visible());
    settle(stack);
    EXPECT_EQ(at(W - 1, 5), colour(255, 0, 0));
}

TEST_F(Stack, ARemovalWithoutAnimateStopsARunningShowAnimation)
{
    FormStack stack(W, H);
    stack.push(red, false, false);
    stack.push(slide, false, true);
    stack.life_cycle(0.04);
    EXPECT_TRUE(stack.remove(slide, false));
    EXPECT_FALSE(slide.visibility_animation()->running());
    EXPECT_FALSE(stack.animating());
    EXPECT_FALSE(slide.visible());
    // Pushed again without animate, it shows at once and whole.
    stack.push(slide, false, false);
    EXPECT_FALSE(stack.animating());
    stack.frame(target, true);
    EXPECT_EQ(at(0, 5), colour(255, 255, 255));
}

TEST_F(Stack, ANewScreenSizeLaysEveryFormOut)
{
    FormStack stack(W, H);
    stack.push(red, false, false);
    stack.push(blue, true, false);
    stack.frame(target, false);
    EXPECT_EQ(red.size(), (skin::Point { W, H }));
    stack.set_screen(30, 40);
    EXPECT_EQ(red.size(), (skin::Point { 30, 40 }));
    EXPECT_EQ(blue.child(0).position(), (skin::Point { 10, 15 }));
}
