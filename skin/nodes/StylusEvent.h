// A stylus event in the form's coordinates.
#pragma once

#include "skin/draw/Geometry.h"

namespace skin {

struct StylusEvent {
    Point point;
    bool move { false };
    bool down { false };
    bool cancelled { false };
};

} // namespace skin
