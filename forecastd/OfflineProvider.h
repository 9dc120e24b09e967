// Recorded provider replies in a folder, one "CODE.json" per city, for tests and for
// machines that cannot reach the provider. The days are moved so that the first one is
// the city's today, and the current condition is made to fit the hour: the time is
// now, the temperature follows the day's low and high, day or night follows the sun.
// Answers are always sample data.
#pragma once

#include "forecastd/Provider.h"

#include <chrono>
#include <string>
#include <functional>

namespace forecastd {

class OfflineProvider final : public Provider {
public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;

    explicit OfflineProvider(std::string folder, Clock now = std::chrono::system_clock::now);

    FetchResult fetch(const PlaceInfo& place, bool fahrenheit) override;
    bool sample() const override { return true; }
    std::string describe() const override { return "recorded replies in " + m_folder; }

    // Whether the folder holds at least one reply (a file CODE.json); the reason if not.
    static bool holds_replies(const std::string& folder, std::string& error);

    // The recorded forecast moved to the time `now` (UTC) at the place.
    static void move_to(ProviderForecast& forecast, const PlaceInfo& place, std::chrono::system_clock::time_point now);

private:
    std::string m_folder;
    Clock m_now;
};

} // namespace forecastd
