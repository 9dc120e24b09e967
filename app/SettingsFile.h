// The settings file "%app_path%//settings.xml": a root element "Locations" with one child
// per real city in page order, its attributes "city" (the name) and "city_code".
//
// Reading takes outside data: a file that is missing, larger than 1 MiB, does not parse
// or has no "Locations" gives no list; any child element counts, whatever its name; an
// entry named "empty" (the advertising slot is never stored) is skipped; no more than the
// wanted number of entries is kept.
//
// Writing never loses the old list: the new document goes to "settings.xml.tmp" in the
// same folder, is flushed to the disk and then renamed over the old file. A write that
// fails leaves the old file as it was.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace weather {

constexpr std::u16string_view settings_file_path = u"%app_path%//settings.xml";

struct SettingsEntry {
    std::u16string name;
    std::u16string code;

    bool operator==(const SettingsEntry&) const = default;
};

class SettingsFile {
public:
    static std::optional<std::vector<SettingsEntry>> read(std::u16string_view path, size_t max_entries);
    static std::optional<std::vector<SettingsEntry>> parse(const char* data, size_t size, size_t max_entries);

    // The document's bytes: "<Locations><Item city=".." city_code=".."/>...</Locations>".
    static std::string compose(const std::vector<SettingsEntry>& entries);
    static bool write(std::u16string_view path, const std::vector<SettingsEntry>& entries);

    // The two steps of write: the flushed temporary file, then the rename over the target.
    static std::u16string temporary_path(std::u16string_view path);
    static bool write_temporary(std::u16string_view path, const std::string& bytes);
    static bool replace_with_temporary(std::u16string_view path);
};

} // namespace weather
