// Horizontal and vertical placement of text in its box, with the skin's values.
#pragma once

namespace skin {

enum class HAlign { left = 0, center = 1, right = 2, justify = 3 };
enum class VAlign { top = 0, vcenter = 1, bottom = 2 };

} // namespace skin
