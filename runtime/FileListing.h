// The file listing the catalogues and the installer hook use: every file of a folder
// that matches a file mask, then (optionally, recursively) its folders that match a
// folder mask. Paths are reported as folder + '\' + name.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace runtime {

struct FileListing {
    std::function<void(const std::u16string& path)> on_file;
    // Called for each matching folder before it is searched; may be empty.
    std::function<void(const std::u16string& path)> on_folder;
    bool recursive { false };
};

// Folder masks that match no folder, for listings of one folder only.
inline constexpr std::u16string_view no_folder_mask = u"do_not_search";

void list_files(std::u16string_view folder, std::u16string_view file_mask, std::u16string_view folder_mask,
                const FileListing& listing);

} // namespace runtime
