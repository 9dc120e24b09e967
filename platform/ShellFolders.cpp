#include "platform/ShellFolders.h"
#include "platform/TextEncoding.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace platform {

namespace {

std::string env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// XDG_DOCUMENTS_DIR from the user's user-dirs.dirs, else ~/Documents.
std::string documents_folder()
{
    std::string home = env("HOME");
    std::string config = env("XDG_CONFIG_HOME");
    if (config.empty() && !home.empty())
        config = home + "/.config";
    std::ifstream dirs(config + "/user-dirs.dirs");
    std::string line;
    while (std::getline(dirs, line)) {
        const std::string key = "XDG_DOCUMENTS_DIR=";
        if (line.rfind(key, 0) != 0)
            continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0)
            value = home + value.substr(5);
        return value;
    }
    return home.empty() ? "" : home + "/Documents";
}

} // namespace

std::u16string shell_folder(int csidl)
{
    switch (csidl) {
    case shell_personal:
        return from_utf8(documents_folder());
    case shell_appdata: {
        std::string data = env("XDG_DATA_HOME");
        if (data.empty() && !env("HOME").empty())
            data = env("HOME") + "/.local/share";
        return from_utf8(data);
    }
    case shell_program_files:
        return from_utf8(env("NALO_PROGRAM_FILES"));
    default:
        return {};
    }
}

} // namespace platform
