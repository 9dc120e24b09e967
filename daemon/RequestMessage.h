// The one message kind of the request queue "NALO/Weather": 9 bytes, the 8-character
// city code one byte per character (the low byte of each code unit) and a 0 end mark.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace ombrelo {

constexpr std::u16string_view request_queue_name = u"NALO/Weather";
constexpr size_t request_message_size = 9;

using RequestMessage = std::array<uint8_t, request_message_size>;

// From the first 9 code units of the code (the text's end mark after 8 of them).
RequestMessage encode_request(std::u16string_view code);
// Bytes 0 to 7 widened back to code units; byte 8 is ignored.
std::u16string decode_request(const RequestMessage& message);

} // namespace ombrelo
