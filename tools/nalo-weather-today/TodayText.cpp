#include "TodayText.h"

#include "app/ForecastWords.h"
#include "app/TemperatureText.h"

#include "platform/Clock.h"
#include "platform/LocaleTimeFormat.h"
#include "platform/TextEncoding.h"

#include <cstdio>
#include <ctime>

namespace today {

namespace {

using platform::to_utf8;

std::string text_of(const skin::LanguageTable& language, std::u16string_view key) { return to_utf8(language.text(key)); }

std::string temperature(int32_t celsius, bool in_celsius)
{
    return celsius == weather::no_temperature ? std::string() : to_utf8(weather::temperature_text(celsius, in_celsius));
}

std::string join(std::initializer_list<std::string_view> parts, std::string_view between)
{
    std::string out;
    for (std::string_view part : parts) {
        if (part.empty())
            continue;
        if (!out.empty())
            out += between;
        out += part;
    }
    return out;
}

const std::string* field(const TodayFields& fields, std::string_view name)
{
    if (name == "city") return &fields.city;
    if (name == "temp") return &fields.temp;
    if (name == "condition") return &fields.condition;
    if (name == "high") return &fields.high;
    if (name == "low") return &fields.low;
    if (name == "updated") return &fields.updated;
    if (name == "class") return &fields.css_class;
    if (name == "stale") return &fields.stale;
    if (name == "code") return &fields.code;
    return nullptr;
}

} // namespace

const std::vector<std::string_view>& placeholder_names()
{
    static const std::vector<std::string_view> names = { "city", "temp", "condition", "high", "low", "updated", "class",
        "stale", "code" };
    return names;
}

std::string condition_class(int32_t code)
{
    switch (code) {
    case 0: case 1: case 2: return "storm";
    case 3: case 4: case 37: case 38: case 39: case 45: case 47: return "thunderstorm";
    case 5: case 6: case 7: case 18: case 35: return "sleet";
    case 8: case 9: return "drizzle";
    case 10: case 11: case 12: case 40: return "rain";
    case 13: case 14: case 15: case 16: case 41: case 42: case 43: case 46: return "snow";
    case 17: return "hail";
    case 19: case 21: case 22: return "haze";
    case 20: return "fog";
    case 23: case 24: return "wind";
    case 25: return "cold";
    case 36: return "hot";
    case 26: case 27: case 28: return "cloudy";
    case 29: case 30: case 44: return "partly-cloudy";
    case 31: case 33: return "clear-night";
    case 32: case 34: return "sunny";
    default: return "unknown";
    }
}

std::string update_time_text(int64_t updated, int64_t now)
{
    if (updated == 0)
        return {};
    std::tm parts = platform::to_tm(platform::count_to_system_time(updated));
    char text[96];
    const char* format = weather::day_number(updated) == weather::day_number(now) ? "%H:%M" : "%x %H:%M";
    size_t n = std::strftime(text, sizeof text, format, &parts);
    return std::string(text, n);
}

TodayFields make_fields(const TopForecast& forecast, const skin::LanguageTable& language, bool in_celsius, int64_t now)
{
    TodayFields f;
    f.city = to_utf8(forecast.name);
    f.temp = to_utf8(forecast.temperature);
    f.condition = to_utf8(weather::condition_text(language, forecast.condition));
    f.high = temperature(forecast.high, in_celsius);
    f.low = temperature(forecast.low, in_celsius);
    f.updated = update_time_text(forecast.updated, now);
    f.css_class = condition_class(forecast.condition);
    f.stale = forecast.stale ? text_of(language, u"Today_stale") : std::string();
    f.code = forecast.condition == weather::no_condition ? std::string() : std::to_string(forecast.condition);
    f.sample = forecast.sample ? text_of(language, u"Sample_data") : std::string();
    return f;
}

std::string plain_line(const TodayFields& fields)
{
    std::string line = join({ fields.temp, fields.condition }, " ");
    if (!fields.city.empty())
        line = fields.city + ": " + line;
    if (!fields.stale.empty())
        line += " (" + fields.stale + ")";
    return line;
}

std::string tooltip(const TodayFields& fields, const skin::LanguageTable& language)
{
    std::string range;
    if (!fields.high.empty() && !fields.low.empty())
        range = to_utf8(weather::fill_places(language.text(u"Today_range"),
            { platform::from_utf8(fields.low), platform::from_utf8(fields.high) }));
    std::string updated;
    if (!fields.updated.empty())
        updated = to_utf8(weather::fill_places(language.text(u"Today_updated"), { platform::from_utf8(fields.updated) }));
    if (!fields.stale.empty())
        updated = join({ updated, "(" + fields.stale + ")" }, " ");
    return join({ join({ fields.city, fields.condition }, ": "), range, updated, fields.sample }, "\n");
}

std::string waybar_json(const TodayFields& fields, const skin::LanguageTable& language)
{
    std::string text = join({ fields.temp, fields.condition }, " ");
    if (!fields.stale.empty())
        text += " (" + fields.stale + ")";
    std::string classes = json_string(fields.css_class);
    if (!fields.stale.empty())
        classes += ", " + json_string("stale");
    return "{\"text\": " + json_string(text) + ", \"tooltip\": " + json_string(tooltip(fields, language))
        + ", \"class\": [" + classes + "], \"alt\": " + json_string(fields.css_class) + "}";
}

std::string waybar_json_none(const skin::LanguageTable& language)
{
    std::string none = text_of(language, u"Today_no_forecast");
    return "{\"text\": " + json_string(none) + ", \"tooltip\": " + json_string(none)
        + ", \"class\": [\"none\"], \"alt\": \"none\"}";
}

std::optional<std::string> check_format(std::string_view format)
{
    for (size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (c == '}') {
            if (i + 1 < format.size() && format[i + 1] == '}') {
                ++i;
                continue;
            }
            return "a single \"}\" at position " + std::to_string(i + 1) + " (write \"}}\" for the sign)";
        }
        if (c != '{')
            continue;
        if (i + 1 < format.size() && format[i + 1] == '{') {
            ++i;
            continue;
        }
        size_t end = format.find('}', i);
        if (end == std::string_view::npos)
            return "an unclosed \"{\" at position " + std::to_string(i + 1);
        std::string_view name = format.substr(i + 1, end - i - 1);
        if (!field(TodayFields {}, name))
            return "unknown placeholder {" + std::string(name) + "}";
        i = end;
    }
    return std::nullopt;
}

std::string apply_format(std::string_view format, const TodayFields& fields)
{
    std::string out;
    for (size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if ((c == '{' || c == '}') && i + 1 < format.size() && format[i + 1] == c) {
            out += c;
            ++i;
            continue;
        }
        if (c == '{') {
            size_t end = format.find('}', i);
            if (end != std::string_view::npos) {
                if (const std::string* value = field(fields, format.substr(i + 1, end - i - 1))) {
                    out += *value;
                    i = end;
                    continue;
                }
            }
        }
        out += c;
    }
    return out;
}

std::string json_string(std::string_view utf8)
{
    std::string out = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += char(c);
            }
        }
    }
    return out + "\"";
}

} // namespace today
