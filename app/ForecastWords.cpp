#include "app/ForecastWords.h"

#include "runtime/TextConvert.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace weather {

namespace {

constexpr int64_t units_per_day = 24LL * 3600 * 10'000'000;

} // namespace

std::u16string condition_key(int32_t code) { return u"Condition_" + runtime::int_to_text(code); }

std::u16string condition_text(const skin::LanguageTable& language, int32_t code)
{
    if (code == no_condition)
        return {};
    const std::u16string* text = language.find(condition_key(code));
    return text ? *text : std::u16string();
}

std::u16string fill_places(std::u16string_view text, std::initializer_list<std::u16string_view> values)
{
    std::vector<std::u16string_view> given(values);
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 1 < text.size() && text[i + 1] >= u'1' && text[i + 1] <= u'9') {
            size_t place = size_t(text[i + 1] - u'1');
            if (place < given.size()) {
                out += given[place];
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

int64_t day_number(int64_t date) { return date >= 0 ? date / units_per_day : (date - units_per_day + 1) / units_per_day; }

const DayForecast* day_of(const CityRecord& record, int64_t day)
{
    for (const DayForecast& d : record.days)
        if (d.date != 0 && day_number(d.date) == day)
            return &d;
    return nullptr;
}

const DayForecast* today_of(const CityRecord& record, int64_t device_day)
{
    if (const DayForecast* day = day_of(record, device_day))
        return day;
    if (!record.days.empty() && record.days.front().date != 0 && day_number(record.days.front().date) == device_day + 1)
        return &record.days.front();
    return nullptr;
}

int32_t temperature_value(int32_t celsius, bool in_celsius)
{
    if (in_celsius)
        return celsius;
    double fahrenheit = std::trunc(double(celsius) * 1.8 + 32.0);
    return int32_t(std::clamp(fahrenheit, double(std::numeric_limits<int32_t>::min()),
        double(std::numeric_limits<int32_t>::max())));
}

} // namespace weather
