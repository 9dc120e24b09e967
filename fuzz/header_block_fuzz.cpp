// Any response header block the HTTP client can hand over (each byte widened to one
// code unit, lines ended by NUL) parses without reading outside it; every header value
// is read as a content range, and a range read is one the engine can count with.
#include "daemon/HeaderBlock.h"

#include "platform/TextEncoding.h"

#include <cstdlib>
#include <string_view>

using namespace ombrelo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::u16string block = platform::widen(std::string_view(reinterpret_cast<const char*>(data), size));
    HeaderBlock parsed = parse_header_block(block);
    if (parsed.succeeded && (parsed.status_code.empty() || parsed.status_code.front() != u'2'))
        std::abort();
    for (const HeaderLine& header : parsed.headers) {
        for (char16_t c : header.name)
            if (c >= u'A' && c <= u'Z')
                std::abort(); // names are lower case
        if (std::optional<ContentRange> range = parse_content_range(header.value)) {
            // The engine's content length of a range it takes, and its received count.
            volatile int32_t length = range->last - range->first + 1;
            if (length <= 0 || range->first < 0 || range->total <= range->last)
                std::abort();
        }
    }
    return 0;
}
