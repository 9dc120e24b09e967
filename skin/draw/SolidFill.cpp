#include "skin/draw/SolidFill.h"

#include <algorithm>

namespace skin {

void SolidFill::apply(Pixel* row, int count) const
{
    if (count > 0)
        std::fill_n(row, count, m_value);
}

} // namespace skin
