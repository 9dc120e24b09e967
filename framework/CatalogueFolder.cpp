#include "framework/CatalogueFolder.h"

#include "platform/CaseFolding.h"
#include "platform/FileSystem.h"
#include "runtime/FileListing.h"
#include "runtime/Paths.h"

namespace framework {

CatalogueFolder::CatalogueFolder(std::u16string_view folder, std::u16string_view extension)
    : m_folder(runtime::expand_path(folder))
    , m_extension(extension)
{
}

std::vector<std::u16string> CatalogueFolder::paths() const
{
    std::vector<std::u16string> found;
    runtime::FileListing listing;
    listing.on_file = [&found](const std::u16string& path) { found.push_back(path); };
    runtime::list_files(m_folder, u"*" + m_extension, runtime::no_folder_mask, listing);
    return found;
}

std::u16string CatalogueFolder::path_of(std::u16string_view name) const
{
    if (name.find_first_of(u"\\/*?") != std::u16string_view::npos)
        return {};
    std::u16string file_name = std::u16string(name) + m_extension;
    std::u16string exact = runtime::join_path(m_folder, file_name);
    platform::DirectoryEntry entry = platform::find_entry(exact);
    if (entry.error == 0 && !(entry.attributes & platform::attribute_directory))
        return exact;
    std::u16string wanted = platform::to_upper(file_name);
    for (const auto& item : platform::read_folder(m_folder)) {
        if (!item.is_folder && platform::to_upper(item.name) == wanted)
            return runtime::join_path(m_folder, item.name);
    }
    return exact;
}

std::u16string CatalogueFolder::name_of(std::u16string_view path) { return runtime::file_name_without_extension(path); }

bool CatalogueFolder::same_name(std::u16string_view a, std::u16string_view b)
{
    return platform::to_upper(a) == platform::to_upper(b);
}

} // namespace framework
