// An in-place operation on a run of target pixels, used by fill for solid fills and dims.
#pragma once

#include "skin/draw/Geometry.h"

namespace skin {

class RowOperation {
public:
    virtual ~RowOperation() = default;
    virtual void apply(Pixel* row, int count) const = 0;
};

} // namespace skin
