#include "daemon/YahooFeed.h"
#include "daemon/DateTimeText.h"
#include "daemon/FeedText.h"

#include "runtime/Log.h"
#include "runtime/XmlDocument.h"

#include "platform/TextEncoding.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace ombrelo {

using runtime::XmlNode;

namespace {

// The XML declaration is dropped: the text is UTF-16 by now, whatever it declares.
std::u16string_view without_declaration(std::u16string_view text)
{
    if (text.size() >= 5 && text.substr(0, 2) == u"<?") {
        size_t end = text.find(u"?>");
        if (end != std::u16string_view::npos)
            return text.substr(end + 2);
    }
    return text;
}

std::string ascii(std::u16string_view text, size_t limit)
{
    std::string out;
    for (char16_t c : text.substr(0, limit)) {
        if (c >= 0x80)
            return {};
        out += char(c);
    }
    return out;
}

std::optional<int32_t> integer(XmlNode node, const char16_t* name)
{
    int32_t value;
    if (node && runtime::get_attribute(node, name, value))
        return value;
    return std::nullopt;
}

std::optional<std::u16string> text(XmlNode node, const char16_t* name)
{
    std::u16string value;
    if (node && runtime::get_attribute(node, name, value))
        return value;
    return std::nullopt;
}

// A whole number of the feed's decimal, for a speed.
std::optional<int32_t> rounded(XmlNode node, const char16_t* name)
{
    std::optional<std::u16string> value = text(node, name);
    std::optional<int32_t> tenths = value ? read_tenths(*value) : std::nullopt;
    if (!tenths)
        return std::nullopt;
    return (*tenths + (*tenths >= 0 ? 5 : -5)) / 10;
}

std::optional<int32_t> tenths(XmlNode node, const char16_t* name)
{
    std::optional<std::u16string> value = text(node, name);
    return value ? read_tenths(*value) : std::nullopt;
}

std::optional<int32_t> minutes(XmlNode node, const char16_t* name)
{
    std::optional<std::u16string> value = text(node, name);
    return value ? read_clock_minutes(*value) : std::nullopt;
}

void read_details(XmlNode channel, XmlNode item, ForecastDetails& details)
{
    XmlNode wind = runtime::first_child_named(channel, u"yweather:wind");
    XmlNode atmosphere = runtime::first_child_named(channel, u"yweather:atmosphere");
    XmlNode astronomy = runtime::first_child_named(channel, u"yweather:astronomy");
    XmlNode today = runtime::first_child_named(item, u"nalo:today");
    details.feels = integer(wind, u"chill");
    details.wind = rounded(wind, u"speed");
    details.wind_dir = integer(wind, u"direction");
    if (details.wind_dir == 360)
        details.wind_dir = 0;
    details.humidity = integer(atmosphere, u"humidity");
    details.pressure = tenths(atmosphere, u"pressure");
    details.sunrise = minutes(astronomy, u"sunrise");
    details.sunset = minutes(astronomy, u"sunset");
    details.rain = tenths(today, u"precipitation");
    details.rain_chance = integer(today, u"precipitation_probability");
    details.uv = tenths(today, u"uv_index");
    for (const DetailField& field : detail_fields)
        details.*field.member = within(details.*field.member, field.low, field.high);
}

// An hour without a readable time is left out; a value out of range is none.
void read_hours(XmlNode item, std::vector<HourForecast>& hours)
{
    for (XmlNode child = item.first_child(); child && hours.size() < max_hours; child = child.next_sibling()) {
        if (runtime::node_name(child) != u"nalo:hour")
            continue;
        std::optional<std::u16string> time = text(child, u"time");
        std::optional<int64_t> date = time ? read_hour_time(*time) : std::nullopt;
        if (!date)
            continue;
        HourForecast hour;
        hour.date = *date;
        hour.temp = within(integer(child, u"temp"), lowest_hour_temp, highest_hour_temp).value_or(no_temperature);
        hour.code = within(integer(child, u"code"), 0, highest_condition).value_or(no_condition);
        hour.rain_chance = within(integer(child, u"precipitation_probability"), 0, 100);
        hours.push_back(hour);
    }
}

} // namespace

std::optional<int32_t> read_tenths(std::u16string_view text)
{
    std::string digits = ascii(text, 32);
    double value = 0;
    const char* end = digits.data() + digits.size();
    auto [stop, failed] = std::from_chars(digits.data(), end, value);
    if (failed != std::errc() || stop != end || !std::isfinite(value) || std::fabs(value) > 1e8)
        return std::nullopt;
    return int32_t(std::lround(value * 10));
}

std::optional<int32_t> read_clock_minutes(std::u16string_view text)
{
    std::string clock = ascii(text, 16);
    int hour = 0, minute = 0;
    char half[3] = "";
    int used = 0;
    if (std::sscanf(clock.c_str(), "%2d:%2d %2[apm]%n", &hour, &minute, half, &used) != 3
        || used != int(clock.size()) || hour < 1 || hour > 12 || minute < 0 || minute > 59)
        return std::nullopt;
    std::string_view noon(half);
    if (noon != "am" && noon != "pm")
        return std::nullopt;
    return (hour % 12 + (noon == "pm" ? 12 : 0)) * 60 + minute;
}

std::optional<int64_t> read_hour_time(std::u16string_view text)
{
    // "YYYY-MM-DDTHH:MM", strictly: the date-time reader takes the parts apart.
    std::string time = ascii(text, 20);
    static constexpr std::string_view shape = "0000-00-00T00:00";
    if (time.size() != shape.size())
        return std::nullopt;
    for (size_t i = 0; i < shape.size(); ++i) {
        if (shape[i] == '0' ? (time[i] < '0' || time[i] > '9') : time[i] != shape[i])
            return std::nullopt;
        if (shape[i] != '0')
            time[i] = ' ';
    }
    int month = std::stoi(time.substr(5, 2)), day = std::stoi(time.substr(8, 2));
    int hour = std::stoi(time.substr(11, 2)), minute = std::stoi(time.substr(14, 2));
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59)
        return std::nullopt;
    std::optional<int64_t> count = read_date_time_text(platform::widen(time + " 0"));
    // A day past the month's end gives the seconds alone: no time of this feed.
    if (!count || *count < 600'000'000LL * 60 * 24 * 366)
        return std::nullopt;
    return count;
}

bool load_from_yahoo(ForecastRecord& record, const ByteBuffer& body)
{
    std::u16string text = decode_feed_text(body.data(), body.size());
    runtime::XmlDocument document = runtime::XmlDocument::parse(without_declaration(text));
    // A missing parent finds nothing, so a body that is no feed ends with empty nodes.
    XmlNode rss = runtime::first_child_named(document.document(), u"rss");
    XmlNode channel = runtime::first_child_named(rss, u"channel");
    XmlNode item = runtime::first_child_named(channel, u"item");
    XmlNode condition = runtime::first_child_named(item, u"yweather:condition");
    bool readable = false;
    for (XmlNode child = item.first_child(); child; child = child.next_sibling()) {
        if (runtime::node_name(child) != u"yweather:forecast")
            continue;
        DayForecast day;
        bool read = runtime::get_attribute(child, u"low", day.low);
        read |= runtime::get_attribute(child, u"high", day.high);
        read |= runtime::get_attribute(child, u"code", day.code);
        std::u16string date;
        if (runtime::get_attribute(child, u"date", date))
            day.date = read_forecast_date(date);
        readable |= read || day.date != 0;
        record.days.push_back(day);
    }
    if (condition) {
        readable |= runtime::get_attribute(condition, u"temp", record.temp);
        readable |= runtime::get_attribute(condition, u"code", record.code);
        runtime::get_attribute(condition, u"date", record.rdate);
    }
    record.sample = bool(runtime::first_child_named(channel, u"nalo:sample"));
    read_details(channel, item, record.details);
    read_hours(item, record.hours);
    runtime::get_log() << u"load_from_yahoo city = " << record.city << u"\n";
    return readable;
}

} // namespace ombrelo
