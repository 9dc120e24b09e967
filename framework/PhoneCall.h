// The call record of the phone library's PhoneMakeCall ("phone.dll", libphone.so on
// Linux): the record's size field says 28, the size the phone library knows it by;
// flags 1 dials at once. The texts are UTF-16 with a terminating zero.
#pragma once

#include <cstdint>

namespace framework {

struct PhoneMakeCallInfo {
    uint32_t size { 28 };
    uint32_t flags { 1 };
    const char16_t* destination_address { nullptr };
    const char16_t* application_name { nullptr };
    const char16_t* called_party { nullptr };
    const char16_t* comment { nullptr };
};

constexpr uint32_t phone_make_call_info_size = 28;
constexpr uint32_t phone_dial_at_once = 1;

using PhoneMakeCallFunction = int32_t (*)(PhoneMakeCallInfo* info);

} // namespace framework
