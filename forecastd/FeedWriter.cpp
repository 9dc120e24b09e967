#include "forecastd/FeedWriter.h"
#include "forecastd/WmoConditions.h"

#include <cmath>
#include <cstdio>

namespace forecastd {

namespace {

using namespace std::chrono;

const char* const day_names[] = { "Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat" };
const char* const month_names[] = { "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov",
    "Dec" };

std::string escaped(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default:
            // Control characters have no place in XML 1.0.
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t')
                out += c;
        }
    }
    return out;
}

std::string zone_text(const ProviderForecast& forecast)
{
    if (!forecast.time_zone_abbreviation.empty())
        return forecast.time_zone_abbreviation;
    int minutes = forecast.utc_offset_seconds / 60;
    char text[16];
    std::snprintf(text, sizeof text, "GMT%c%02d%02d", minutes < 0 ? '-' : '+', std::abs(minutes) / 60,
        std::abs(minutes) % 60);
    return text;
}

void attribute(std::string& out, const char* name, const std::string& value)
{
    out += ' ';
    out += name;
    out += "=\"";
    out += escaped(value);
    out += '"';
}

std::string decimal(double value, int digits)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", digits, value);
    return text;
}

void details_of_channel(std::string& out, const ProviderForecast& forecast, bool fahrenheit)
{
    const ProviderDetails& details = forecast.details;
    if (details.apparent_temperature || details.wind_speed || details.wind_direction) {
        out += "<yweather:wind";
        if (details.apparent_temperature)
            attribute(out, "chill",
                std::to_string(whole_degrees(*details.apparent_temperature, forecast.unit, fahrenheit)));
        if (details.wind_direction)
            attribute(out, "direction", std::to_string(*details.wind_direction));
        if (details.wind_speed)
            attribute(out, "speed", decimal(fahrenheit ? *details.wind_speed / 1.609344 : *details.wind_speed, 0));
        out += "/>\n";
    }
    if (details.humidity || details.pressure) {
        out += "<yweather:atmosphere";
        if (details.humidity)
            attribute(out, "humidity", std::to_string(*details.humidity));
        if (details.pressure)
            attribute(out, "pressure", fahrenheit ? decimal(*details.pressure * 0.0295299830714, 2)
                                                  : decimal(*details.pressure, 1));
        out += "/>\n";
    }
    if (details.sunrise || details.sunset) {
        out += "<yweather:astronomy";
        if (details.sunrise)
            attribute(out, "sunrise", clock_text(*details.sunrise));
        if (details.sunset)
            attribute(out, "sunset", clock_text(*details.sunset));
        out += "/>\n";
    }
}

void details_of_item(std::string& out, const ProviderForecast& forecast, bool fahrenheit)
{
    const ProviderDetails& details = forecast.details;
    if (details.precipitation || details.precipitation_probability || details.uv_index) {
        out += "<nalo:today";
        if (details.precipitation)
            attribute(out, "precipitation",
                fahrenheit ? decimal(*details.precipitation / 25.4, 2) : decimal(*details.precipitation, 1));
        if (details.precipitation_probability)
            attribute(out, "precipitation_probability", std::to_string(*details.precipitation_probability));
        if (details.uv_index)
            attribute(out, "uv_index", decimal(*details.uv_index, 1));
        out += "/>\n";
    }
    for (size_t i = 0; i < forecast.hours.size() && i < feed_hours; ++i) {
        const ProviderHour& hour = forecast.hours[i];
        sys_days date = floor<days>(hour.time);
        year_month_day ymd(date);
        char time[32];
        std::snprintf(time, sizeof time, "%04d-%02u-%02uT%02d:00", int(ymd.year()), unsigned(ymd.month()),
            unsigned(ymd.day()), int(floor<hours>(hour.time - date).count()));
        out += "<nalo:hour";
        attribute(out, "time", time);
        attribute(out, "code", std::to_string(condition_for(hour.wmo_code, hour.is_day).code));
        attribute(out, "temp", std::to_string(whole_degrees(hour.temperature, forecast.unit, fahrenheit)));
        if (hour.precipitation_probability)
            attribute(out, "precipitation_probability", std::to_string(*hour.precipitation_probability));
        out += "/>\n";
    }
}

} // namespace

std::string clock_text(sys_seconds local_time)
{
    hh_mm_ss<seconds> time(local_time - floor<days>(local_time));
    int hour = int(time.hours().count());
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d %s", hour % 12 == 0 ? 12 : hour % 12, int(time.minutes().count()),
        hour < 12 ? "am" : "pm");
    return text;
}

std::string condition_date_text(sys_seconds local_time, const std::string& zone)
{
    sys_days date_days = floor<days>(local_time);
    year_month_day date(date_days);
    hh_mm_ss<seconds> time(local_time - date_days);
    int hour = int(time.hours().count());
    int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    char text[96];
    std::snprintf(text, sizeof text, "%s, %u %s %d %d:%02d %s %s",
        day_names[weekday(date_days).c_encoding()], unsigned(date.day()), month_names[unsigned(date.month()) - 1],
        int(date.year()), hour12, int(time.minutes().count()), hour < 12 ? "am" : "pm", zone.c_str());
    return text;
}

std::string forecast_date_text(year_month_day date)
{
    char text[32];
    std::snprintf(text, sizeof text, "%u %s %d", unsigned(date.day()), month_names[unsigned(date.month()) - 1],
        int(date.year()));
    return text;
}

int whole_degrees(double value, TemperatureUnit given, bool fahrenheit)
{
    if (given == TemperatureUnit::celsius && fahrenheit)
        value = value * 1.8 + 32;
    else if (given == TemperatureUnit::fahrenheit && !fahrenheit)
        value = (value - 32) / 1.8;
    return int(std::lround(value));
}

std::string write_feed(const PlaceInfo& place, const ProviderForecast& forecast, const FeedOptions& options)
{
    const std::string zone = zone_text(forecast);
    const std::string now = condition_date_text(forecast.current_time, zone);
    const std::string title = place.name + (options.sample ? " (sample data)" : "");
    const char* source = options.sample ? "Sample data in the format of Open-Meteo.com, not a real forecast"
                                        : "Weather data by Open-Meteo.com (CC BY 4.0)";
    std::string out;
    out.reserve(4096);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<rss version=\"2.0\" xmlns:yweather=\"http://xml.weather.yahoo.com/ns/rss/1.0\" "
           "xmlns:geo=\"http://www.w3.org/2003/01/geo/wgs84_pos#\" xmlns:nalo=\"urn:nalo:forecastd\">\n<channel>\n";
    // Machine-readable beside the title: the reader marks what it keeps as sample data.
    if (options.sample)
        out += "<nalo:sample/>\n";
    out += "<title>Weather - " + escaped(title) + "</title>\n";
    out += "<link>https://open-meteo.com/</link>\n";
    out += "<description>Weather for " + escaped(title) + ". " + source + "</description>\n";
    out += "<language>en-us</language>\n";
    out += "<lastBuildDate>" + escaped(now) + "</lastBuildDate>\n";
    out += "<ttl>15</ttl>\n";
    out += "<yweather:location";
    attribute(out, "city", place.city);
    attribute(out, "region", place.region);
    attribute(out, "country", place.country);
    out += "/>\n";
    out += options.fahrenheit ? "<yweather:units temperature=\"F\" distance=\"mi\" pressure=\"in\" speed=\"mph\"/>\n"
                              : "<yweather:units temperature=\"C\" distance=\"km\" pressure=\"mb\" speed=\"km/h\"/>\n";
    details_of_channel(out, forecast, options.fahrenheit);
    out += "<item>\n";
    out += "<title>Conditions for " + escaped(title) + " at " + escaped(now) + "</title>\n";
    char coordinates[96];
    std::snprintf(coordinates, sizeof coordinates, "<geo:lat>%.5f</geo:lat>\n<geo:long>%.5f</geo:long>\n",
        place.latitude, place.longitude);
    out += coordinates;
    out += "<pubDate>" + escaped(now) + "</pubDate>\n";
    Condition current = condition_for(forecast.current_wmo_code, forecast.is_day);
    out += "<yweather:condition";
    attribute(out, "text", current.text);
    attribute(out, "code", std::to_string(current.code));
    attribute(out, "temp", std::to_string(whole_degrees(forecast.current_temperature, forecast.unit, options.fahrenheit)));
    attribute(out, "date", now);
    out += "/>\n";
    for (const ProviderDay& day : forecast.days) {
        Condition condition = condition_for(day.wmo_code, true);
        out += "<yweather:forecast";
        attribute(out, "day", day_names[weekday(sys_days(day.date)).c_encoding()]);
        attribute(out, "date", forecast_date_text(day.date));
        attribute(out, "low", std::to_string(whole_degrees(day.low, forecast.unit, options.fahrenheit)));
        attribute(out, "high", std::to_string(whole_degrees(day.high, forecast.unit, options.fahrenheit)));
        attribute(out, "text", condition.text);
        attribute(out, "code", std::to_string(condition.code));
        out += "/>\n";
    }
    details_of_item(out, forecast, options.fahrenheit);
    std::string guid = place.code + "_" + now;
    for (char& c : guid)
        if (c == ' ' || c == ',' || c == ':')
            c = '_';
    out += "<guid isPermaLink=\"false\">" + escaped(guid) + "</guid>\n";
    out += "</item>\n</channel>\n</rss>\n";
    return out;
}

} // namespace forecastd
