// The forecast service's answer is UTF-8. It is decoded one character at a time into
// 16-bit units, stopping at the first invalid byte: what was decoded before stays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ombrelo {

// Sequences of up to 6 bytes are read; a value above 0xFFFF keeps its low 16 bits.
std::u16string decode_feed_text(const uint8_t* bytes, size_t size);

} // namespace ombrelo
