#include "skin/draw/Drawing.h"
#include "skin/draw/NodeCache.h"
#include "skin/draw/SnapshotAnimation.h"
#include "skin/draw/SolidFill.h"

#include <gtest/gtest.h>

using namespace skin;

namespace {

RenderSurface solid(int w, int h, Pixel p)
{
    RenderSurface s(w, h);
    fill(s, { 0, 0 }, { w, h }, SolidFill(p));
    return s;
}

} // namespace

TEST(SnapshotAnimation, OpensInAFifthOfASecondAndReleasesTheSnapshots)
{
    int64_t before = RenderSurface::pixel_count();
    SnapshotAnimation a(TransitionKind::right);
    EXPECT_FALSE(a.running());
    a.start(+1, solid(10, 10, 1), solid(10, 10, 2));
    EXPECT_EQ(RenderSurface::pixel_count(), before + 200);
    EXPECT_TRUE(a.running());
    EXPECT_EQ(a.progress(), 0.0);
    a.life_cycle(0.1);
    EXPECT_NEAR(a.progress(), 0.5, 1e-9);
    RenderSurface target(10, 10);
    a.draw(target, { 0, 0 }, { 10, 10 });
    EXPECT_EQ(target.buffer().at(4, 0), 1);
    EXPECT_EQ(target.buffer().at(5, 0), 2);
    a.life_cycle(0.1);
    EXPECT_FALSE(a.running());
    EXPECT_EQ(a.progress(), 1.0);
    EXPECT_EQ(RenderSurface::pixel_count(), before + 100); // the target alone

    // Closing runs back from 1; "pop" takes twice as long.
    SnapshotAnimation pop(TransitionKind::pop);
    pop.start(-1, solid(4, 4, 1), solid(4, 4, 2));
    EXPECT_EQ(pop.progress(), 1.0);
    pop.life_cycle(0.2);
    EXPECT_TRUE(pop.running());
    EXPECT_NEAR(pop.progress(), 0.5, 1e-9);
    pop.life_cycle(0.25);
    EXPECT_FALSE(pop.running());
    EXPECT_EQ(pop.progress(), 0.0);
    RenderSurface untouched = solid(4, 4, 9);
    pop.draw(untouched, { 0, 0 }, { 4, 4 }); // an ended animation draws nothing
    EXPECT_EQ(untouched.buffer().at(1, 1), 9);
}

TEST(NodeCache, RedrawsOnlyWhenDirtyAndHonoursTheCacheBlender)
{
    int draws = 0;
    auto content = [&](RenderSurface& s) {
        ++draws;
        fill(s, { 0, 0 }, { 2, 2 }, SolidFill(0x0000)); // translucent black in one corner
        fill(s, { 2, 2 }, { 2, 2 }, SolidFill(0x0020)); // opaque black in another
    };
    NodeCache cache;
    RenderSurface target = solid(8, 8, 0xFFFF);
    cache.draw(target, { 2, 2 }, { 4, 4 }, false, content); // a fresh cache draws even when clean
    EXPECT_EQ(draws, 1);
    // The opaque copy copies the key as it is.
    EXPECT_EQ(target.buffer().at(5, 2), transparent_key);
    EXPECT_EQ(target.buffer().at(2, 2), 0x0000);
    cache.draw(target, { 2, 2 }, { 4, 4 }, false, content);
    EXPECT_EQ(draws, 1);
    cache.draw(target, { 2, 2 }, { 4, 4 }, true, content);
    EXPECT_EQ(draws, 2);
    cache.draw(target, { 2, 2 }, { 5, 4 }, false, content); // resized
    EXPECT_EQ(draws, 3);
    EXPECT_EQ(cache.surface().width(), 5);

    // A level blender keeps the key transparent and blends translucent pixels.
    cache.set_alpha(100);
    RenderSurface t2 = solid(8, 8, 0xFFFF);
    cache.draw(t2, { 0, 0 }, { 5, 4 }, false, content);
    EXPECT_EQ(t2.buffer().at(4, 0), 0xFFFF);
    EXPECT_EQ(t2.buffer().at(0, 0), 0x39E7);
    EXPECT_EQ(t2.buffer().at(3, 3), 0x0020);
    NodeCache copy = cache;
    EXPECT_EQ(copy.alpha(), 100);
    EXPECT_EQ(copy.surface().width(), 0);
}
