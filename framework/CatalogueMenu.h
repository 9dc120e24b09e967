// The pop-up menu of a catalogue (languages, skins) and where the choice is remembered.
#pragma once

#include "framework/PopupMenuEntry.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace framework {

// The registry key under which an application keeps its choices.
std::u16string application_key(std::u16string_view application);

// One entry per listed file, sorted by path, the command prefix + the file's name as its
// identifier and the text text_of(identifier, name), the current file checked; then the
// caller's Cancel entry with its text.
void append_catalogue_menu(std::vector<PopupMenuEntry>& entries, std::vector<std::u16string> paths,
    std::u16string_view command_prefix, std::u16string_view current,
    const std::function<std::u16string(const std::u16string& identifier, const std::u16string& name)>& text_of,
    std::u16string_view cancel_command, std::u16string cancel_text);

} // namespace framework
