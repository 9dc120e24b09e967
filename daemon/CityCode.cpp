#include "daemon/CityCode.h"

namespace ombrelo {

bool is_valid_city_code(std::u16string_view code)
{
    if (code.size() != city_code_length)
        return false;
    for (char16_t c : code)
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')))
            return false;
    return true;
}

} // namespace ombrelo
