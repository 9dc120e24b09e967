#include "forecastd/OfflineProvider.h"
#include "forecastd/FeedWriter.h"
#include "forecastd/ProviderReply.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>

namespace forecastd {

namespace {

using namespace std::chrono;

// Whether the sun is up at a place and UTC time (within a few minutes: the equation of
// time is left out).
bool sun_is_up(double latitude, double longitude, system_clock::time_point now)
{
    const double rad = std::numbers::pi / 180;
    sys_days today = floor<days>(now);
    year_month_day date(today);
    int day_of_year = (today - sys_days(date.year() / January / 1)).count() + 1;
    double hours_utc = duration<double, std::ratio<3600>>(now - today).count();
    double declination = 23.44 * std::sin(2 * std::numbers::pi * (284 + day_of_year) / 365.0);
    double hour_angle = 15 * (hours_utc + longitude / 15 - 12);
    double elevation = std::asin(std::sin(latitude * rad) * std::sin(declination * rad)
                           + std::cos(latitude * rad) * std::cos(declination * rad) * std::cos(hour_angle * rad))
        / rad;
    return elevation > -0.83;
}

} // namespace

OfflineProvider::OfflineProvider(std::string folder, Clock now)
    : m_folder(std::move(folder))
    , m_now(std::move(now))
{
}

bool OfflineProvider::holds_replies(const std::string& folder, std::string& error)
{
    std::error_code failed;
    std::filesystem::directory_iterator entries(folder, failed);
    if (failed) {
        error = "--offline " + folder + ": " + failed.message();
        return false;
    }
    for (const auto& entry : entries) {
        std::string name = entry.path().filename().string();
        if (name.size() == 13 && name.ends_with(".json") && name.find_first_not_of("0123456789") == 8
            && entry.is_regular_file(failed))
            return true;
    }
    error = "--offline " + folder + ": no recorded replies (CODE.json) in the folder";
    return false;
}

void OfflineProvider::move_to(ProviderForecast& forecast, const PlaceInfo& place, system_clock::time_point now)
{
    sys_seconds local = floor<seconds>(now) + seconds(forecast.utc_offset_seconds);
    sys_days today = floor<days>(local);
    days shift = today - sys_days(forecast.days.front().date);
    for (ProviderDay& day : forecast.days)
        day.date = year_month_day(sys_days(day.date) + shift);
    // The recorded hours move with the days; those before the current hour go.
    sys_seconds this_hour = floor<hours>(local);
    std::erase_if(forecast.hours, [&](ProviderHour& hour) {
        hour.time += shift;
        return hour.time < this_hour;
    });
    if (forecast.hours.size() > feed_hours)
        forecast.hours.resize(feed_hours);
    if (forecast.details.sunrise)
        *forecast.details.sunrise += shift;
    if (forecast.details.sunset)
        *forecast.details.sunset += shift;
    // The provider reports the current condition in steps of 15 minutes.
    forecast.current_time = floor<minutes>(local) - minutes(floor<minutes>(local).time_since_epoch().count() % 15);
    const ProviderDay& first = forecast.days.front();
    // Lowest near 03:00 and highest near 15:00.
    double hour = duration<double, std::ratio<3600>>(local - today).count();
    double warmth = 0.5 + 0.5 * std::cos(2 * std::numbers::pi * (hour - 15) / 24);
    forecast.current_temperature = first.low + (first.high - first.low) * warmth;
    forecast.current_wmo_code = first.wmo_code;
    forecast.is_day = sun_is_up(place.latitude, place.longitude, now);
}

FetchResult OfflineProvider::fetch(const PlaceInfo& place, bool fahrenheit)
{
    FetchResult result;
    // The code is 8 digits (the query allows nothing else), so the name stays in the folder.
    std::ifstream file(m_folder + "/" + place.code + ".json", std::ios::binary);
    if (!file) {
        result.error = "no recorded reply for " + place.code;
        return result;
    }
    std::string json;
    json.resize(max_reply_size + 1);
    file.read(json.data(), std::streamsize(json.size()));
    json.resize(size_t(file.gcount()));
    if (!read_provider_reply(json, result.forecast, result.error))
        return result;
    if (result.forecast.unit == TemperatureUnit::as_asked)
        result.forecast.unit = TemperatureUnit::celsius;
    move_to(result.forecast, place, m_now());
    result.ok = true;
    return result;
}

} // namespace forecastd
