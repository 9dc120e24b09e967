#include "app/SettingsFile.h"
#include "app/BoundedFile.h"
#include "app/CityRecord.h"

#include "daemon/CityCode.h"

#include "runtime/FileStream.h"
#include "runtime/Paths.h"
#include "runtime/XmlDocument.h"

#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "platform/TextEncoding.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace weather {

namespace {

constexpr std::u16string_view temporary_mark = u".tmp-";

runtime::XmlNode first_locations(const pugi::xml_document& document)
{
    for (runtime::XmlNode c = document.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && std::string_view(c.name()) == "Locations")
            return c;
    return {};
}

} // namespace

SettingsContent SettingsFile::read(std::u16string_view path)
{
    SettingsContent content;
    runtime::FileInfo info = runtime::read_directory_entry(path);
    if (!info.exists())
        return content;
    std::vector<char> bytes;
    if (!read_bounded_file(path, outside_file_limit, bytes)) {
        // Too large to be a list of ten cities, or unreadable: nothing can be taken from it.
        content.state = SettingsContent::State::damaged;
        return content;
    }
    return parse(bytes.data(), bytes.size());
}

SettingsContent SettingsFile::parse(const char* data, size_t size)
{
    SettingsContent content;
    // An empty file holds no list that could be lost.
    if (size == 0)
        return content;
    pugi::xml_document document;
    bool parsed = document.load_buffer(data, size, pugi::parse_default, pugi::encoding_auto);
    runtime::XmlNode locations = first_locations(document);
    content.state = parsed && locations ? SettingsContent::State::whole : SettingsContent::State::damaged;
    // A document cut short keeps the elements read before the damage.
    for (runtime::XmlNode item = locations.first_child(); item; item = item.next_sibling()) {
        if (item.type() != pugi::node_element)
            continue;
        SettingsEntry entry;
        runtime::get_attribute(item, u"city", entry.name);
        runtime::get_attribute(item, u"city_code", entry.code);
        // From a damaged file only whole records count: the last one may be cut in half.
        if (content.state == SettingsContent::State::damaged
            && (entry.name.empty() || !ombrelo::is_valid_city_code(entry.code)))
            continue;
        content.entries.push_back(std::move(entry));
    }
    return content;
}

std::string SettingsFile::compose(const std::vector<SettingsEntry>& entries)
{
    runtime::XmlDocument document = runtime::XmlDocument::create();
    runtime::XmlNode locations = runtime::append_element(document.document(), u"Locations");
    for (const SettingsEntry& entry : entries) {
        runtime::XmlNode item = runtime::append_element(locations, u"Item");
        runtime::set_attribute(item, u"city", std::u16string_view(entry.name));
        runtime::set_attribute(item, u"city_code", std::u16string_view(entry.code));
    }
    return document.to_utf8();
}

std::u16string SettingsFile::temporary_path(std::u16string_view path)
{
    return std::u16string(path) + std::u16string(temporary_mark) + platform::widen(std::to_string(getpid()));
}

bool SettingsFile::write_temporary(std::u16string_view path, const std::string& bytes)
{
    std::u16string temporary = temporary_path(path);
    runtime::FileStream out(temporary, runtime::FileStream::Mode::write);
    if (!out.is_open())
        return false;
    bool written = out.write(bytes.data(), bytes.size()) && out.flush();
    out.close();
    if (!written)
        runtime::delete_file(temporary);
    return written;
}

bool SettingsFile::replace_with_temporary(std::u16string_view path)
{
    std::u16string temporary = runtime::expand_path(temporary_path(path));
    std::u16string target = runtime::expand_path(path);
    if (!platform::rename_file(temporary, target)) {
        platform::delete_file(temporary);
        return false;
    }
    // The rename itself reaches the disk only with its folder.
    platform::sync_folder(runtime::directory_part(target));
    return true;
}

bool SettingsFile::write(std::u16string_view path, const std::vector<SettingsEntry>& entries)
{
    return write_temporary(path, compose(entries)) && replace_with_temporary(path);
}

void SettingsFile::remove_stale_temporaries(std::u16string_view path)
{
    std::u16string target = runtime::expand_path(path);
    std::u16string folder = runtime::directory_part(target);
    std::u16string prefix = runtime::file_name_part(target) + std::u16string(temporary_mark);
    for (const platform::FolderItem& item : platform::read_folder(folder)) {
        if (item.is_folder || !item.name.starts_with(prefix))
            continue;
        std::string digits = platform::to_utf8(std::u16string_view(item.name).substr(prefix.size()));
        if (digits.empty() || digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), ::isdigit))
            continue;
        int pid = std::stoi(digits);
        if (pid != getpid() && !platform::process_exists(pid))
            platform::delete_file(folder + item.name);
    }
}

std::u16string SettingsFile::keep_aside(std::u16string_view path, int64_t now)
{
    platform::SystemTime t = platform::count_to_system_time(now);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, ".damaged-%04d%02d%02d-%02d%02d%02d", t.year, t.month, t.day, t.hour,
        t.minute, t.second);
    std::u16string source = runtime::expand_path(path);
    std::u16string base = source + platform::widen(stamp);
    for (int n = 1; n < 100; ++n) {
        std::u16string target = n == 1 ? base : base + u"-" + platform::widen(std::to_string(n));
        if (platform::move_file_without_replacing(source, target)) {
            platform::sync_folder(runtime::directory_part(source));
            return runtime::file_name_part(target);
        }
        if (!runtime::read_directory_entry(target).exists())
            break; // not a name clash: the file cannot be moved at all
    }
    return {};
}

std::vector<SettingsEntry> SettingsFile::merge(const std::vector<SettingsEntry>& base,
    const std::vector<SettingsEntry>& ours, const std::vector<SettingsEntry>& theirs)
{
    auto holds = [](const std::vector<SettingsEntry>& list, const SettingsEntry& entry) {
        return std::find(list.begin(), list.end(), entry) != list.end();
    };
    std::vector<SettingsEntry> merged;
    for (const SettingsEntry& entry : ours)
        if (!holds(base, entry) || holds(theirs, entry))
            merged.push_back(entry);
    for (const SettingsEntry& entry : theirs)
        if (!holds(base, entry) && !holds(merged, entry))
            merged.push_back(entry);
    return merged;
}

SettingsLock::SettingsLock(std::u16string_view path)
    : m_fd(platform::lock_file(runtime::expand_path(std::u16string(path) + u".lock")))
{
}

SettingsLock::~SettingsLock()
{
    platform::unlock_file(m_fd);
}

} // namespace weather
