#include "forecastd/OpenMeteoProvider.h"
#include "forecastd/ProviderReply.h"

#include "runtime/Version.h"

#include <curl/curl.h>

#include <cstdio>
#include <memory>
#include <string>

namespace forecastd {

namespace {

size_t collect(char* data, size_t size, size_t count, void* target)
{
    auto* body = static_cast<std::string*>(target);
    size_t bytes = size * count;
    // Stop a reply that is larger than any forecast: curl then fails the transfer.
    if (body->size() + bytes > max_reply_size)
        return 0;
    body->append(data, bytes);
    return bytes;
}

} // namespace

OpenMeteoProvider::OpenMeteoProvider(std::string base_url)
    : m_base_url(std::move(base_url))
{
}

std::string OpenMeteoProvider::request_url(const PlaceInfo& place, bool fahrenheit) const
{
    char coordinates[80];
    std::snprintf(coordinates, sizeof coordinates, "latitude=%.4f&longitude=%.4f", place.latitude, place.longitude);
    std::string url = m_base_url;
    url += url.find('?') == std::string::npos ? '?' : '&';
    url += coordinates;
    // One request carries the days, the next hours and today's details.
    url += "&current=temperature_2m,weather_code,is_day,relative_humidity_2m,apparent_temperature,"
           "wind_speed_10m,wind_direction_10m,pressure_msl"
           "&hourly=temperature_2m,weather_code,precipitation_probability,is_day"
           "&daily=weather_code,temperature_2m_max,temperature_2m_min,sunrise,sunset,precipitation_sum,"
           "precipitation_probability_max,uv_index_max"
           "&timezone=auto&forecast_days=7&forecast_hours=24";
    if (fahrenheit)
        url += "&temperature_unit=fahrenheit&wind_speed_unit=mph&precipitation_unit=inch";
    return url;
}

FetchResult OpenMeteoProvider::fetch(const PlaceInfo& place, bool fahrenheit)
{
    FetchResult result;
    std::unique_ptr<CURL, void (*)(CURL*)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl) {
        result.error = "no curl handle";
        return result;
    }
    std::string url = request_url(place, fahrenheit);
    std::string body;
    char message[CURL_ERROR_SIZE] = "";
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(curl.get(), CURLOPT_ERRORBUFFER, message);
    const std::string agent = "forecastd/" + std::string(runtime::project_version());
    curl_easy_setopt(curl.get(), CURLOPT_USERAGENT, agent.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT_MS, 5000L);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT_MS, 15000L);
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(curl.get(), CURLOPT_PROTOCOLS_STR, "http,https");
    CURLcode code = curl_easy_perform(curl.get());
    if (code != CURLE_OK) {
        result.error = std::string("provider not reached: ") + (message[0] ? message : curl_easy_strerror(code));
        return result;
    }
    long status = 0;
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
    if (status != 200) {
        result.error = "provider answered " + std::to_string(status);
        return result;
    }
    if (!read_provider_reply(body, result.forecast, result.error))
        return result;
    if (result.forecast.unit == TemperatureUnit::as_asked)
        result.forecast.unit = fahrenheit ? TemperatureUnit::fahrenheit : TemperatureUnit::celsius;
    result.ok = true;
    return result;
}

} // namespace forecastd
