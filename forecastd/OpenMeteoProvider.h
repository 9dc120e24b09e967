// The live provider: Open-Meteo's forecast API (no key), fetched with libcurl.
#pragma once

#include "forecastd/Provider.h"

namespace forecastd {

constexpr const char* default_provider_url = "https://api.open-meteo.com/v1/forecast";

class OpenMeteoProvider final : public Provider {
public:
    explicit OpenMeteoProvider(std::string base_url = default_provider_url);

    FetchResult fetch(const PlaceInfo& place, bool fahrenheit) override;
    bool sample() const override { return false; }
    std::string describe() const override { return m_base_url; }

    // The request address for a place: coordinates, the fields the feed needs, the
    // city's own time zone, seven days.
    std::string request_url(const PlaceInfo& place, bool fahrenheit) const;

private:
    std::string m_base_url;
};

} // namespace forecastd
