// Pictures of a skin: 16-bit Windows bitmaps whose pixels are used as 565 values.
#pragma once

#include "skin/draw/Picture.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace skin {

// The picture of the bitmap file, or null when the file is missing, not a 16-bit
// bitmap or shorter than its headers say.
SharedPicture load_565(std::u16string_view path);

// The same for a file image already in memory; the path only names it in the log.
SharedPicture decode_565(const uint8_t* data, size_t size, std::u16string_view path);

} // namespace skin
