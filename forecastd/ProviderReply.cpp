#include "forecastd/ProviderReply.h"

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>

#include <algorithm>
#include <cmath>
#include <optional>

namespace forecastd {

namespace {

using namespace std::chrono;
using rapidjson::Value;

// Temperatures beyond this are no weather, whatever the unit.
constexpr double temperature_limit = 400;

const Value* member(const Value& object, const char* name)
{
    if (!object.IsObject())
        return nullptr;
    auto it = object.FindMember(name);
    return it == object.MemberEnd() ? nullptr : &it->value;
}

bool read_temperature(const Value* value, double& out)
{
    if (!value || !value->IsNumber())
        return false;
    double v = value->GetDouble();
    if (!std::isfinite(v) || std::fabs(v) > temperature_limit)
        return false;
    out = v;
    return true;
}

// WMO codes are whole numbers from 0 to 99.
bool read_wmo_code(const Value* value, int& out)
{
    if (!value || !value->IsNumber())
        return false;
    double v = value->GetDouble();
    if (!std::isfinite(v) || v < 0 || v > 99 || v != std::floor(v))
        return false;
    out = int(v);
    return true;
}

bool digits(std::string_view text, size_t at, size_t count, int& value)
{
    value = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (i >= text.size() || text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

// "YYYY-MM-DD", a real calendar date.
bool read_date(const Value* value, year_month_day& out)
{
    if (!value || !value->IsString())
        return false;
    std::string_view text(value->GetString(), value->GetStringLength());
    int y, m, d;
    if (text.size() < 10 || !digits(text, 0, 4, y) || text[4] != '-' || !digits(text, 5, 2, m) || text[7] != '-'
        || !digits(text, 8, 2, d))
        return false;
    out = year { y } / month { unsigned(m) } / day { unsigned(d) };
    return out.ok();
}

// "YYYY-MM-DDTHH:MM", the city's own wall-clock time.
bool read_time(const Value* value, sys_seconds& out)
{
    if (!value || !value->IsString())
        return false;
    std::string_view text(value->GetString(), value->GetStringLength());
    year_month_day date;
    int h, m;
    if (text.size() != 16 || !read_date(value, date) || text[10] != 'T' || !digits(text, 11, 2, h) || text[13] != ':'
        || !digits(text, 14, 2, m) || h > 23 || m > 59)
        return false;
    out = sys_days(date) + hours(h) + minutes(m);
    return true;
}

bool read_unit(const Value* units, const char* name, TemperatureUnit& unit)
{
    const Value* value = units ? member(*units, name) : nullptr;
    if (!value)
        return true;
    if (!value->IsString())
        return false;
    std::string_view text(value->GetString(), value->GetStringLength());
    TemperatureUnit given;
    if (text == "\u00B0C")
        given = TemperatureUnit::celsius;
    else if (text == "\u00B0F")
        given = TemperatureUnit::fahrenheit;
    else
        return false;
    if (unit != TemperatureUnit::as_asked && unit != given)
        return false;
    unit = given;
    return true;
}

std::string printable(const Value* value)
{
    std::string out;
    if (!value || !value->IsString())
        return out;
    std::string_view text(value->GetString(), value->GetStringLength());
    for (char c : text.substr(0, 16))
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '-')
            out += c;
    return out;
}

std::optional<double> number_within(const Value* value, double low, double high)
{
    if (!value || !value->IsNumber())
        return std::nullopt;
    double v = value->GetDouble();
    if (!std::isfinite(v) || v < low || v > high)
        return std::nullopt;
    return v;
}

std::optional<int> percent(const Value* value)
{
    std::optional<double> v = number_within(value, 0, 100);
    return v ? std::optional<int>(int(std::lround(*v))) : std::nullopt;
}

const Value* element(const Value* array, size_t index)
{
    if (!array || !array->IsArray() || index >= array->Size())
        return nullptr;
    return &(*array)[rapidjson::SizeType(index)];
}

std::string_view unit_text(const Value* units, const char* name)
{
    const Value* value = units ? member(*units, name) : nullptr;
    if (!value || !value->IsString())
        return {};
    return { value->GetString(), value->GetStringLength() };
}

// km/h for a speed in the unit the reply names; none for a unit not known.
std::optional<double> wind_in_kmh(std::optional<double> speed, std::string_view unit)
{
    if (!speed)
        return std::nullopt;
    if (unit == "km/h")
        return *speed;
    if (unit == "mp/h" || unit == "mph")
        return *speed * 1.609344;
    if (unit == "m/s")
        return *speed * 3.6;
    if (unit == "kn")
        return *speed * 1.852;
    return std::nullopt;
}

std::optional<double> precipitation_in_mm(std::optional<double> amount, std::string_view unit)
{
    if (!amount)
        return std::nullopt;
    if (unit == "mm")
        return *amount;
    if (unit == "inch")
        return *amount * 25.4;
    return std::nullopt;
}

std::optional<sys_seconds> time_of(const Value* value)
{
    sys_seconds time;
    if (!read_time(value, time))
        return std::nullopt;
    return time;
}

// Wind, humidity, feels-like and pressure of the current condition; rain, UV, sunrise and
// sunset of the first day.
void read_details(const Value& document, const ProviderForecast& forecast, ProviderDetails& details)
{
    const Value* current = member(document, "current");
    const Value* units = member(document, "current_units");
    double apparent;
    if (read_temperature(member(*current, "apparent_temperature"), apparent))
        details.apparent_temperature = apparent;
    details.wind_speed = wind_in_kmh(number_within(member(*current, "wind_speed_10m"), 0, 500),
        unit_text(units, "wind_speed_10m"));
    if (details.wind_speed && *details.wind_speed > 500)
        details.wind_speed.reset();
    if (auto direction = number_within(member(*current, "wind_direction_10m"), 0, 360))
        details.wind_direction = int(std::lround(*direction)) % 360;
    details.humidity = percent(member(*current, "relative_humidity_2m"));
    if (unit_text(units, "pressure_msl") == "hPa")
        details.pressure = number_within(member(*current, "pressure_msl"), 800, 1100);

    const Value* daily = member(document, "daily");
    const Value* daily_units = member(document, "daily_units");
    year_month_day first;
    if (!daily || !read_date(element(member(*daily, "time"), 0), first) || first != forecast.days.front().date)
        return;
    details.precipitation = precipitation_in_mm(number_within(element(member(*daily, "precipitation_sum"), 0), 0, 2000),
        unit_text(daily_units, "precipitation_sum"));
    if (details.precipitation && *details.precipitation > 2000)
        details.precipitation.reset();
    details.precipitation_probability = percent(element(member(*daily, "precipitation_probability_max"), 0));
    details.uv_index = number_within(element(member(*daily, "uv_index_max"), 0), 0, 30);
    // Sunrise and sunset of that day; none in a polar day or night.
    auto on_first_day = [&](const char* name) -> std::optional<sys_seconds> {
        std::optional<sys_seconds> time = time_of(element(member(*daily, name), 0));
        if (time && floor<days>(*time) == sys_days(first))
            return time;
        return std::nullopt;
    };
    details.sunrise = on_first_day("sunrise");
    details.sunset = on_first_day("sunset");
}

// The hours from the current one on, while they follow each other without a gap.
bool read_hours(const Value& document, ProviderForecast& out)
{
    const Value* hourly = member(document, "hourly");
    if (!hourly)
        return true;
    if (!read_unit(member(document, "hourly_units"), "temperature_2m", out.unit))
        return false;
    const Value* times = member(*hourly, "time");
    const Value* temperatures = member(*hourly, "temperature_2m");
    const Value* codes = member(*hourly, "weather_code");
    const Value* chances = member(*hourly, "precipitation_probability");
    const Value* day_flags = member(*hourly, "is_day");
    if (!times || !times->IsArray())
        return true;
    sys_seconds first = floor<hours>(out.current_time);
    for (size_t i = 0; i < times->Size() && out.hours.size() < max_hours; ++i) {
        ProviderHour hour;
        if (!read_time(element(times, i), hour.time))
            break;
        if (hour.time < first)
            continue;
        if (!read_temperature(element(temperatures, i), hour.temperature)
            || !read_wmo_code(element(codes, i), hour.wmo_code))
            break;
        if (out.hours.empty() ? hour.time != first : hour.time != out.hours.back().time + hours(1))
            break;
        hour.precipitation_probability = percent(element(chances, i));
        const Value* flag = element(day_flags, i);
        hour.is_day = !(flag && flag->IsNumber() && flag->GetDouble() == 0);
        out.hours.push_back(hour);
    }
    return true;
}

} // namespace

bool read_provider_reply(std::string_view json, ProviderForecast& forecast, std::string& error)
{
    if (json.size() > max_reply_size) {
        error = "answer too large";
        return false;
    }
    rapidjson::Document document;
    // The default flags refuse NaN, Infinity and numbers too large for a double.
    document.Parse(json.data(), json.size());
    if (document.HasParseError()) {
        error = std::string("not JSON: ") + rapidjson::GetParseError_En(document.GetParseError());
        return false;
    }
    if (!document.IsObject()) {
        error = "not a JSON object";
        return false;
    }
    ProviderForecast out;
    const Value* offset = member(document, "utc_offset_seconds");
    if (!offset || !offset->IsInt() || std::abs(offset->GetInt()) > 18 * 3600) {
        error = "no utc_offset_seconds";
        return false;
    }
    out.utc_offset_seconds = offset->GetInt();
    out.time_zone_abbreviation = printable(member(document, "timezone_abbreviation"));

    const Value* current = member(document, "current");
    const Value* is_day = current ? member(*current, "is_day") : nullptr;
    if (!current || !read_time(member(*current, "time"), out.current_time)
        || !read_temperature(member(*current, "temperature_2m"), out.current_temperature)
        || !read_wmo_code(member(*current, "weather_code"), out.current_wmo_code) || !is_day || !is_day->IsNumber()
        || (is_day->GetDouble() != 0 && is_day->GetDouble() != 1)) {
        error = "no whole current condition";
        return false;
    }
    out.is_day = is_day->GetDouble() == 1;

    if (!read_unit(member(document, "current_units"), "temperature_2m", out.unit)
        || !read_unit(member(document, "daily_units"), "temperature_2m_max", out.unit)
        || !read_unit(member(document, "daily_units"), "temperature_2m_min", out.unit)) {
        error = "unknown temperature unit";
        return false;
    }

    const Value* daily = member(document, "daily");
    const Value* times = daily ? member(*daily, "time") : nullptr;
    const Value* codes = daily ? member(*daily, "weather_code") : nullptr;
    const Value* highs = daily ? member(*daily, "temperature_2m_max") : nullptr;
    const Value* lows = daily ? member(*daily, "temperature_2m_min") : nullptr;
    if (!times || !codes || !highs || !lows || !times->IsArray() || !codes->IsArray() || !highs->IsArray()
        || !lows->IsArray()) {
        error = "no daily arrays";
        return false;
    }
    size_t count = std::min({ size_t(times->Size()), size_t(codes->Size()), size_t(highs->Size()),
        size_t(lows->Size()), max_days });
    for (size_t i = 0; i < count; ++i) {
        ProviderDay day;
        rapidjson::SizeType at = rapidjson::SizeType(i);
        if (!read_date(&(*times)[at], day.date) || !read_wmo_code(&(*codes)[at], day.wmo_code)
            || !read_temperature(&(*highs)[at], day.high) || !read_temperature(&(*lows)[at], day.low))
            break;
        if (!out.days.empty() && sys_days(day.date) != sys_days(out.days.back().date) + days(1))
            break;
        out.days.push_back(day);
    }
    if (out.days.empty()) {
        error = "no whole day";
        return false;
    }
    if (!read_hours(document, out)) {
        error = "unknown temperature unit";
        return false;
    }
    read_details(document, out, out.details);
    forecast = std::move(out);
    return true;
}

} // namespace forecastd
