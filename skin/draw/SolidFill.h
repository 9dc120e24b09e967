// Fills runs with one 565 value.
#pragma once

#include "skin/draw/RowOperation.h"

namespace skin {

class SolidFill final : public RowOperation {
public:
    explicit SolidFill(Pixel value)
        : m_value(value)
    {
    }
    void apply(Pixel* row, int count) const override;

private:
    Pixel m_value;
};

} // namespace skin
