// Path macros and the small operations on path texts. Every path of the system is a
// text with forward slashes that may begin with a macro such as "%app_path%";
// expand_path turns it into the native form just before each file operation.
#pragma once

#include "runtime/FileInfo.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace runtime {

constexpr size_t max_path = 1024;

// Full path of the running program file; a path of max_path characters or more is fatal.
std::u16string get_app_path();

// Replaces one macro at position 0 by its value, then every '/' by '\'.
std::u16string expand_path(std::u16string_view text);

std::u16string directory_part(std::u16string_view path);   // up to and including the last separator
std::u16string file_name_part(std::u16string_view path);   // after the last separator
constexpr size_t no_extension = std::u16string_view::npos;
size_t extension_position(std::u16string_view path);       // the last '.' after the last separator
std::u16string strip_extension(std::u16string_view path);
std::u16string file_name_without_extension(std::u16string_view path);
std::u16string strip_trailing_separator(std::u16string_view path);
std::u16string parent_folder(std::u16string_view path);
std::u16string join_path(std::u16string_view folder, std::u16string_view name);
std::u16string normalise_path(std::u16string_view path);
bool paths_equal(std::u16string_view a, std::u16string_view b);
bool path_is_under(std::u16string_view path, std::u16string_view folder);
std::u16string to_forward_slashes(std::u16string_view path);
// The host form of an expanded path, as 8-bit (UTF-8) text for libraries taking narrow names.
std::string narrow_path(std::u16string_view path);

bool delete_file(std::u16string_view path);
FileInfo read_directory_entry(std::u16string_view path);

// Opens a document or starts a program through the shell; an address given to
// "iexplore.exe" opens with the desktop's browser.
bool execute_file(std::u16string_view file, std::u16string_view parameters);

} // namespace runtime
