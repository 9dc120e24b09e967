#include "daemon/ForecastCache.h"
#include "daemon/DateTimeText.h"
#include "daemon/WeatherSettings.h"

#include "runtime/FileStream.h"
#include "runtime/Log.h"
#include "runtime/Paths.h"
#include "runtime/Registry.h"
#include "runtime/TextConvert.h"
#include "runtime/XmlDocument.h"

#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"

#include <algorithm>
#include <limits>
#include <string>
#include <unistd.h>

namespace ombrelo {

std::u16string cache_file_path(std::u16string_view city_code)
{
    return u"%app_path%//downloads//_" + std::u16string(city_code) + u".xml";
}

std::u16string status_file_path(std::u16string_view city_code)
{
    return u"%app_path%//downloads//_" + std::u16string(city_code) + u".status";
}

std::u16string temperature_text(int32_t celsius, bool in_celsius)
{
    if (celsius == no_temperature)
        return {};
    // Truncated toward zero; a feed's absurd temperature saturates instead of overflowing.
    double fahrenheit = std::clamp(double(celsius) * 1.8 + 32.0, double(std::numeric_limits<int32_t>::min()),
        double(std::numeric_limits<int32_t>::max()));
    int32_t value = in_celsius ? celsius : int32_t(fahrenheit);
    std::u16string text;
    if (value > 0)
        text += u'+';
    text += runtime::int_to_text(value);
    text += u'\u00B0';
    return text;
}

void save_to_xml(const ForecastRecord& record)
{
    runtime::XmlDocument document = runtime::XmlDocument::create();
    using runtime::append_element;
    using runtime::set_attribute;
    runtime::XmlNode main = append_element(document.document(), u"Main");
    runtime::XmlNode create = append_element(main, u"Create");
    set_attribute(create, u"date", std::u16string_view(date_time_text(record.date)));
    set_attribute(create, u"rdate", std::u16string_view(record.rdate));
    if (record.sample)
        set_attribute(create, u"sample", std::u16string_view(u"1"));
    runtime::XmlNode current = append_element(main, u"Current");
    set_attribute(current, u"city", std::u16string_view(record.city));
    set_attribute(current, u"city_code", std::u16string_view(record.city_code));
    set_attribute(current, u"temp", record.temp);
    set_attribute(current, u"code", record.code);
    runtime::XmlNode weathers = append_element(current, u"Weathers");
    for (const DayForecast& day : record.days) {
        runtime::XmlNode weather = append_element(weathers, u"Weather");
        set_attribute(weather, u"date", std::u16string_view(date_time_text(day.date)));
        set_attribute(weather, u"code", day.code);
        set_attribute(weather, u"high", day.high);
        set_attribute(weather, u"low", day.low);
    }
    // The details and hours come after what the older file holds, only where there are
    // some: a reader of the older file finds its elements where they were.
    if (!record.details.empty()) {
        runtime::XmlNode details = append_element(main, u"Details");
        for (const DetailField& field : detail_fields)
            if (std::optional<int32_t> value = record.details.*field.member)
                set_attribute(details, field.name, *value);
    }
    if (!record.hours.empty()) {
        runtime::XmlNode hours = append_element(main, u"Hours");
        for (size_t i = 0; i < record.hours.size() && i < max_hours; ++i) {
            const HourForecast& hour = record.hours[i];
            runtime::XmlNode element = append_element(hours, u"Hour");
            set_attribute(element, u"date", std::u16string_view(date_time_text(hour.date)));
            set_attribute(element, u"code", hour.code);
            set_attribute(element, u"temp", hour.temp);
            if (hour.rain_chance)
                set_attribute(element, u"rain_chance", *hour.rain_chance);
        }
    }
    // Written beside the old file and renamed over it: a reader never sees half a file.
    document.save(cache_file_path(record.city_code));
}

void store_forecast(const ForecastRecord& record)
{
    std::u16string top = read_top_city();
    save_to_xml(record);
    if (top.empty() || top != record.city_code)
        return;
    bool celsius = true;
    runtime::read_flag(weather_key, u"Degree", celsius);
    runtime::write_number(weather_key, u"TopCode", uint32_t(record.code));
    runtime::write_string(weather_key, u"TopTemp", temperature_text(record.temp, celsius));
}

} // namespace ombrelo

namespace ombrelo {

void save_status(std::u16string_view city_code, std::string_view status)
{
    if (city_code.empty())
        return;
    // Written beside the old file and renamed over it: a reader never sees half a line.
    std::u16string target = runtime::expand_path(status_file_path(city_code));
    std::u16string temporary = target + u".tmp" + platform::widen(std::to_string(getpid()));
    std::string line = std::string(status) + "\n";
    bool saved = false;
    {
        runtime::FileStream out(temporary, runtime::FileStream::Mode::write);
        saved = out.is_open() && out.write(line.data(), line.size());
    }
    if (saved)
        saved = platform::rename_file(temporary, target);
    if (!saved) {
        platform::delete_file(temporary);
        runtime::get_log() << u"save_status failed for " << city_code << u"\n";
    }
}

} // namespace ombrelo
