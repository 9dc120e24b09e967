// One HTTP answer of forecastd.
#pragma once

#include <string>

namespace forecastd {

struct Response {
    int status { 200 };
    std::string content_type { "text/plain; charset=UTF-8" };
    std::string body;
};

} // namespace forecastd
