#include "app/DetailText.h"
#include "app/TemperatureText.h"

#include "platform/Clock.h"
#include "platform/LocaleTimeFormat.h"
#include "platform/TextEncoding.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace weather {

namespace {

constexpr std::u16string_view none = u"–";

std::u16string decimal(double value, int digits)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", digits, value);
    return platform::widen(text);
}

std::u16string with_unit(std::u16string number, const Translate& translate, std::u16string_view unit)
{
    return number + u"\u00A0" + translate(unit);
}

std::u16string clock(std::optional<int32_t> minutes)
{
    if (!minutes)
        return std::u16string(none);
    platform::SystemTime time {};
    time.year = 2000;
    time.month = 1;
    time.day = 1;
    time.hour = *minutes / 60;
    time.minute = *minutes % 60;
    return platform::LocaleTimeFormat::current().time_without_seconds(time);
}

} // namespace

std::u16string wind_direction_text(int32_t degrees, const Translate& translate)
{
    // Where the wind blows to: from the north it blows south.
    static constexpr std::u16string_view arrows[] = { u"↓", u"↙", u"←", u"↖", u"↑", u"↗", u"→", u"↘" };
    int sector = ((degrees % 360 + 360) % 360 * 2 + 45) / 90 % 8;
    std::vector<std::u16string> names;
    std::u16string compass = translate(u"Compass");
    for (size_t start = 0; start <= compass.size();) {
        size_t end = compass.find(u' ', start);
        if (end == std::u16string::npos)
            end = compass.size();
        if (end > start)
            names.emplace_back(compass.substr(start, end - start));
        start = end + 1;
    }
    std::u16string text(arrows[sector]);
    if (names.size() == 8)
        text += u"\u00A0" + names[size_t(sector)];
    return text;
}

DetailTexts detail_texts(const ombrelo::ForecastDetails& d, bool celsius, const Translate& translate)
{
    DetailTexts t;
    t.feels = d.feels ? temperature_text(*d.feels, celsius) : std::u16string(none);
    if (d.wind) {
        double speed = celsius ? *d.wind : *d.wind / 1.609344;
        t.wind = with_unit(decimal(speed, 0), translate, celsius ? u"Unit_kmh" : u"Unit_mph");
        if (d.wind_dir)
            t.wind = wind_direction_text(*d.wind_dir, translate) + u"\u00A0\u00A0" + t.wind;
    } else {
        t.wind = std::u16string(none);
    }
    t.humidity = d.humidity ? platform::widen(std::to_string(*d.humidity)) + u"%" : std::u16string(none);
    if (d.pressure)
        t.pressure = celsius ? with_unit(decimal(*d.pressure / 10.0, 0), translate, u"Unit_hPa")
                             : with_unit(decimal(*d.pressure / 10.0 * 0.0295299830714, 2), translate, u"Unit_inHg");
    else
        t.pressure = std::u16string(none);
    std::u16string rain;
    if (d.rain)
        rain = celsius ? with_unit(decimal(*d.rain / 10.0, 1), translate, u"Unit_mm")
                       : with_unit(decimal(*d.rain / 254.0, 2), translate, u"Unit_in");
    if (d.rain_chance)
        rain += (rain.empty() ? u"" : u" · ") + platform::widen(std::to_string(*d.rain_chance)) + u"%";
    t.rain = rain.empty() ? std::u16string(none) : rain;
    t.uv = d.uv ? decimal(*d.uv / 10.0, 0) : std::u16string(none);
    t.sunrise = clock(d.sunrise);
    t.sunset = clock(d.sunset);
    return t;
}

} // namespace weather
