// The settings file "%app_path%//settings.xml": a root element "Locations" with one child
// per real city in page order, its attributes "city" (the name) and "city_code".
//
// Reading takes outside data and keeps every record the file holds, whatever its name
// (any child element counts) and however many there are. A file that is larger than
// 1 MiB, does not parse or has no "Locations" is damaged: the records that can still be
// read before the damage (those with a name and a valid city code) are recovered.
//
// Writing never loses the old list: the new document goes to a temporary file of the
// writing process's own ("settings.xml.tmp-PID") in the same folder, is flushed to the
// disk and then renamed over the old file. A write that fails leaves the old file as it
// was. Copies of the program that share the folder take the lock file
// "settings.xml.lock" around reading and replacing, so they can merge their lists.
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

struct SettingsContent {
    enum class State { missing, whole, damaged };
    State state { State::missing };
    std::vector<SettingsEntry> entries;
};

class SettingsFile {
public:
    static SettingsContent read(std::u16string_view path);
    static SettingsContent parse(const char* data, size_t size);

    // The document's bytes: "<Locations><Item city=".." city_code=".."/>...</Locations>".
    static std::string compose(const std::vector<SettingsEntry>& entries);
    static bool write(std::u16string_view path, const std::vector<SettingsEntry>& entries);

    // The two steps of write: the flushed temporary file, then the rename over the target.
    static std::u16string temporary_path(std::u16string_view path);
    static bool write_temporary(std::u16string_view path, const std::string& bytes);
    static bool replace_with_temporary(std::u16string_view path);
    // Deletes the temporary files that processes no longer running left (a kill, a crash).
    static void remove_stale_temporaries(std::u16string_view path);

    // Moves a damaged file aside, byte for byte, to "settings.xml.damaged-YYYYMMDD-HHMMSS"
    // ("-2", "-3"... when that name is taken: an older one is never replaced); the file
    // name it got, or empty when it could not be moved.
    static std::u16string keep_aside(std::u16string_view path, int64_t now);

    // The list to write when another copy changed the file since this one last wrote it:
    // ours, without what the other removed from the common base, then what it added.
    static std::vector<SettingsEntry> merge(const std::vector<SettingsEntry>& base,
        const std::vector<SettingsEntry>& ours, const std::vector<SettingsEntry>& theirs);
};

// The exclusive lock of the settings file for the copies of the program sharing its
// folder; held for the object's life (a lock that cannot be made is not held).
class SettingsLock {
public:
    explicit SettingsLock(std::u16string_view path);
    ~SettingsLock();
    SettingsLock(const SettingsLock&) = delete;
    SettingsLock& operator=(const SettingsLock&) = delete;

private:
    int m_fd { -1 };
};

} // namespace weather
