#include "runtime/Paths.h"
#include "runtime/Log.h"

#include "platform/CaseFolding.h"
#include "platform/FileSystem.h"
#include "platform/HostPath.h"
#include "platform/Process.h"
#include "platform/ShellFolders.h"

#include <mutex>

namespace runtime {

namespace {

struct AppTexts {
    std::u16string full_name;
    std::u16string path;
    std::u16string name;
};

const AppTexts& app_texts()
{
    static std::once_flag once;
    static AppTexts texts;
    std::call_once(once, [] {
        texts.full_name = get_app_path();
        texts.path = strip_trailing_separator(directory_part(texts.full_name));
        texts.name = file_name_part(texts.full_name);
    });
    return texts;
}

bool is_separator(char16_t c) { return c == u'\\' || c == u'/'; }

} // namespace

std::u16string get_app_path()
{
    std::u16string path = platform::executable_path();
    if (path.size() >= max_path)
        fatal_error(u"get_app_path()", u"path is more then MAX_PATH long");
    return path;
}

std::u16string expand_path(std::u16string_view text)
{
    const AppTexts& app = app_texts();
    struct Macro {
        std::u16string_view name;
        int folder; // shell folder number, or -1 for the application texts
        const std::u16string* value;
    };
    const Macro macros[] = {
        { u"%app_full_name%", -1, &app.full_name },
        { u"%app_path%", -1, &app.path },
        { u"%app_name%", -1, &app.name },
        { u"%my_documents%", platform::shell_personal, nullptr },
        { u"%windows%", platform::shell_windows, nullptr },
        { u"%startup%", platform::shell_startup, nullptr },
        { u"%favorites%", platform::shell_favorites, nullptr },
        { u"%programs%", platform::shell_programs, nullptr },
        { u"%start_menu%", platform::shell_start_menu, nullptr },
        { u"%appdata%", platform::shell_appdata, nullptr },
        { u"%program_files%", platform::shell_program_files, nullptr },
    };
    std::u16string result;
    size_t i = 0;
    for (const auto& macro : macros) {
        if (text.substr(0, macro.name.size()) == macro.name) {
            result = macro.value ? *macro.value : platform::shell_folder(macro.folder);
            i = macro.name.size();
            break;
        }
    }
    result.reserve(result.size() + text.size() - i);
    for (; i < text.size(); ++i)
        result += text[i] == u'/' ? u'\\' : text[i];
    return result;
}

std::u16string directory_part(std::u16string_view path)
{
    size_t cut = path.find_last_of(u"\\/");
    return cut == std::u16string_view::npos ? std::u16string() : std::u16string(path.substr(0, cut + 1));
}

std::u16string file_name_part(std::u16string_view path)
{
    size_t cut = path.find_last_of(u"\\/");
    return std::u16string(cut == std::u16string_view::npos ? path : path.substr(cut + 1));
}

size_t extension_position(std::u16string_view path)
{
    size_t dot = path.rfind(u'.');
    if (dot == std::u16string_view::npos)
        return no_extension;
    size_t separator = path.find_last_of(u"\\/");
    if (separator != std::u16string_view::npos && separator > dot)
        return no_extension;
    return dot;
}

std::u16string strip_extension(std::u16string_view path)
{
    size_t dot = extension_position(path);
    return std::u16string(dot == no_extension ? path : path.substr(0, dot));
}

std::u16string file_name_without_extension(std::u16string_view path)
{
    return strip_extension(file_name_part(path));
}

std::u16string strip_trailing_separator(std::u16string_view path)
{
    if (!path.empty() && is_separator(path.back()))
        path.remove_suffix(1);
    return std::u16string(path);
}

std::u16string parent_folder(std::u16string_view path)
{
    return directory_part(strip_trailing_separator(path));
}

std::u16string join_path(std::u16string_view folder, std::u16string_view name)
{
    if (folder.empty())
        return std::u16string(name);
    return strip_trailing_separator(folder) + u'\\' + std::u16string(name);
}

std::u16string normalise_path(std::u16string_view path)
{
    // Macro values are host paths with '/', so both separators compare as one.
    std::u16string normal = platform::to_lower(strip_trailing_separator(expand_path(path)));
    for (auto& c : normal)
        if (c == u'/')
            c = u'\\';
    return normal;
}

bool paths_equal(std::u16string_view a, std::u16string_view b)
{
    return normalise_path(a) == normalise_path(b);
}

bool path_is_under(std::u16string_view path, std::u16string_view folder)
{
    std::u16string normal_folder = normalise_path(folder);
    return path.size() >= folder.size() && normalise_path(path.substr(0, folder.size())) == normal_folder;
}

std::u16string to_forward_slashes(std::u16string_view path)
{
    std::u16string out(path);
    for (auto& c : out)
        if (c == u'\\')
            c = u'/';
    return out;
}

std::string narrow_path(std::u16string_view path)
{
    return platform::host_path(expand_path(path));
}

bool delete_file(std::u16string_view path)
{
    return platform::delete_file(expand_path(path));
}

FileInfo read_directory_entry(std::u16string_view path)
{
    FileInfo info;
    info.name = std::u16string(path);
    platform::DirectoryEntry entry = platform::find_entry(expand_path(path));
    info.attributes = entry.attributes;
    info.size_low = uint32_t(entry.size);
    info.size_high = uint32_t(entry.size >> 32);
    info.creation_time = entry.creation_time;
    info.last_write_time = entry.last_write_time;
    info.last_error = entry.error;
    return info;
}

bool execute_file(std::u16string_view file, std::u16string_view parameters)
{
    std::u16string expanded = expand_path(file);
    get_log() << u"execute_file(" << expanded << u"} {" << parameters << u")\n";
    if (platform::to_lower(file_name_part(expanded)) == u"iexplore.exe")
        return platform::start_detached("/usr/bin/xdg-open", platform::split_command_line(parameters));
    std::string program = platform::host_program(expanded);
    return platform::start_detached(program, platform::split_command_line(parameters));
}

} // namespace runtime
