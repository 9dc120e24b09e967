// One forecast page of the main form's page strip: the city's name, current temperature
// and condition picture, the time of the last update and up to five day rows. The page
// decides from the age of the city's cached forecast whether a new one is needed; then it
// posts the city code on the request queue, starts the daemon, and watches for the new
// cache file on every life-cycle tick. A cache file that cannot be read counts as
// missing. A full request queue is drained by the daemon, started at once, and the page
// writes its request again until it is in.
//
// Below the header a band tells what the page's forecast is not: the service's sample
// data, or the outcome of the daemon's last attempt when it failed (unreachable, an error
// answer, an unknown city, no forecast in the answer); the old forecast stays with its
// date. A skin without the band gets these lines in the update line.
//
// A tap on the current condition (its picture or temperature) asks for the detail form.
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
    bool stylus(const skin::StylusEvent& event) override;

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
    // The band's lines for the record (sample data, a failed last attempt), empty when
    // the forecast is real and the last attempt did not fail.
    static std::u16string notice_lines(const skin::Properties& skin, const CityRecord& record);
    // The band, null in a skin without it.
    skin::SkinNode* notice_band() const { return m_band; }
    // A request could not be written yet (the queue was full); it is written again.
    bool request_waiting() const { return m_request_waiting; }

private:
    // The record of the page, or null when the index names none (or it is the slot).
    CityRecord* record() const;
    void reload(bool file_just_loaded);
    // The cache file's age in minutes, none when it is missing or a folder.
    std::optional<int32_t> cache_age(const CityRecord& record, int64_t now) const;
    // Posts the request; the page waits for the file, or writes again when the queue was full.
    void request(CityRecord& city, uint32_t timeout_ms);
    // The watch of a waiting page: the new cache file, the outcome of the attempt, the
    // request to write again.
    void watch(CityRecord& city, double elapsed);

    const skin::Properties& m_skin;
    int32_t m_city_index;
    bool m_refreshed { false };
    std::unique_ptr<AdvertisingPage> m_advertising;
    skin::TextNode* m_ctext { nullptr };
    skin::TextNode* m_wtext { nullptr };
    skin::TextNode* m_mtext { nullptr };
    skin::ImageNode* m_image { nullptr };
    skin::SkinNode* m_days { nullptr };
    skin::SkinNode* m_band { nullptr };
    skin::TextNode* m_band_text { nullptr };
    bool m_request_waiting { false };
    bool m_condition_pressed { false };
    double m_since_try { 0 };
    // The last-write times of the cache file that did not read and of the status shown.
    int64_t m_rejected_cache_time { 0 };
    int64_t m_status_time { 0 };
    std::unique_ptr<ConditionPictures> m_pictures;
    std::vector<std::unique_ptr<WeatherLine>> m_rows;
};

} // namespace weather
