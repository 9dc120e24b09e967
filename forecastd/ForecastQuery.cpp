#include "forecastd/ForecastQuery.h"

namespace forecastd {

namespace {

bool plain_query_character(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '=' || c == '&'
        || c == '.' || c == '_' || c == '-';
}

bool eight_digits(std::string_view text)
{
    if (text.size() != 8)
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

} // namespace

ForecastQuery parse_forecast_query(std::string_view target)
{
    ForecastQuery query;
    if (target.empty() || target.size() > max_target_length)
        return query;
    for (char c : target)
        if (c <= 0x20 || c >= 0x7F)
            return query;
    size_t mark = target.find('?');
    if (target.substr(0, mark) != "/forecastrss") {
        query.status = 404;
        return query;
    }
    if (mark == std::string_view::npos)
        return query;
    std::string_view rest = target.substr(mark + 1);
    for (char c : rest)
        if (!plain_query_character(c))
            return query;

    bool have_code = false, have_unit = false;
    while (true) {
        size_t amp = rest.find('&');
        std::string_view pair = rest.substr(0, amp);
        size_t equals = pair.find('=');
        if (equals == 0 || equals == std::string_view::npos)
            return query;
        std::string_view key = pair.substr(0, equals);
        std::string_view value = pair.substr(equals + 1);
        if (key == "p") {
            if (have_code || !eight_digits(value))
                return query;
            query.code = std::string(value);
            have_code = true;
        } else if (key == "u") {
            if (have_unit || value.size() != 1)
                return query;
            char unit = char(value[0] | 0x20);
            if (unit != 'c' && unit != 'f')
                return query;
            query.fahrenheit = unit == 'f';
            have_unit = true;
        }
        // Other keys (a cache buster, say) are let through unread.
        if (amp == std::string_view::npos)
            break;
        rest.remove_prefix(amp + 1);
    }
    if (!have_code)
        return query;
    query.status = 200;
    return query;
}

} // namespace forecastd
