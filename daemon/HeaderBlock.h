// The response header block as the HTTP client hands it over: lines each ended by a
// NUL character, the status line first.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ombrelo {

struct HeaderLine {
    std::u16string name; // lower case
    std::u16string value;
};

struct HeaderBlock {
    // The status line holds a code followed by a space, and the code begins with "2".
    bool succeeded { false };
    std::u16string status_code;
    std::vector<HeaderLine> headers;
};

HeaderBlock parse_header_block(std::u16string_view block);

struct ContentRange {
    int32_t first { 0 };
    int32_t last { 0 };
    int32_t total { 0 };
};

// "bytes FIRST-LAST/TOTAL" with FIRST <= LAST < TOTAL, each within 31 bits; none when
// the value does not read so.
std::optional<ContentRange> parse_content_range(std::u16string_view value);

} // namespace ombrelo
