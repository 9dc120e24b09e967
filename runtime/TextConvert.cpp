#include "runtime/TextConvert.h"

#include "platform/TextEncoding.h"

#include <cmath>
#include <cstdio>

namespace runtime {

namespace {

bool is_digit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Skips white space and reads the sign; false when nothing is left after either.
bool read_sign(std::u16string_view text, size_t& i, bool& negative)
{
    while (i < text.size() && is_white_space(text[i]))
        ++i;
    if (i == text.size())
        return false;
    negative = text[i] == u'-';
    if (text[i] == u'+' || text[i] == u'-') {
        ++i;
        if (i == text.size())
            return false;
    }
    return true;
}

} // namespace

bool is_white_space(char16_t c)
{
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

bool text_to_int(std::u16string_view text, int32_t& value)
{
    size_t position = 0;
    return read_int(text, position, value);
}

bool read_int(std::u16string_view text, size_t& position, int32_t& value)
{
    size_t i = position;
    bool negative = false;
    if (!read_sign(text, i, negative))
        return false;
    uint32_t result = 0;
    size_t first = i;
    for (; i < text.size() && is_digit(text[i]); ++i)
        result = result * 10u + uint32_t(text[i] - u'0');
    if (i == first)
        return false;
    value = int32_t(negative ? 0u - result : result);
    position = i;
    return true;
}

bool text_to_double(std::u16string_view text, double& value)
{
    size_t i = 0;
    bool negative = false;
    if (!read_sign(text, i, negative))
        return false;
    double result = 0;
    bool any_digit = false;
    for (; i < text.size() && is_digit(text[i]); ++i, any_digit = true)
        result = result * 10 + (text[i] - u'0');
    if (i < text.size() && text[i] == u'.') {
        double weight = 0.1;
        for (++i; i < text.size() && is_digit(text[i]); ++i, any_digit = true) {
            result += (text[i] - u'0') * weight;
            weight *= 0.1;
        }
    }
    if (!any_digit)
        return false;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        int32_t exponent = 0;
        if (!text_to_int(text.substr(i + 1), exponent))
            return false;
        result *= std::pow(10.0, double(exponent));
    }
    value = negative ? -result : result;
    return true;
}

std::u16string int_to_text(int32_t value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d", value);
    return platform::widen(buffer);
}

std::u16string double_to_text(double value)
{
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%f", value);
    return platform::widen(buffer);
}

} // namespace runtime
