#include "app/WeatherView.h"
#include "app/CacheFileReader.h"
#include "app/DownloadStatus.h"
#include "app/ForecastRequest.h"
#include "app/NodeLookup.h"
#include "app/Settings.h"

#include "daemon/CityCode.h"

#include "runtime/Log.h"
#include "runtime/Paths.h"

#include "skin/nodes/Layout.h"
#include "skin/nodes/StylusEvent.h"

#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/LocaleTimeFormat.h"
#include "platform/TextEncoding.h"

#include <algorithm>
#include <limits>

namespace weather {

using runtime::get_log;

namespace {

// Whole minutes from one date-time to a later one, held to 32 bits.
int32_t minutes_between(int64_t earlier, int64_t later)
{
    int64_t minutes = (later - earlier) / platform::units_per_minute;
    return int32_t(std::clamp<int64_t>(minutes, std::numeric_limits<int32_t>::min(),
        std::numeric_limits<int32_t>::max()));
}

// `UpdateTime`, with "never" (0) taken as 360 minutes.
int32_t update_interval()
{
    Settings* settings = Settings::singleton();
    int32_t minutes = settings ? settings->update_time() : Settings::default_update_time;
    return minutes == 0 ? Settings::default_update_time : minutes;
}

// How long a page waits before it writes a request again that found the queue full, and
// before it starts the daemon again while requests are still queued.
constexpr double retry_seconds = 0.5;
constexpr double restart_seconds = 5.0;
constexpr uint32_t write_timeout_ms = 1000;

// Once the queue was found full, no page waits for room on it: the retries do.
bool queue_was_full = false;

int bottom_within(const skin::SkinNode& node, const skin::SkinNode& page)
{
    return node.y() - page.y() + node.height();
}

} // namespace

WeatherView::WeatherView(const skin::Properties& skin, int32_t city_index, bool visible)
    : m_skin(skin)
    , m_city_index(city_index)
{
    CityRecord* city = record();
    if (city && city->is_advertising()) {
        build(skin, u"AdvScreen");
        m_advertising = std::make_unique<AdvertisingPage>(*this, skin, visible);
        return;
    }
    build(skin, u"WeatherView");
    m_wtext = &find_node<skin::TextNode>(*this, u"wtext");
    m_ctext = &find_node<skin::TextNode>(*this, u"ctext");
    m_mtext = &find_node<skin::TextNode>(*this, u"mtext");
    m_image = &find_node<skin::ImageNode>(*this, u"image");
    m_days = find_descendant(u"days");
    m_pictures = std::make_unique<ConditionPictures>(*this);
    // The notice band is optional: a skin without it gets the lines in the update line.
    m_band = find_descendant(u"nband");
    m_band_text = m_band ? dynamic_cast<skin::TextNode*>(m_band->find_descendant(u"ntext")) : nullptr;
    if (!m_band_text)
        m_band = nullptr;
    if (m_band)
        m_band->set_visible(false);
    m_ctext->set_visible(visible);
    m_wtext->set_visible(visible);
    reload_weather();
}

WeatherView::~WeatherView() = default;

CityRecord* WeatherView::record() const
{
    Settings* settings = Settings::singleton();
    if (!settings || m_city_index < 0 || size_t(m_city_index) >= settings->city_count())
        return nullptr;
    return &settings->city(size_t(m_city_index));
}

std::optional<int32_t> WeatherView::cache_age(const CityRecord& city, int64_t now) const
{
    runtime::FileInfo info = runtime::read_directory_entry(cache_file_path(city.code));
    if (!info.exists() || (info.attributes & platform::attribute_directory) != 0)
        return std::nullopt;
    return minutes_between(info.last_write_time, now);
}

void WeatherView::reload_weather()
{
    reload(false);
}

void WeatherView::reload(bool file_just_loaded)
{
    CityRecord* city = record();
    if (m_advertising || !city || city->is_advertising())
        return;
    get_log() << u"WeatherView::reload_weather start for city = " << city->name << u"\n";
    int64_t now = platform::local_now();
    int32_t interval = update_interval();
    int32_t age = minutes_between(city->request_date, now);
    get_log() << u"WeatherView::reload_weather step 2\n";
    get_log() << u"Minutes from request_date = " << age << u"\n";
    // A request date in the future (a clock set back) must not hold the page for good.
    bool fresh = age >= 0 && age <= interval;
    // A file that was fresh by its last-write time counts as fresh once loaded, whatever
    // request date it carries: the decision is not run on it again.
    if (fresh || city->need_reload || m_request_waiting || file_just_loaded) {
        get_log() << u"WeatherView::reload_weather step 3 no request\n";
        refresh_view();
        return;
    }
    get_log() << u"WeatherView::reload_weather step 4\n";
    std::optional<int32_t> file_age = cache_age(*city, now);
    if (file_age && *file_age < interval) {
        if (load_from_xml(*city)) {
            reload(true);
            return;
        }
        // A file that does not read is no forecast: asked for at once, as a missing one.
        get_log() << u"WeatherView::reload_weather the cache file does not read\n";
    }
    get_log() << u"WeatherView::reload_weather step 5\n";
    request(*city, queue_was_full ? 0 : write_timeout_ms);
    get_log() << u"WeatherView::reload_weather step 7 (start daemon)\n";
    refresh_view();
}

void WeatherView::request(CityRecord& city, uint32_t timeout_ms)
{
    get_log() << u"WeatherView::reload_weather step 6\n";
    m_since_try = 0;
    if (post_forecast_request(city.code, timeout_ms)) {
        m_request_waiting = false;
        city.need_reload = true;
        get_log() << u"Need reload for " << m_city_index << u" is true\n";
    } else if (ombrelo::is_valid_city_code(city.code)) {
        // The daemon has been started to drain the queue; the request follows.
        queue_was_full = true;
        m_request_waiting = true;
    }
}

void WeatherView::refresh_view()
{
    CityRecord* city = record();
    if (m_advertising || !city || city->is_advertising())
        return;
    m_rows.clear();
    size_t count = std::min(max_rows, city->days.size());
    for (size_t i = 0; i < count; ++i) {
        auto row = std::make_unique<WeatherLine>(m_skin, city->days[i], true);
        adopt(*row);
        m_rows.push_back(std::move(row));
    }
    m_ctext->set_text(shown_name(city->name));
    if (city->temperature != no_temperature)
        m_wtext->set_text(Settings::singleton()->temperature_text(city->temperature));
    m_image->set_picture(m_pictures->picture(city->condition));
    std::u16string update = update_line(m_skin, city->request_date, platform::local_now());
    std::u16string notice = notice_lines(m_skin, *city);
    if (m_band) {
        m_band_text->set_text(notice);
        m_band->set_visible(!notice.empty());
    } else if (!notice.empty()) {
        update += u"\n" + notice;
    }
    m_mtext->set_text(update);
    m_refreshed = true;
    mark_dirty();
    get_log() << u"WeatherView::refresh_view() request_date="
              << platform::LocaleTimeFormat::current().short_date(platform::count_to_system_time(city->request_date))
              << u"\n";
}

std::u16string WeatherView::shown_name(std::u16string_view name)
{
    size_t comma = name.find(u',');
    size_t bracket = name.find(u'(');
    if (bracket != std::u16string_view::npos && bracket < comma) {
        if (bracket == 0)
            return std::u16string(name);
        // The blank before the bracket goes with it; a name without one keeps its letters.
        std::u16string_view kept = name.substr(0, bracket);
        while (!kept.empty() && (kept.back() == u' ' || kept.back() == u'\t'))
            kept.remove_suffix(1);
        return std::u16string(kept);
    }
    return std::u16string(name.substr(0, comma));
}

std::u16string WeatherView::update_line(const skin::Properties& skin, int64_t request_date, int64_t now)
{
    platform::SystemTime current = platform::count_to_system_time(now);
    platform::SystemTime requested = platform::count_to_system_time(request_date);
    if (request_date <= 0 || current.year - requested.year > 2)
        return skin.translate(u"No_update");
    const platform::LocaleTimeFormat& locale = platform::LocaleTimeFormat::current();
    return skin.translate(u"Last_update") + u": " + locale.day_and_month(requested) + u", "
        + locale.time_without_seconds(requested);
}

std::u16string WeatherView::notice_lines(const skin::Properties& skin, const CityRecord& record)
{
    std::u16string lines;
    if (record.sample)
        lines = skin.translate(u"Sample_data");
    DownloadStatus status = read_download_status(record.code);
    runtime::FileInfo cache = runtime::read_directory_entry(cache_file_path(record.code));
    // A status older than the forecast on the page says nothing about it.
    if (status.failed() && !(cache.exists() && cache.last_write_time > status.time)) {
        std::u16string line = skin.translate(status.message_key());
        if (size_t at = line.find(u"%1"); at != std::u16string::npos)
            line.replace(at, 2, platform::widen(std::to_string(status.http_status)));
        lines += (lines.empty() ? u"" : u"\n") + line;
    }
    return lines;
}

void WeatherView::watch(CityRecord& city, double elapsed)
{
    m_since_try += elapsed;
    if (m_request_waiting) {
        if (m_since_try >= retry_seconds)
            request(city, 0);
        return;
    }
    int64_t now = platform::local_now();
    runtime::FileInfo info = runtime::read_directory_entry(cache_file_path(city.code));
    if (info.exists() && (info.attributes & platform::attribute_directory) == 0
        && minutes_between(info.last_write_time, now) < update_interval()
        && info.last_write_time != m_rejected_cache_time) {
        if (load_from_xml(city)) {
            get_log() << u"WeatherView::life_cycle reload_weather\n";
            reload_weather();
            // Cleared only now, so that the reload above refreshes without asking again.
            city.need_reload = false;
            get_log() << u"Need reload for " << m_city_index << u" is false\n";
            return;
        }
        // Read again only when it changes.
        m_rejected_cache_time = info.last_write_time;
    }
    // A failed attempt shows on the page while the page still waits.
    runtime::FileInfo status = runtime::read_directory_entry(status_file_path(city.code));
    if (status.exists() && status.last_write_time != m_status_time) {
        m_status_time = status.last_write_time;
        refresh_view();
    }
    // A daemon that ended just before the request came leaves it in the queue.
    if (m_since_try >= restart_seconds) {
        m_since_try = 0;
        serve_pending_requests();
    }
}

void WeatherView::life_cycle(double elapsed)
{
    SkinNode::life_cycle(elapsed);
    if (m_advertising)
        m_advertising->update_headline();
    CityRecord* city = record();
    if (!m_advertising && city && !city->is_advertising() && (city->need_reload || m_request_waiting))
        watch(*city, elapsed);
    for (const auto& row : m_rows) {
        skin::place_x(*row, 0, m_days ? m_days->width() : width());
        skin::place_y(*row, 0, std::max(row->design_size().y, height() / 20));
        row->life_cycle(elapsed);
    }
}

int WeatherView::rows_top() const
{
    if (m_advertising)
        return 0;
    int top = 2 + std::max({ bottom_within(*m_ctext, *this), bottom_within(*m_wtext, *this),
                      bottom_within(*m_image, *this) + 5 });
    if (m_band && m_band->visible())
        top = std::max(top, bottom_within(*m_band, *this) + 2);
    return top;
}

void WeatherView::draw(skin::RenderSurface& surface, skin::Point origin)
{
    SkinNode::draw(surface, origin);
    // A skin with a "days" node (the landscape page's second column) puts the rows there.
    int top = m_days ? m_days->y() - y() : rows_top();
    int left = m_days ? m_days->x() - x() : 0;
    int room = m_days ? m_days->width() : width();
    bool band = m_band && m_band->visible();
    for (size_t i = 0; i < m_rows.size(); ++i) {
        WeatherLine& row = *m_rows[i];
        // Below the band a row that does not fit whole is left out, not cut.
        if (band && i > 0 && top + int(i + 1) * row.height() > height())
            break;
        skin::Point at { origin.x + left + (room - row.width()) / 2, origin.y + top + int(i) * row.height() };
        row.draw_node(surface, at);
    }
    m_refreshed = false;
}

bool WeatherView::stylus(const skin::StylusEvent& event)
{
    if (m_advertising)
        return SkinNode::stylus(event);
    // The strip cancels the press when it becomes a drag: only a tap opens the details.
    if (event.cancelled || !event.down) {
        bool tapped = m_condition_pressed && !event.cancelled;
        m_condition_pressed = false;
        Settings* settings = Settings::singleton();
        if (tapped && settings) {
            SettingsEvent open;
            open.open_details = true;
            open.index = m_city_index;
            settings->broadcast(open);
        }
        return true;
    }
    m_condition_pressed = m_image->contains(event.point) || m_wtext->contains(event.point);
    return m_condition_pressed || SkinNode::stylus(event);
}

void WeatherView::shown_changed(bool shown)
{
    SkinNode::shown_changed(shown);
    for (const auto& row : m_rows)
        if (row->shown() != (visible() && shown))
            row->shown_changed(visible() && shown);
}

} // namespace weather
