// Told about a button's presses: a click, a change of the pressed state, and stylus
// movement while it is held.
#pragma once

#include "skin/draw/Geometry.h"

namespace skin {

class ButtonNode;

class ButtonListener {
public:
    virtual ~ButtonListener() = default;
    virtual void clicked(ButtonNode& button, Point point) = 0;
    virtual void press_changed(ButtonNode& button, Point point, bool cancelled) = 0;
    virtual void dragged(ButtonNode& button, Point point, Point moved_by) = 0;
};

} // namespace skin
