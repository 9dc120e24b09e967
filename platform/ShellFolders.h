// The platform's special folders, looked up by their CSIDL numbers.
#pragma once

#include <string>

namespace platform {

enum ShellFolder {
    shell_programs = 2,
    shell_personal = 5,
    shell_favorites = 6,
    shell_startup = 7,
    shell_start_menu = 11,
    shell_appdata = 26,
    shell_windows = 36,
    shell_program_files = 38,
};

// The folder's host path, or an empty text when this platform has no such folder.
std::u16string shell_folder(int csidl);

} // namespace platform
