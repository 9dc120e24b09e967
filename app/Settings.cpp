#include "app/Settings.h"
#include "app/CacheFileReader.h"
#include "app/SettingsListener.h"
#include "app/TemperatureText.h"

#include "runtime/FileListing.h"
#include "runtime/Log.h"
#include "runtime/Paths.h"
#include "runtime/Registry.h"

#include "platform/Clock.h"

#include <algorithm>
#include <utility>

namespace weather {

using runtime::get_log;

namespace {

constexpr int64_t units_per_hour = 60 * platform::units_per_minute;

} // namespace

Settings::Settings()
{
    int32_t minutes = default_update_time;
    runtime::read_number(weather_key, u"UpdateTime", minutes);
    // A negative interval would make every page ask for a forecast each time it is built;
    // the default stands in for it, and the stored value stays until the user chooses.
    m_update_time_replaced = minutes < 0;
    m_update_time = m_update_time_replaced ? default_update_time : minutes;
    load();
}

Settings::~Settings()
{
    if (!m_update_time_replaced)
        runtime::write_number(weather_key, u"UpdateTime", uint32_t(m_update_time));
}

void Settings::load()
{
    runtime::read_flag(weather_key, u"Degree", m_degree);
    runtime::read_flag(weather_key, u"Icon", m_icon);

    std::u16string install_dir;
    runtime::read_string(sibling_key, u"InstallDir", install_dir);
    m_sibling_installed = !install_dir.empty();
    get_log() << u"Check for quillpane: " << install_dir << u"\n";

    read_settings_file();
    get_log() << u"Settings::load cities = " << int32_t(m_cities.size()) << u"\n";

    if (!m_sibling_installed) {
        CityRecord slot;
        slot.name = advertising_name;
        slot.advertising = true;
        m_cities.insert(m_cities.begin() + std::min<size_t>(1, m_cities.size()), std::move(slot));
    }
}

void Settings::read_settings_file()
{
    m_cities.clear();
    SettingsFile::remove_stale_temporaries(settings_file_path);
    SettingsContent content;
    {
        SettingsLock lock(settings_file_path);
        content = SettingsFile::read(settings_file_path);
        if (content.state == SettingsContent::State::damaged) {
            m_damaged_file = SettingsFile::keep_aside(settings_file_path, platform::local_now());
            get_log() << u"Settings::load damaged settings file kept as \"" << m_damaged_file << u"\", "
                      << int32_t(content.entries.size()) << u" cities read\n";
            // Without a copy of the damaged file, it is the only one: it stays untouched.
            m_write_blocked = m_damaged_file.empty();
        }
    }
    for (SettingsEntry& entry : content.entries) {
        CityRecord record;
        record.name = entry.name;
        record.code = entry.code;
        load_from_xml(record);
        m_cities.push_back(std::move(record));
    }
    m_synced = std::move(content.entries);
    if (content.state == SettingsContent::State::damaged) {
        notify({ u"Settings_damaged", int32_t(m_cities.size()) });
        if (!m_write_blocked)
            write_settings_file();
    }
}

void Settings::notify(Notice notice)
{
    m_notices.push_back(std::move(notice));
    SettingsEvent event;
    event.show_notice = true;
    broadcast(event);
}

bool Settings::save()
{
    remove_old_cache_files();
    runtime::write_number(weather_key, u"Degree", m_degree ? 1u : 0u);
    runtime::write_number(weather_key, u"Icon", m_icon ? 1u : 0u);
    publish_top();
    bool saved = write_settings_file();
    get_log() << u"Settings::save " << (saved ? u"true" : u"false") << u"\n";
    return saved;
}

bool Settings::write_settings_file()
{
    std::vector<SettingsEntry> ours = entries();
    bool written = false;
    if (!m_write_blocked) {
        SettingsLock lock(settings_file_path);
        SettingsContent disk = SettingsFile::read(settings_file_path);
        std::vector<SettingsEntry> list = ours;
        // Another copy of the program changed the file since this one read or wrote it.
        if (disk.state == SettingsContent::State::whole && disk.entries != m_synced) {
            list = SettingsFile::merge(m_synced, ours, disk.entries);
            get_log() << u"Settings: merged with the list of another copy, " << int32_t(list.size())
                      << u" cities written\n";
        }
        written = SettingsFile::write(settings_file_path, list);
        if (written) {
            runtime::Log& log = get_log();
            log << u"Settings: settings file written:";
            for (const SettingsEntry& entry : list)
                log << u" " << entry.code;
            log << u"\n";
        }
    }
    if (written) {
        m_synced = std::move(ours);
    } else {
        get_log() << u"Settings: the settings file could not be written\n";
        if (!m_write_failure_told) {
            m_write_failure_told = true;
            notify({ u"Save_failed", 0 });
        }
    }
    return written;
}

std::vector<SettingsEntry> Settings::entries() const
{
    std::vector<SettingsEntry> list;
    for (const CityRecord& record : m_cities)
        if (!record.is_advertising())
            list.push_back({ record.name, record.code });
    return list;
}

void Settings::publish_top()
{
    std::u16string top = m_cities.empty() ? std::u16string() : m_cities.front().code;
    runtime::write_string(weather_key, u"Top", top);
    if (top.empty())
        return;
    const CityRecord& first = m_cities.front();
    runtime::write_number(weather_key, u"TopCode", uint32_t(first.condition));
    runtime::write_string(weather_key, u"TopTemp",
        first.temperature == no_temperature ? std::u16string() : temperature_text(first.temperature));
}

void Settings::remove_old_cache_files()
{
    int64_t now = platform::local_now();
    std::vector<std::u16string> files;
    runtime::FileListing listing;
    listing.on_file = [&files](const std::u16string& path) { files.push_back(path); };
    runtime::list_files(downloads_folder, u"*.xml", runtime::no_folder_mask, listing);
    // The outcome of the last download goes by the same rule as the forecast.
    runtime::list_files(downloads_folder, u"*.status", runtime::no_folder_mask, listing);
    for (const std::u16string& path : files) {
        runtime::FileInfo info = runtime::read_directory_entry(path);
        if (!info.exists() || (info.attributes & 0x10) != 0)
            continue;
        int64_t hours = (now - info.last_write_time) / units_per_hour;
        get_log() << runtime::file_name_part(path) << u" modified " << int32_t(std::clamp<int64_t>(hours, -1, 1 << 30))
                  << u" ago\n";
        if (hours > cache_keep_hours)
            runtime::delete_file(path);
    }
}

bool Settings::add_city(std::u16string_view code, std::u16string_view name)
{
    if (is_full())
        return false;
    CityRecord record;
    record.name = name;
    record.code = code;
    load_from_xml(record);
    if (m_sibling_installed || m_cities.size() > 1)
        m_cities.push_back(std::move(record));
    else
        m_cities.insert(m_cities.begin(), std::move(record));
    write_settings_file();
    SettingsEvent event;
    event.city_added = true;
    broadcast(event);
    return true;
}

size_t Settings::city_index(int32_t position) const
{
    if (position < 0)
        return m_cities.size();
    size_t index = adjusted_index(position);
    if (index >= m_cities.size() || m_cities[index].is_advertising())
        return m_cities.size();
    return index;
}

bool Settings::remove_city(int32_t position)
{
    size_t index = city_index(position);
    if (index == m_cities.size())
        return false;
    m_cities.erase(m_cities.begin() + ptrdiff_t(index));
    write_settings_file();
    SettingsEvent event;
    event.city_removed = true;
    event.index = position;
    broadcast(event);
    return true;
}

bool Settings::swap_cities(int32_t a, int32_t b)
{
    size_t first = city_index(a);
    size_t second = city_index(b);
    if (first == m_cities.size() || second == m_cities.size())
        return false;
    if (first != second) {
        std::swap(m_cities[first], m_cities[second]);
        write_settings_file();
    }
    SettingsEvent event;
    event.cities_swapped = true;
    event.first = a;
    event.second = b;
    broadcast(event);
    return true;
}

bool Settings::exchange_records(size_t a, size_t b)
{
    if (a >= m_cities.size() || b >= m_cities.size())
        return false;
    if (a != b)
        std::swap(m_cities[a], m_cities[b]);
    return true;
}

void Settings::set_update_time(int32_t minutes)
{
    m_update_time = minutes;
    m_update_time_replaced = false;
    runtime::write_number(weather_key, u"UpdateTime", uint32_t(minutes));
}

void Settings::set_degree(bool celsius)
{
    m_degree = celsius;
    SettingsEvent event;
    event.units_changed = true;
    broadcast(event);
}

void Settings::add_listener(SettingsListener* listener)
{
    m_listeners.push_back(listener);
}

void Settings::remove_listener(SettingsListener* listener)
{
    if (m_broadcast_depth > 0) {
        // A running broadcast walks the list by position: entries are blanked, not erased.
        for (SettingsListener*& entry : m_listeners)
            if (entry == listener) {
                entry = nullptr;
                m_listeners_removed = true;
            }
        return;
    }
    std::erase(m_listeners, listener);
}

void Settings::broadcast(const SettingsEvent& event)
{
    ++m_broadcast_depth;
    // Only the listeners registered when the notice starts are told.
    size_t count = m_listeners.size();
    for (size_t i = 0; i < count; ++i)
        if (SettingsListener* listener = m_listeners[i])
            listener->on_settings_event(event);
    if (--m_broadcast_depth == 0 && m_listeners_removed) {
        std::erase(m_listeners, nullptr);
        m_listeners_removed = false;
    }
}

size_t Settings::listener_count() const
{
    return size_t(std::count_if(m_listeners.begin(), m_listeners.end(), [](auto* l) { return l != nullptr; }));
}

bool Settings::has_advertising_slot() const
{
    return std::any_of(m_cities.begin(), m_cities.end(), [](const CityRecord& r) { return r.is_advertising(); });
}

size_t Settings::real_city_count() const
{
    return m_cities.size() - (has_advertising_slot() ? 1 : 0);
}

size_t Settings::adjusted_index(int32_t position) const
{
    if (position <= 0 || m_sibling_installed)
        return size_t(std::max(position, 0));
    return size_t(position) + 1;
}

std::u16string Settings::temperature_text(int32_t celsius) const
{
    return weather::temperature_text(celsius, m_degree);
}

} // namespace weather
