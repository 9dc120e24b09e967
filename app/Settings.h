// The application's options and its ordered list of cities: loaded at start-up from the
// registry and the settings file, saved at the end, and announced to every listener as
// SettingsEvent notices. When the sibling product Quillpane is not installed the list
// holds the advertising slot second (or alone).
//
// Every change of the list is written to the settings file at once, so that a crash or a
// power cut keeps it; save still runs the whole end-of-program step. Every record of the
// file is kept, however many there are; the limit applies to adding. A damaged file is
// moved aside and what could be read from it is kept; a write that fails keeps the old
// file. Both are told to the user once, through a notice (show_notice).
#pragma once

#include "app/CityRecord.h"
#include "app/SettingsEvent.h"
#include "app/SettingsFile.h"

#include "runtime/Singleton.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace weather {

class SettingsListener;

constexpr std::u16string_view weather_key = u"HKEY_CURRENT_USER\\Software\\NALO\\Weather";
constexpr std::u16string_view sibling_key = u"HKEY_LOCAL_MACHINE\\Software\\Apps\\NALO Quillpane";
constexpr std::u16string_view downloads_folder = u"%app_path%/downloads/";

class Settings : public runtime::Singleton<Settings> {
public:
    // Records the list holds at most, the advertising slot included.
    static constexpr size_t max_records = 10;
    static constexpr int32_t default_update_time = 360;
    // Cache files older than this many whole hours go at save.
    static constexpr int64_t cache_keep_hours = 3;

    // Reads `UpdateTime`, then load().
    Settings();
    // Writes `UpdateTime` again.
    ~Settings();

    // The options from the registry, whether the sibling product is installed, and the
    // city list from the settings file with every city's cached forecast.
    void load();
    // Old cache files removed, `Degree` and `Icon` written, publish_top, then the settings
    // file; true when the file was written.
    bool save();
    // `Top`, `TopCode` and `TopTemp` from the first record.
    void publish_top();
    // Writes the settings file only (the list as it is now, merged with the cities another
    // copy of the program added to the file meanwhile); true when it was written.
    bool write_settings_file();

    // A new record, its forecast read from the cache, placed before the advertising slot
    // when that is the only other record; `city_added` follows. False, and nothing
    // changes, when the list already holds max_records.
    bool add_city(std::u16string_view code, std::u16string_view name);
    // Erases the city at the list position (adjusted index); `city_removed` with the
    // position. False for a position that names no city.
    bool remove_city(int32_t position);
    // Exchanges the cities at the two list positions (adjusted indices); `cities_swapped`.
    bool swap_cities(int32_t a, int32_t b);
    // Exchanges two records by record index, without a notice (the page strip keeps the
    // advertising page second this way).
    bool exchange_records(size_t a, size_t b);

    // Stored and written to the registry at once; no notice.
    void set_update_time(int32_t minutes);
    // `units_changed` follows; the registry is written at save.
    void set_degree(bool celsius);
    void set_icon(bool icon) { m_icon = icon; }

    void add_listener(SettingsListener* listener);
    // Removes every entry of the listener; one that has not been told yet during a running
    // broadcast is not told.
    void remove_listener(SettingsListener* listener);
    // Tells each listener in registration order. Listeners added while it runs hear from
    // the next notice on.
    void broadcast(const SettingsEvent& event);
    size_t listener_count() const;

    int32_t update_time() const { return m_update_time; }
    bool degree() const { return m_degree; }
    bool icon() const { return m_icon; }
    bool sibling_installed() const { return m_sibling_installed; }
    bool has_advertising_slot() const;

    const std::vector<CityRecord>& cities() const { return m_cities; }
    size_t city_count() const { return m_cities.size(); }
    CityRecord& city(size_t index) { return m_cities.at(index); }
    const CityRecord& city(size_t index) const { return m_cities.at(index); }
    bool is_full() const { return m_cities.size() >= max_records; }
    // The real cities, without the advertising slot.
    size_t real_city_count() const;
    // A row of the forms that list only real cities, or a page position of an event, as a
    // record index: the position itself when it is 0 or the sibling product is installed,
    // else the position + 1.
    size_t adjusted_index(int32_t position) const;

    // The temperature text in the chosen scale.
    std::u16string temperature_text(int32_t celsius) const;

    // A message for the user: a language key, its "%1" replaced by the count.
    struct Notice {
        std::u16string key;
        int32_t count { 0 };
    };
    // The notices not shown yet, oldest first; taking them empties the list.
    std::vector<Notice> take_notices() { return std::exchange(m_notices, {}); }
    bool has_notices() const { return !m_notices.empty(); }
    // The name the damaged settings file was given, empty when there was none.
    const std::u16string& damaged_file() const { return m_damaged_file; }

private:
    void notify(Notice notice);
    void read_settings_file();
    void remove_old_cache_files();
    std::vector<SettingsEntry> entries() const;
    // The record index of a list position that names a city, or the count when none does.
    size_t city_index(int32_t position) const;

    std::vector<SettingsListener*> m_listeners;
    int m_broadcast_depth { 0 };
    bool m_listeners_removed { false };
    bool m_sibling_installed { false };
    int32_t m_update_time { default_update_time };
    // The stored interval could not be used: the registry keeps it until the user chooses.
    bool m_update_time_replaced { false };
    // The list as this copy last read or wrote it: the base of a merge.
    std::vector<SettingsEntry> m_synced;
    // A damaged file that could not be moved aside is never written over.
    bool m_write_blocked { false };
    bool m_write_failure_told { false };
    std::u16string m_damaged_file;
    std::vector<Notice> m_notices;
    std::vector<CityRecord> m_cities;
    bool m_degree { true };
    bool m_icon { false };
};

} // namespace weather
