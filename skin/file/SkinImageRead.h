// Little-endian reads from a skin file image at any alignment.
#pragma once

#include <cstddef>
#include <cstdint>

namespace skin {

inline uint16_t read_u16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
inline int16_t read_i16(const uint8_t* p) { return int16_t(read_u16(p)); }
inline uint32_t read_u32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline int32_t read_i32(const uint8_t* p) { return int32_t(read_u32(p)); }

} // namespace skin
