// Told when a node's extent along x or y has been placed anew.
#pragma once

namespace skin {

class SkinNode;

class LayoutObserver {
public:
    virtual ~LayoutObserver() = default;
    virtual void x_changed(SkinNode& node, int x, int width) = 0;
    virtual void y_changed(SkinNode& node, int y, int height) = 0;
};

} // namespace skin
