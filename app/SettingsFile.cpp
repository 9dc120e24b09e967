#include "app/SettingsFile.h"
#include "app/BoundedFile.h"
#include "app/CityRecord.h"

#include "runtime/FileStream.h"
#include "runtime/Paths.h"
#include "runtime/XmlDocument.h"

#include "platform/FileSystem.h"

namespace weather {

std::optional<std::vector<SettingsEntry>> SettingsFile::read(std::u16string_view path, size_t max_entries)
{
    std::vector<char> bytes;
    if (!read_bounded_file(path, outside_file_limit, bytes))
        return std::nullopt;
    return parse(bytes.data(), bytes.size(), max_entries);
}

std::optional<std::vector<SettingsEntry>> SettingsFile::parse(const char* data, size_t size, size_t max_entries)
{
    runtime::XmlDocument document = runtime::XmlDocument::load_bytes(data, size);
    if (!document)
        return std::nullopt;
    runtime::XmlNode locations;
    for (runtime::XmlNode c = document.document().first_child(); c && !locations; c = c.next_sibling())
        if (c.type() == pugi::node_element && std::string_view(c.name()) == "Locations")
            locations = c;
    if (!locations)
        return std::nullopt;
    std::vector<SettingsEntry> entries;
    for (runtime::XmlNode item = locations.first_child(); item && entries.size() < max_entries;
         item = item.next_sibling()) {
        if (item.type() != pugi::node_element)
            continue;
        SettingsEntry entry;
        runtime::get_attribute(item, u"city", entry.name);
        runtime::get_attribute(item, u"city_code", entry.code);
        if (entry.name == advertising_name)
            continue;
        entries.push_back(std::move(entry));
    }
    return entries;
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
    return std::u16string(path) + u".tmp";
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

} // namespace weather
