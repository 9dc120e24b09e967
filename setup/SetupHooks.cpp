// What installation and removal do beyond copying files: prepare the folder of the
// forecast cache files, and on removal delete what the programs made at run time.
#include "setup/SetupHooks.h"

#include "runtime/FileListing.h"
#include "runtime/Log.h"
#include "runtime/Paths.h"
#include "runtime/Registry.h"

#include "platform/FileSystem.h"

#include <string>
#include <vector>

using namespace runtime;

#define NALO_EXPORT __attribute__((visibility("default")))

namespace {

std::u16string install_folder_of(const char16_t* given)
{
    if (given && *given)
        return given;
    std::u16string folder = expand_path(u"%program_files%\\NALO\\Quillpane");
    read_string(u"HKEY_LOCAL_MACHINE\\Software\\Apps\\NALO Quillpane", u"InstallDir", folder);
    return folder;
}

// Creates a folder after its parents; every level, the empty text included, is logged.
void create_folder_with_parents(const std::u16string& path)
{
    if (path.empty())
        return;
    std::u16string folder = strip_trailing_separator(path);
    create_folder_with_parents(directory_part(folder));
    bool created = platform::create_directory(folder);
    get_log() << u"CreateDirectoryW {" << folder << u"} result=" << int32_t(created ? 1 : 0) << u"\n";
}

} // namespace

extern "C" {

NALO_EXPORT int Install_Init(void*, int, int, const char16_t*)
{
    return 0;
}

NALO_EXPORT int Install_Exit(void*, const char16_t* install_folder, unsigned short, unsigned short, unsigned short,
                             unsigned short, unsigned short)
{
    std::u16string folder = install_folder_of(install_folder);
    create_folder_with_parents(expand_path(folder + u"/downloads/"));
    return 0;
}

NALO_EXPORT int Uninstall_Init(void*, const char16_t* install_folder)
{
    std::u16string folder = install_folder_of(install_folder);
    std::u16string downloads = folder + u"/downloads/";

    std::vector<std::u16string> cache_files;
    FileListing listing;
    listing.on_file = [&](const std::u16string& path) { cache_files.push_back(path); };
    list_files(downloads, u"*.xml", no_folder_mask, listing);
    for (const auto& path : cache_files)
        delete_file(path);

    delete_file(folder + u"/settings.xml");
    platform::remove_directory(expand_path(downloads));
    delete_key(u"HKEY_CURRENT_USER\\Software\\NALO\\Weather\\");
    return 0;
}

NALO_EXPORT int Uninstall_Exit(void*)
{
    return 0;
}

}
