// A download of one city's feed: an HTTP request that remembers the city code.
#pragma once

#include "daemon/HTTPRequest.h"

#include <string>
#include <string_view>

namespace ombrelo {

class CityRequest final : public HTTPRequest {
public:
    CityRequest(std::u16string_view city_code, std::u16string_view url, HTTPRequestListener& listener)
        : HTTPRequest(url, u"GET", listener, u"UserAgent")
        , m_city_code(city_code)
    {
    }

    const std::u16string& city_code() const { return m_city_code; }

private:
    std::u16string m_city_code;
};

} // namespace ombrelo
