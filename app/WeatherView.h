// One forecast page of the main form's page strip: the city's name, current temperature
// and condition picture, the time of the last update and up to five day rows. The page
// decides from the age of the city's cached forecast whether a new one is needed; then it
// posts the city code on the request queue, starts the daemon, and watches for the new
// cache file on every life-cycle tick.
//
// The record named "empty" is the advertising slot: its page is built from "AdvScreen"
// (AdvertisingPage) and never reloads or refreshes.
#pragma once

#include "app/AdvertisingPage.h"
#include "app/CityRecord.h"
#include "app/ConditionPictures.h"
#include "app/SettingsListener.h"
#include "app/WeatherLine.h"

#include "skin/nodes/ImageNode.h"
#include "skin/file/Properties.h"
#include "skin/nodes/SkinNode.h"
#include "skin/nodes/TextNode.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace weather {

class WeatherView : public skin::SkinNode, public SettingsListener {
public:
    static constexpr size_t max_rows = 5;

    // Builds the page for the record at the city index of Settings and runs
    // reload_weather. Without the template: plexor::NodeNotFoundInSkin; without one of
    // its nodes: plexor::NodeNotFound.
    WeatherView(const skin::Properties& skin, int32_t city_index, bool visible);
    ~WeatherView() override;

    // The freshness decision: a fresh cache file is loaded, a stale one is asked for.
    void reload_weather();
    // Every text, picture and day row again from the city's record.
    void refresh_view();

    void life_cycle(double elapsed) override;
    void draw(skin::RenderSurface& surface, skin::Point origin) override;
    void shown_changed(bool shown) override;

    int32_t city_index() const { return m_city_index; }
    void set_city_index(int32_t index) { m_city_index = index; }
    bool refreshed() const { return m_refreshed; }
    void clear_refreshed() { m_refreshed = false; }
    bool is_advertising() const { return m_advertising != nullptr; }
    AdvertisingPage* advertising() const { return m_advertising.get(); }

    const std::vector<std::unique_ptr<WeatherLine>>& rows() const { return m_rows; }
    // The top of the first day row within the page.
    int rows_top() const;

    // The name as the page shows it: cut before the first ",", or before the blank that
    // stands before a "(" that comes first; whole when it begins with "(".
    static std::u16string shown_name(std::u16string_view name);
    // The update line for a request date at the time now.
    static std::u16string update_line(const skin::Properties& skin, int64_t request_date, int64_t now);

private:
    // The record of the page, or null when the index names none (or it is the slot).
    CityRecord* record() const;
    void reload(bool file_just_loaded);
    // The cache file's age in minutes, none when it is missing or a folder.
    std::optional<int32_t> cache_age(const CityRecord& record, int64_t now) const;

    const skin::Properties& m_skin;
    int32_t m_city_index;
    bool m_refreshed { false };
    std::unique_ptr<AdvertisingPage> m_advertising;
    skin::TextNode* m_ctext { nullptr };
    skin::TextNode* m_wtext { nullptr };
    skin::TextNode* m_mtext { nullptr };
    skin::ImageNode* m_image { nullptr };
    skin::SkinNode* m_days { nullptr };
    std::unique_ptr<ConditionPictures> m_pictures;
    std::vector<std::unique_ptr<WeatherLine>> m_rows;
};

} // namespace weather
