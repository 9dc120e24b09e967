// Directory entries and folder operations of the host, addressed by native path texts.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

constexpr uint32_t attribute_read_only = 0x01;
constexpr uint32_t attribute_directory = 0x10;
constexpr uint32_t attribute_archive = 0x20;
constexpr uint32_t attribute_invalid = 0xFFFFFFFF;

struct DirectoryEntry {
    uint32_t attributes { attribute_invalid };
    uint64_t size { 0 };
    int64_t creation_time { 0 };   // local date-time count
    int64_t last_write_time { 0 }; // local date-time count
    int error { 0 };               // errno of the search, 0 on success
};

// The entry of the first match: the last path element may hold the wildcards * and ?.
DirectoryEntry find_entry(std::u16string_view native_path);

bool delete_file(std::u16string_view native_path);
bool create_directory(std::u16string_view native_path);
bool remove_directory(std::u16string_view native_path);
// Replaces the target with the source in one step (both in the same folder).
bool rename_file(std::u16string_view native_from, std::u16string_view native_to);
// Flushes a folder's entries (a rename or a new file in it) to the disk.
bool sync_folder(std::u16string_view native_folder);
// Gives the file a second name and drops the first, failing when the target exists.
bool move_file_without_replacing(std::u16string_view native_from, std::u16string_view native_to);
// An exclusive advisory lock on the file (made when missing), waited for: the descriptor
// to pass to unlock_file, or -1 when the file cannot be opened.
int lock_file(std::u16string_view native_path);
void unlock_file(int descriptor);

struct FolderItem {
    std::u16string name;
    bool is_folder { false };
};

// The entries of a folder in the file system's order, "." and ".." left out.
std::vector<FolderItem> read_folder(std::u16string_view native_folder);

// Wildcard match of a file name against a mask (* and ?), without regard to case as on
// the original platform.
bool matches_mask(std::u16string_view name, std::u16string_view mask);

} // namespace platform
