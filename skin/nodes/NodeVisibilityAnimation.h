// The visibility animation of a node: a snapshot transition of one kind that draws in
// place of the node while it runs.
#pragma once

#include "skin/draw/SnapshotAnimation.h"
#include "skin/nodes/VisibilityAnimation.h"

namespace skin {

class NodeVisibilityAnimation final : public VisibilityAnimation {
public:
    explicit NodeVisibilityAnimation(TransitionKind kind)
        : m_animation(kind)
    {
    }
    const SnapshotAnimation& animation() const { return m_animation; }

    void start(int direction, RenderSurface&& background, RenderSurface&& form) override;
    bool running() const override { return m_animation.running(); }
    int direction() const override { return m_animation.direction(); }
    void reverse() override { m_animation.reverse(); }
    void stop() override { m_animation.stop(); }
    void life_cycle(SkinNode& node, double elapsed) override;
    void draw(SkinNode& node, RenderSurface& surface, Point origin) override;

private:
    SnapshotAnimation m_animation;
};

// The node drawn on a fresh surface of its size (the key where it draws nothing): the
// form snapshot of an animation.
RenderSurface snapshot_node(SkinNode& node);

} // namespace skin
