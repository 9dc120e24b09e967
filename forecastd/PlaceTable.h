// The cities forecastd knows: "places.tsv" as make-citydb writes it, looked up by code.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

namespace forecastd {

struct PlaceInfo {
    std::string code;       // 8 digits
    double latitude { 0 };
    double longitude { 0 };
    std::string time_zone;
    uint32_t population { 0 };
    std::string name;       // "City, Region, Country"
    std::string city, region, country;
};

class PlaceTable {
public:
    // Reads the file; lines that are not whole places are skipped and counted. False,
    // with the reason, when the file cannot be read or holds no place.
    bool load(const std::string& path, std::string& error);
    void add(PlaceInfo place);
    const PlaceInfo* find(const std::string& code) const;
    size_t size() const { return m_places.size(); }
    size_t skipped() const { return m_skipped; }

private:
    std::unordered_map<std::string, PlaceInfo> m_places;
    size_t m_skipped { 0 };
};

} // namespace forecastd
