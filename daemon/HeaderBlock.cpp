#include "daemon/HeaderBlock.h"

#include "platform/CaseFolding.h"

#include <limits>

namespace ombrelo {

namespace {

std::vector<std::u16string_view> split_lines(std::u16string_view block)
{
    std::vector<std::u16string_view> lines;
    while (!block.empty()) {
        size_t end = block.find(u'\0');
        if (end == std::u16string_view::npos)
            end = block.size();
        lines.push_back(block.substr(0, end));
        block.remove_prefix(std::min(block.size(), end + 1));
    }
    return lines;
}

// Decimal digits of a value that fits 31 bits.
bool read_number(std::u16string_view& text, int32_t& value)
{
    size_t i = 0;
    int64_t v = 0;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
        v = v * 10 + (text[i++] - u'0');
        if (v > std::numeric_limits<int32_t>::max())
            return false;
    }
    if (i == 0)
        return false;
    value = int32_t(v);
    text.remove_prefix(i);
    return true;
}

bool expect(std::u16string_view& text, char16_t c)
{
    if (text.empty() || text.front() != c)
        return false;
    text.remove_prefix(1);
    return true;
}

} // namespace

HeaderBlock parse_header_block(std::u16string_view block)
{
    HeaderBlock result;
    std::vector<std::u16string_view> lines = split_lines(block);
    if (lines.empty())
        return result;
    std::u16string_view status = lines.front();
    size_t first_space = status.find(u' ');
    if (first_space != std::u16string_view::npos) {
        size_t second_space = status.find(u' ', first_space + 1);
        if (second_space != std::u16string_view::npos) {
            result.status_code = status.substr(first_space + 1, second_space - first_space - 1);
            result.succeeded = !result.status_code.empty() && result.status_code.front() == u'2';
        }
    }
    for (size_t i = 1; i < lines.size(); ++i) {
        std::u16string_view line = lines[i];
        size_t colon = line.find(u':');
        if (colon == std::u16string_view::npos || colon + 1 >= line.size() || line[colon + 1] != u' ')
            continue;
        result.headers.push_back(HeaderLine { platform::to_lower(line.substr(0, colon)), std::u16string(line.substr(colon + 2)) });
    }
    return result;
}

std::optional<ContentRange> parse_content_range(std::u16string_view value)
{
    constexpr std::u16string_view unit = u"bytes ";
    if (value.substr(0, unit.size()) != unit)
        return std::nullopt;
    value.remove_prefix(unit.size());
    ContentRange range;
    if (!read_number(value, range.first) || !expect(value, u'-') || !read_number(value, range.last)
        || !expect(value, u'/') || !read_number(value, range.total) || !value.empty())
        return std::nullopt;
    // A range that ends before it starts or past the whole is no range; a valid one
    // keeps last - first + 1 within 31 bits.
    if (range.first > range.last || range.last >= range.total)
        return std::nullopt;
    return range;
}

} // namespace ombrelo
