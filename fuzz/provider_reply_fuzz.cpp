// Any bytes as the provider's answer: the reader never crashes, keeps only whole days,
// and what it accepts can be written as a feed (every number finite and within reason).
#include "forecastd/FeedWriter.h"
#include "forecastd/ProviderReply.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    forecastd::ProviderForecast forecast;
    std::string error;
    if (!forecastd::read_provider_reply(std::string_view(reinterpret_cast<const char*>(data), size), forecast, error))
        return 0;
    if (forecast.days.empty() || forecast.days.size() > forecastd::max_days || !std::isfinite(forecast.current_temperature))
        std::abort();
    for (const auto& day : forecast.days)
        if (!day.date.ok() || !std::isfinite(day.high) || !std::isfinite(day.low))
            std::abort();
    forecastd::PlaceInfo place;
    place.code = "02950159";
    place.name = "Berlin, Berlin, Germany";
    for (bool fahrenheit : { false, true }) {
        std::string feed = forecastd::write_feed(place, forecast, { fahrenheit, fahrenheit });
        if (feed.find("</rss>") == std::string::npos)
            std::abort();
    }
    return 0;
}
