#include "runtime/FileListing.h"
#include "runtime/Paths.h"

#include "platform/FileSystem.h"

namespace runtime {

void list_files(std::u16string_view folder, std::u16string_view file_mask, std::u16string_view folder_mask,
                const FileListing& listing)
{
    auto items = platform::read_folder(expand_path(folder));
    for (const auto& item : items) {
        if (!item.is_folder && platform::matches_mask(item.name, file_mask) && listing.on_file)
            listing.on_file(join_path(folder, item.name));
    }
    for (const auto& item : items) {
        if (!item.is_folder || !platform::matches_mask(item.name, folder_mask))
            continue;
        std::u16string path = join_path(folder, item.name);
        if (listing.on_folder)
            listing.on_folder(path);
        if (listing.recursive)
            list_files(path, file_mask, folder_mask, listing);
    }
}

} // namespace runtime
