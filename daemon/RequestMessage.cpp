#include "daemon/RequestMessage.h"

namespace ombrelo {

RequestMessage encode_request(std::u16string_view code)
{
    RequestMessage message {};
    for (size_t i = 0; i < message.size() && i < code.size(); ++i)
        message[i] = uint8_t(code[i] & 0xFF);
    return message;
}

std::u16string decode_request(const RequestMessage& message)
{
    std::u16string code;
    for (size_t i = 0; i < 8; ++i)
        code += char16_t(message[i]);
    return code;
}

} // namespace ombrelo
