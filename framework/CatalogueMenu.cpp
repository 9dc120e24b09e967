#include "framework/CatalogueMenu.h"

#include "framework/CatalogueFolder.h"

#include <algorithm>

namespace framework {

std::u16string application_key(std::u16string_view application)
{
    return u"HKEY_CURRENT_USER\\Software\\NALO\\" + std::u16string(application);
}

void append_catalogue_menu(std::vector<PopupMenuEntry>& entries, std::vector<std::u16string> paths,
    std::u16string_view command_prefix, std::u16string_view current,
    const std::function<std::u16string(const std::u16string& identifier, const std::u16string& name)>& text_of,
    std::u16string_view cancel_command, std::u16string cancel_text)
{
    std::sort(paths.begin(), paths.end());
    for (const std::u16string& path : paths) {
        std::u16string name = CatalogueFolder::name_of(path);
        PopupMenuEntry entry;
        entry.identifier = std::u16string(command_prefix) + name;
        entry.text = text_of(entry.identifier, name);
        entry.checked = !current.empty() && CatalogueFolder::same_name(name, current);
        entries.push_back(std::move(entry));
    }
    PopupMenuEntry cancel;
    cancel.identifier = cancel_command;
    cancel.text = std::move(cancel_text);
    entries.push_back(std::move(cancel));
}

} // namespace framework
